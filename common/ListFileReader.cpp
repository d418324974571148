#include "common/ListFileReader.h"

#include "common/Log.h"
#include "common/Utf8.h"

#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// Damaged entries logged one by one per file; the rest only counted.
constexpr int kLoggedEntries = 5;
// Records outside the entries kept for Other: a list has a handful.
constexpr size_t kOtherRecords = 64;

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether something is at path, though it may not be openable.
bool IsThere(const std::string& path)
{
#ifdef _WIN32
    return GetFileAttributesW(Utf8ToWide(path.c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat info = {};
    return stat(path.c_str(), &info) == 0;
#endif
}

// A decimal number of at most nine digits starting text, as "%d" writes one
// (a minus sign allowed); its end into *end. False for anything else.
bool ReadNumber(const char* text, int* number, const char** end)
{
    const char* p = text;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    long value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
        if (digits == 9)
            return false;
        value = value * 10 + (*p - '0');
    }
    if (digits == 0)
        return false;
    *number = static_cast<int>(negative ? -value : value);
    *end = p;
    return true;
}

// "ENTRY_<n>" followed by nothing or by "_...": the entry's number and the rest.
bool ParseEntryKey(const char* key, int* number, const char** suffix)
{
    if (strncmp(key, "ENTRY_", 6) != 0 || !ReadNumber(key + 6, number, suffix))
        return false;
    return **suffix == '\0' || **suffix == '_';
}

}  // namespace

CListFileReader::CListFileReader(const std::string& path, const char* title, const char* runPart, bool keepBroken)
    : m_file(path.c_str()), m_path(path), m_name(FileName(path)), m_title(title), m_keepBroken(keepBroken),
      m_runPrefix(runPart ? std::string("_") + runPart + "_" : std::string())
{
}

bool CListFileReader::Open(const char* missingText)
{
    if (!m_file.Exists()) {
        if (IsThere(m_path)) {
            m_state = ListFileState::kUnreadable;
            LogWarningFormat("Cannot read %s file: it is there but cannot be opened", m_name.c_str());
        } else {
            m_state = ListFileState::kMissing;
            if (missingText)
                LogWarning(missingText);
        }
        return false;
    }
    if (!m_file.HasTitle(m_title)) {
        m_state = ListFileState::kOtherTitle;
        const std::string text = m_name + " not read: it is no " + m_title + " file";
        LogWarning(text.c_str());
        return false;
    }
    m_state = ListFileState::kWhole;
    return true;
}

bool CListFileReader::Next(ListEntry& entry)
{
    if (m_state != ListFileState::kWhole)
        return false;
    const char* const noEnd = "its parts have no end mark";
    char key[CKeyedTextFile::kKeySize];
    char value[CKeyedTextFile::kLineSize];
    while (m_file.NextRecord(key, value)) {
        int number = 0;
        const char* suffix = nullptr;
        if (!ParseEntryKey(key, &number, &suffix)) {
            AddOther(key, value);
            continue;
        }
        if (*suffix == '\0') {
            const bool given = m_open && Broken(entry, noEnd);
            m_current = ListEntry();
            m_current.number = number;
            m_current.value = value;
            m_strayNumber = -1;
            m_open = !m_runPrefix.empty();
            if (!m_open)
                entry = std::move(m_current);
            if (given || !m_open)
                return true;
            continue;
        }
        if (m_open && number == m_current.number) {
            const Part part = TakePart(suffix, value);
            if (part == Part::kClosed) {
                m_open = false;
                entry = std::move(m_current);
                return true;
            }
            if (part == Part::kOutOfOrder) {
                m_strayNumber = number;
                if (Broken(entry, "a part is missing"))
                    return true;
            }
            continue;
        }
        const bool given = m_open && Broken(entry, noEnd);
        if (number != m_strayNumber) {
            m_strayNumber = number;
            Skipped(number, "skipped: its own record is missing");
        }
        if (given)
            return true;
    }
    return m_open && Broken(entry, noEnd);
}

CListFileReader::Part CListFileReader::TakePart(const char* suffix, const char* value)
{
    const size_t prefix = m_runPrefix.size();
    int index = 0;
    const char* end = nullptr;
    if (strncmp(suffix, m_runPrefix.c_str(), prefix) != 0 || !ReadNumber(suffix + prefix, &index, &end) ||
        *end != '\0') {
        m_current.named.emplace_back(suffix + 1, value);
        return Part::kTaken;
    }
    if (index != static_cast<int>(m_current.run.size()))
        return Part::kOutOfOrder;
    const char* tab = strchr(value, '\t');
    const size_t first = tab ? static_cast<size_t>(tab - value) : strlen(value);
    if (first == strlen(kListEndMark) && strncmp(value, kListEndMark, first) == 0)
        return Part::kClosed;
    m_current.run.emplace_back(value);
    return Part::kTaken;
}

bool CListFileReader::Broken(ListEntry& entry, const char* why)
{
    m_open = false;
    Skipped(m_current.number, ((m_keepBroken ? "read in part: " : "skipped: ") + std::string(why)).c_str());
    if (!m_keepBroken)
        return false;
    entry = std::move(m_current);
    return true;
}

void CListFileReader::Skipped(int number, const char* what)
{
    if (++m_skipped > kLoggedEntries)
        return;
    const std::string text = m_name + ": entry " + std::to_string(number) + " " + what;
    LogWarning(text.c_str());
}

void CListFileReader::AddOther(const char* key, const char* value)
{
    if (m_others.size() < kOtherRecords && !Other(key))
        m_others.emplace_back(key, value);
}

const char* CListFileReader::Other(const char* key) const
{
    for (const auto& record : m_others) {
        if (record.first == key)
            return record.second.c_str();
    }
    return nullptr;
}

ListFileState CListFileReader::Finish()
{
    if (m_skipped > 0 && m_state == ListFileState::kWhole) {
        m_state = ListFileState::kPartial;
        const std::string text = m_name + " read in part (" + std::to_string(m_skipped) +
            " skipped): kept as " + m_name + ".bak when next written";
        LogWarning(text.c_str());
    }
    return m_state;
}
