#include "common/ListFields.h"

#include "common/KeyedTextFile.h"
#include "common/Utf8.h"

#include <cstdlib>

bool TakeListField(const char* value, int index, std::string& out)
{
    char field[CKeyedTextFile::kLineSize];
    if (!CKeyedTextFile::GetField(value, index, field))
        return false;
    out.clear();
    for (const char* c = field; *c; c++) {
        if (*c != '\r')
            out += *c;
    }
    return true;
}

int32_t ListIntField(const char* value, int index, int32_t fallback, int32_t low, int32_t high)
{
    std::string text;
    if (!TakeListField(value, index, text) || text.empty())
        return fallback;
    char* end = nullptr;
    const long long n = strtoll(text.c_str(), &end, 10);
    if (end == text.c_str())
        return fallback;
    return static_cast<int32_t>(n < low ? low : n > high ? high : n);
}

const char* ListFieldProblem(const std::string& text)
{
    if (text.find_first_of("\t\r\n") != std::string::npos)
        return "holds a tab or a line break";
    // Characters as the system counts them (UTF-16 units), not UTF-8 bytes.
    if (Utf16Length(text) > kListFieldChars)
        return "is longer than 260 characters";
    return nullptr;
}
