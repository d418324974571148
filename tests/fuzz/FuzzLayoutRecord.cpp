// Icon records of layout files, a whole .dvl file as the hook library loads
// it, and the msg.dat hand-off, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "app/HandOff.h"
#include "common/FileNameChecks.h"
#include "common/KeyedTextFile.h"
#include "common/LayoutFormat.h"
#include "hook/Arrangement.h"
#include "hook/IconPlacement.h"
#include "hook/LayoutRecord.h"
#include "tests/fuzz/FuzzWorkFolder.h"

namespace {

template <size_t N> bool Terminated(const char (&text)[N])
{
    return strnlen(text, N) < N;
}

bool Same(const ShortcutRecord& a, const ShortcutRecord& b)
{
    return strcmp(a.label, b.label) == 0 && a.x == b.x && a.y == b.y && strcmp(a.itemPath, b.itemPath) == 0 &&
        a.namePath == b.namePath && strcmp(a.target, b.target) == 0 && strcmp(a.arguments, b.arguments) == 0 &&
        strcmp(a.workingFolder, b.workingFolder) == 0 && strcmp(a.description, b.description) == 0 &&
        strcmp(a.iconFile, b.iconFile) == 0 && a.iconIndex == b.iconIndex && a.showCommand == b.showCommand &&
        a.hotKey == b.hotKey;
}

// The arrangement a layout was saved on and its icons' monitors, placed on a
// docked arrangement: the primary first at 0,0 and every icon whose monitor
// is gone on a free spot inside the primary's work area, or counted crowded.
void FuzzArrangement(CKeyedTextFile& file, const char* path)
{
    SavedArrangement saved;
    if (!ReadArrangementRecords(file, path, &saved))
        return;
    const Arrangement& from = saved.arrangement;
    if (from.Empty() || from.monitors.size() > kMaxMonitors || from.Primary().rect.left != 0 ||
        from.Primary().rect.top != 0)
        __builtin_trap();
    ArrangementSnapshotFileName(from);
    const std::vector<Box> monitors = ReadIconMonitorRecords(file, path, saved);
    std::vector<IconToPlace> icons;
    for (size_t i = 0; i < monitors.size() && i < 64; ++i) {
        IconToPlace icon;
        icon.x = monitors[i].left + static_cast<int>(i) * 10;
        icon.y = monitors[i].top;
        icon.width = icon.height = 48;
        icon.monitor = monitors[i];
        icons.push_back(icon);
    }
    Arrangement to;
    to.monitors.resize(2);
    to.monitors[0].rect = {0, 0, 800, 600};
    to.monitors[1].rect = {-640, 100, 0, 580};
    const PlacementResult r =
        PlaceIcons({&from, saved.originX, saved.originY}, {&to, -640, 0}, icons, {}, 75, 75);
    for (size_t i = 0; i < icons.size(); ++i) {
        const Box box = Box{r.places[i].x, r.places[i].y, r.places[i].x + 48, r.places[i].y + 48}.Moved(-640, 0);
        if (!box.Intersects(to.monitors[0].rect) && !box.Intersects(to.monitors[1].rect))
            __builtin_trap();
    }
}

// The bytes as a layout file, read as loading one reads it: the title, the
// loaded record, the appearance, every icon record and the windows' places.
// Every record given is whole, and a file record written again reads back
// the same.
void FuzzLayoutFile(const uint8_t* data, size_t size)
{
    const std::string path = FuzzWork("layout").WriteInput("Work.dvl", data, size);
    CKeyedTextFile file(path.c_str());
    if (!file.Exists() || (!file.HasTitle(kShortcutsLayoutTitle) && !file.HasTitle(kPositionsLayoutTitle)))
        return;
    int loaded = 0;
    ReadLoadedRecord(file, &loaded);
    char value[CKeyedTextFile::kLineSize];
    for (const char* key : {"ICON_TEXT_COLOR_FG", "ICON_TEXT_COLOR_BG", "ICON_TEXT_BG", "ICON_STYLE"})
        file.Find(key, value, true);
    ReadIconRecords(file, path.c_str(), [](const ShortcutRecord& r, bool isFile) {
        if (!Terminated(r.label) || !Terminated(r.itemPath) || !Terminated(r.target) || !Terminated(r.arguments) ||
            !Terminated(r.workingFolder) || !Terminated(r.description) || !Terminated(r.iconFile))
            __builtin_trap();
        char out[4096];
        ShortcutRecord again = {};
        bool againFile = false;
        if (isFile && FormatLongIconRecord(r, out, sizeof out) &&
            (!ParseIconRecord(out, &again, &againFile) || !againFile || !Same(r, again)))
            __builtin_trap();
    });
    char field[CKeyedTextFile::kLineSize];
    int x = 0, y = 0;
    for (const char* key : {"WINDOW_DELETE", "WINDOW_BACKUP"}) {
        if (file.Find(key, value, true) && CKeyedTextFile::GetField(value, 0, field))
            ParsePoint(field, &x, &y);
    }
    FuzzArrangement(file, path.c_str());
}

}  // namespace

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

    FuzzLayoutFile(data, size);

    // As a command line: a name taken for /save or /load never leaves the folder.
    const LayoutCommand command = ParseLayoutCommand(std::string(reinterpret_cast<const char*>(data), size));
    const std::string fileName = CommandLayoutFileName(command.name, 20);
    if (!fileName.empty() && (fileName.find_first_of("\\/:") != std::string::npos || IsDeviceName(fileName.c_str())))
        __builtin_trap();

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
