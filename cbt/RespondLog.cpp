#include "cbt/RespondLog.h"

#include <windows.h>

#include <cstdio>
#include <ctime>

#include "common/Log.h"
#include "common/Utf8.h"

void CRespondLog::SetFolder(const std::string& folder, size_t limit)
{
    m_path = folder.empty() ? std::string() : folder + "\\Respond.log";
    m_limit = limit;
}

bool CRespondLog::Write(const std::string& text)
{
    if (m_path.empty())
        return false;
    const time_t now = time(nullptr);
    struct tm local = {};
    localtime_s(&local, &now);
    char stamp[kLogTimestampChars + 8] = {};
    LogFormatTime(local, stamp, sizeof stamp);
    std::string line = std::string(stamp) + "  " + text;
    if (line.size() > m_limit / 4)
        line.resize(m_limit / 4);
    line += "\r\n";

    WIN32_FILE_ATTRIBUTE_DATA info = {};
    if (GetFileAttributesExW(Utf8ToWide(m_path.c_str()).c_str(), GetFileExInfoStandard, &info)) {
        const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        if (size + line.size() > m_limit && !DropOlderHalf(line.size()))
            return false;
    }
    FILE* file = OpenFileUtf8(m_path.c_str(), "ab");
    if (!file)
        return false;
    const bool written = fwrite(line.data(), 1, line.size(), file) == line.size();
    return fclose(file) == 0 && written;
}

// Keeps the newer half of the lines (and at most what leaves room for one
// more line), written whole to a temporary file that then replaces the log.
bool CRespondLog::DropOlderHalf(size_t room)
{
    FILE* in = OpenFileUtf8(m_path.c_str(), "rb");
    if (!in)
        return false;
    std::string content;
    char buffer[16384];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
        content.append(buffer, got);
    fclose(in);

    size_t keepFrom = content.size() / 2;
    if (content.size() - keepFrom + room > m_limit)
        keepFrom = content.size() + room - m_limit;
    const size_t newline = content.find('\n', keepFrom > 0 ? keepFrom - 1 : 0);
    keepFrom = newline == std::string::npos ? content.size() : newline + 1;

    const std::string temporary = m_path + ".new";
    FILE* out = OpenFileUtf8(temporary.c_str(), "wb");
    if (!out)
        return false;
    const size_t length = content.size() - keepFrom;
    bool ok = fwrite(content.data() + keepFrom, 1, length, out) == length;
    ok = fclose(out) == 0 && ok;
    if (ok)
        ok = MoveFileExW(Utf8ToWide(temporary.c_str()).c_str(), Utf8ToWide(m_path.c_str()).c_str(),
                         MOVEFILE_REPLACE_EXISTING) != 0;
    if (!ok)
        DeleteFileW(Utf8ToWide(temporary.c_str()).c_str());
    return ok;
}
