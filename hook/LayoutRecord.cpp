#include "hook/LayoutRecord.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/KeyedTextFile.h"
#include "common/Log.h"

namespace {

constexpr long kCoordinateLimit = 1000000;

bool ParseInt(const char* text, char** end, int* out)
{
    errno = 0;
    const long value = strtol(text, end, 10);
    if (*end == text || errno == ERANGE)
        return false;
    if (value > kCoordinateLimit || value < -kCoordinateLimit)
        return false;
    *out = static_cast<int>(value);
    return true;
}

// Copies text field index into out ("" when missing). Answers false when it
// does not fit: a cut path or target would name another file.
template <size_t N> bool Field(const char* value, int index, char (&out)[N])
{
    char field[1024] = "";
    if (!CKeyedTextFile::GetField(value, index, field))
        field[0] = '\0';
    if (strlen(field) >= N)
        return false;
    memcpy(out, field, strlen(field) + 1);
    return true;
}

int IntField(const char* value, int index)
{
    char field[1024] = "";
    if (!CKeyedTextFile::GetField(value, index, field))
        return 0;
    return atoi(field);
}

}  // namespace

bool ParsePoint(const char* text, int* x, int* y)
{
    if (!text)
        return false;
    char* end = nullptr;
    int px = 0, py = 0;
    if (!ParseInt(text, &end, &px) || *end != ',')
        return false;
    const char* second = end + 1;
    if (!ParseInt(second, &end, &py))
        return false;
    *x = px;
    *y = py;
    return true;
}

bool FormatShortIconRecord(const char* label, int x, int y, char* out, size_t size)
{
    const int n = snprintf(out, size, "%s\t%d,%d", label, x, y);
    return n >= 0 && static_cast<size_t>(n) < size && static_cast<size_t>(n) <= kMaxRecordValue;
}

bool FormatLongIconRecord(const ShortcutRecord& r, char* out, size_t size)
{
    const int n = snprintf(out, size, "%s\t%d,%d\t%s\t%d\t%s\t%s\t%s\t%s\t%s\t%d\t%d\t%ld", r.label, r.x, r.y,
                           r.itemPath, r.namePath, r.target, r.arguments, r.workingFolder, r.description, r.iconFile,
                           r.iconIndex, r.showCommand, static_cast<long>(r.hotKey & 0xFFFF));
    return n >= 0 && static_cast<size_t>(n) < size && static_cast<size_t>(n) <= kMaxRecordValue;
}

bool ParseIconRecord(const char* value, ShortcutRecord* r, bool* isFile)
{
    *r = ShortcutRecord{};
    *isFile = false;
    char field[1024] = "";
    if (!value || !CKeyedTextFile::GetField(value, 0, field) || !Field(value, 0, r->label))
        return false;
    if (!CKeyedTextFile::GetField(value, 1, field) || !ParsePoint(field, &r->x, &r->y))
        return false;
    if (!CKeyedTextFile::GetField(value, 2, field))
        return true;
    *isFile = true;
    if (!Field(value, 2, r->itemPath))
        return false;
    r->namePath = IntField(value, 3);
    if (!Field(value, 4, r->target) || !Field(value, 5, r->arguments) || !Field(value, 6, r->workingFolder) ||
        !Field(value, 7, r->description) || !Field(value, 8, r->iconFile)) {
        return false;
    }
    r->iconIndex = IntField(value, 9);
    r->showCommand = IntField(value, 10);
    r->hotKey = IntField(value, 11) & 0xFFFF;
    return true;
}

void ReadIconRecords(CKeyedTextFile& file, const char* path,
                     const std::function<void(const ShortcutRecord&, bool isFile)>& take)
{
    ReadNumberedIconRecords(file, path, [&](int, const ShortcutRecord& r, bool isFile) { take(r, isFile); });
}

void ReadNumberedIconRecords(CKeyedTextFile& file, const char* path,
                             const std::function<void(int n, const ShortcutRecord&, bool isFile)>& take)
{
    char value[CKeyedTextFile::kLineSize];
    for (int n = 0;; ++n) {
        char key[32];
        snprintf(key, sizeof key, "ICON_%d", n);
        if (!file.Find(key, value, false))
            break;
        ShortcutRecord record = {};
        bool isFile = false;
        if (!ParseIconRecord(value, &record, &isFile)) {
            LogWarningFormat("Skipped an invalid icon record in: %s", path);
            continue;
        }
        take(n, record, isFile);
    }
}
