// Icon records of layout files and the msg.dat hand-off, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app/HandOff.h"
#include "common/FileNameChecks.h"
#include "hook/LayoutRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // As a record value: at most what a list file line can hold, NUL-terminated.
    char value[1024];
    const size_t n = size < sizeof value - 1 ? size : sizeof value - 1;
    memcpy(value, data, n);
    value[n] = '\0';
    ShortcutRecord record;
    bool isFile = false;
    if (ParseIconRecord(value, &record, &isFile)) {
        char out[4096];
        if (isFile) {
            FormatLongIconRecord(record, out, sizeof out);
        } else {
            FormatShortIconRecord(record.label, record.x, record.y, out, sizeof out);
        }
    }
    int x = 0, y = 0;
    ParsePoint(value, &x, &y);
    IsPlainFileName(value);
    char base[64];
    BaseNameWithoutExtension(value, base, sizeof base);

    // As a msg.dat file.
    static const std::string path = "/tmp/fuzz-msgdat-" + std::to_string(getpid());
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(data, 1, size, f);
        fclose(f);
        dervaneMsg_t msg;
        std::string error;
        if (ReadHandOffFile(path, &msg, &error) &&
            strnlen(msg.payload.text, sizeof msg.payload.text) == sizeof msg.payload.text) {
            __builtin_trap();  // the payload must always be terminated
        }
    }
    return 0;
}
