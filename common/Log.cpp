#include "common/Log.h"

#include "common/PathSep.h"
#include "common/Utf8.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct LogState {
    char* path = nullptr;  // owned; none until LogSetPath
    bool appendFirst = true;  // first entry appends (set) or starts from empty
    bool firstDone = false;  // the first entry of the process was attempted
    char warning[kLogTextSize] = {};
    char fatal[kLogTextSize] = {};
};

LogState g_log;

// Copies at most kLogTextSize - 1 bytes, cut on a character boundary.
void CopyCut(char* out, const char* text)
{
    CopyUtf8(out, kLogTextSize, text ? text : "");
}

}  // namespace

void LogSetPath(const char* folder, const char* name, int fresh)
{
    if (!folder)
        folder = "";
    if (!name)
        name = "";
    size_t size = strlen(folder) + 1 + strlen(name) + 1;
    char* joined = static_cast<char*>(malloc(size));
    if (!joined)
        return;
    snprintf(joined, size, "%s%c%s", folder, kPathSeparator, name);
    free(g_log.path);
    g_log.path = joined;
    if (fresh) {
        g_log.appendFirst = false;
        RemoveFileUtf8(g_log.path);
    }
}

void LogFreePath()
{
    free(g_log.path);
    g_log.path = nullptr;
}

void LogWarning(const char* text)
{
    CopyCut(g_log.warning, text);
    LogWrite(LOG_WARNING);
}

void LogWarningFormat(const char* format, const char* text)
{
    if (!format)
        format = "";
    if (!text)
        text = "";
    // Formatted with room to spare, then cut on a character boundary.
    char out[2 * kLogTextSize];
    size_t room = sizeof out - 1;
    size_t n = 0;
    for (const char* p = format; *p && n < room; p++) {
        if (p[0] == '%' && p[1] == 's') {
            for (const char* t = text; *t && n < room; t++)
                out[n++] = *t;
            p++;
        } else if (p[0] == '%' && p[1] == '%') {
            out[n++] = '%';
            p++;
        } else {
            out[n++] = *p;
        }
    }
    out[n] = '\0';
    CopyCut(g_log.warning, out);
    LogWrite(LOG_WARNING);
}

void LogFatal(const char* text)
{
    CopyCut(g_log.fatal, text);
    LogWrite(LOG_FATAL);
}

void LogFormatTime(const struct tm& when, char* out, size_t outSize)
{
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* day = (when.tm_wday >= 0 && when.tm_wday < 7) ? kDays[when.tm_wday] : "???";
    const char* month = (when.tm_mon >= 0 && when.tm_mon < 12) ? kMonths[when.tm_mon] : "???";
    snprintf(out, outSize, "%s %s %02d %02d:%02d:%02d %04d", day, month, when.tm_mday, when.tm_hour, when.tm_min,
             when.tm_sec, when.tm_year + 1900);
}

int LogWrite(int level)
{
    if (level != LOG_WARNING && level != LOG_FATAL)
        return 0;
    if (!g_log.path)
        return 0;  // before the first path this is again the first entry
    const char* openMode = "ab";
    if (!g_log.firstDone) {
        openMode = g_log.appendFirst ? "ab" : "wb";
        g_log.firstDone = true;
    }
    FILE* f = OpenFileUtf8(g_log.path, openMode);
    if (!f)
        return 0;
    time_t now = time(nullptr);
    struct tm local = {};
    if (const struct tm* t = localtime(&now))
        local = *t;
    char stamp[40];
    LogFormatTime(local, stamp, sizeof stamp);
    if (level == LOG_WARNING)
        fprintf(f, "%s> WARNING: %s\r\n", stamp, g_log.warning);
    else
        fprintf(f, "%s> FATAL: %s\r\n", stamp, g_log.fatal);
    fclose(f);
    return 0;
}

void LogResetState()
{
    LogFreePath();
    g_log.appendFirst = true;
    g_log.firstDone = false;
    g_log.warning[0] = '\0';
    g_log.fatal[0] = '\0';
}
