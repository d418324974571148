// The records the program and the hook library exchange: the 2048-byte
// message record, the settings block it carries, the appearance group and the
// message codes. Window-free, so the program's hand-off parser and the native
// tests can use it too; COLORREF is spelled as its 32-bit width here.
#pragma once

#include <cstddef>
#include <cstdint>

enum HookMessageCode : int32_t {
    HOOKMSG_APPLY_SETTINGS = 1,
    HOOKMSG_LOAD_POSITIONS = 2,
    HOOKMSG_LOAD_SHORTCUTS = 3,
    HOOKMSG_SAVE_POSITIONS = 4,
    HOOKMSG_SAVE_SHORTCUTS = 5,
    HOOKMSG_ICONIFY_POSITIONS = 6,
    HOOKMSG_ICONIFY_SHORTCUTS = 7,
    HOOKMSG_RELOAD_HIDE_RULES = 8,
    HOOKMSG_POSITIONS_LOADED = 9,
    HOOKMSG_SHORTCUTS_LOADED = 10,
    HOOKMSG_SCREEN_CHANGED = 11,
};

// Registered window message names.
#define DERVANE_APP_MESSAGE_NAME "DERVANE_APP_MESSAGE_ID"
#define DERVANE_HOOK_MESSAGE_NAME "DERVANE_HOOK_MESSAGE_ID"
#define DERVANE_HOOK_MESSAGE_NAME_W L"DERVANE_HOOK_MESSAGE_ID"

// What the hook message's wParam says when the library sends or posts it to
// the program's window: a notification in the shared record (a layout was
// loaded), or a notice that carries nothing more, posted from the desktop's
// thread without waiting: set-up there is complete (the library is ready),
// or the shell moved its desktop into another window (into or out of a
// "WorkerW") and the library must attach again, or the icons were placed
// for the monitors after a display change (lParam: how long the placement
// took, in microseconds, the wait for the shell not counted).
enum HookNotice : uintptr_t {
    HOOKNOTICE_RECORD = 0,
    HOOKNOTICE_READY = 1,
    HOOKNOTICE_DESKTOP_MOVED = 2,
    HOOKNOTICE_DISPLAY_FOLLOWED = 3,
};

enum : uint8_t {
    HOOKROUTE_PROGRAM = 0,  // the main window handles the record itself
    HOOKROUTE_HOOK = 1,  // the main window passes it on to the hook library
};

// Every text field holds UTF-8. A label may be as long as the shell allows a
// name (MAX_PATH UTF-16 units, up to 780 bytes); the program folder as long as
// Setup accepts (160 units, up to 480 bytes); a payload holds a path made of
// the program folder, a sub-folder and a layout file name of 260 units.
constexpr size_t kHookPayloadSize = 2043;
constexpr size_t kIconLabelSize = 784;
constexpr size_t kProgramFolderSize = 512;

#pragma pack(push, 1)

// Label colours and icon style; -1 in every field means "not set yet".
struct dervaneGroup1_t {
    uint32_t textForeground;
    uint32_t textBackground;
    int8_t textBackgroundOpaque;
    int8_t iconStyle;
};

// The program's settings, copied whole as the payload of HOOKMSG_APPLY_SETTINGS.
struct SettingsBlock {
    uint8_t enabled;  // "Property General Enabled"
    uint8_t runOnBoot;  // "Property General Run On Boot"
    uint8_t exitOnLoad;  // "Property General Exit On Load"
    uint8_t firstTime;  // "Property General First Time"
    uint8_t hideEnabled;  // "Property Icon Hide Enabled"
    uint8_t iconStyle;  // "Property Icon Style": 0 large, 1 small
    uint8_t restoreOnRes;  // "Property Icon Restore On Res"
    uint8_t adjustByPixel;  // "Property Icon Adjust By Pixel"
    uint8_t listType;  // "Property Icon List Type"
    uint8_t keepSnapshots;  // "Property Icon Keep Screen Layouts"
    uint8_t unused[2];
    uint32_t textBackground;  // "Property Icon Text Background Color"
    uint32_t textForeground;  // "Property Icon Text Foreground Color"
    uint8_t textBackgroundOpaque;  // "Property Icon Text Background"
    uint8_t rest[263];  // the rest of the program's settings state
};

struct dervaneMsg_t {
    int32_t code;
    uint8_t route;
    union {
        char text[kHookPayloadSize];  // codes 2 to 7, 9, 10: NUL-terminated UTF-8
        SettingsBlock settings;  // code 1
    } payload;
};

#pragma pack(pop)

static_assert(sizeof(dervaneMsg_t) == 2048, "message record is 2048 bytes");
static_assert(offsetof(dervaneMsg_t, code) == 0, "code at 0");
static_assert(offsetof(dervaneMsg_t, route) == 4, "route at 4");
static_assert(offsetof(dervaneMsg_t, payload) == 5, "payload at 5");
static_assert(sizeof(SettingsBlock) == 284, "settings block is 284 bytes");
static_assert(offsetof(SettingsBlock, enabled) == 0, "");
static_assert(offsetof(SettingsBlock, runOnBoot) == 1, "");
static_assert(offsetof(SettingsBlock, exitOnLoad) == 2, "");
static_assert(offsetof(SettingsBlock, firstTime) == 3, "");
static_assert(offsetof(SettingsBlock, hideEnabled) == 4, "");
static_assert(offsetof(SettingsBlock, iconStyle) == 5, "");
static_assert(offsetof(SettingsBlock, restoreOnRes) == 6, "");
static_assert(offsetof(SettingsBlock, adjustByPixel) == 7, "");
static_assert(offsetof(SettingsBlock, listType) == 8, "");
static_assert(offsetof(SettingsBlock, keepSnapshots) == 9, "");
static_assert(offsetof(SettingsBlock, textBackground) == 12, "");
static_assert(offsetof(SettingsBlock, textForeground) == 16, "");
static_assert(offsetof(SettingsBlock, textBackgroundOpaque) == 20, "");
static_assert(offsetof(SettingsBlock, rest) == 21, "");
static_assert(sizeof(SettingsBlock) <= kHookPayloadSize, "settings fit the payload");
