#include "cbt/WindowActions.h"

#include <cstring>
#include <cwchar>

#include "common/Utf8.h"
#include "framework/ScopedHandles.h"
#include "respond/RespondMatch.h"

namespace {
constexpr size_t kMaxChildren = 512;
constexpr int kTextChars = 1024;

std::string TextOf(HWND window)
{
    // For another process's window this reads the system's copy of the text
    // and sends nothing, so a hung program cannot hold the engine.
    // Read wide and converted here: the rules are UTF-8, whatever the code
    // page of the process this runs in.
    wchar_t text[kTextChars] = {};
    const int length = GetWindowTextW(window, text, kTextChars);
    return length > 0 ? WideToUtf8(text, static_cast<size_t>(length) < kTextChars ? length : kTextChars - 1)
                      : std::string();
}

bool IsButtonClass(HWND window)
{
    wchar_t name[32] = {};
    return GetClassNameW(window, name, 32) > 0 && _wcsicmp(name, L"Button") == 0;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM param)
{
    auto* children = reinterpret_cast<std::vector<HWND>*>(param);
    children->push_back(child);
    return children->size() < kMaxChildren;
}

std::vector<HWND> Children(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}
}  // namespace

std::string WindowTitle(HWND window)
{
    return TextOf(window);
}

std::vector<std::string> ChildTexts(HWND window)
{
    std::vector<std::string> texts;
    for (HWND child : Children(window)) {
        std::string text = TextOf(child);
        if (!text.empty())
            texts.push_back(std::move(text));
    }
    return texts;
}

ActionOutcome PushButton(HWND window, const RespondAction& action)
{
    bool disabled = false;
    for (HWND child : Children(window)) {
        if (!IsButtonClass(child) || !IsWindowVisible(child))
            continue;
        const LONG_PTR type = GetWindowLongPtrW(child, GWL_STYLE) & BS_TYPEMASK;
        if (type == BS_GROUPBOX || !LabelMatches(action, TextOf(child)))
            continue;
        if (!IsWindowEnabled(child)) {
            disabled = true;
            continue;
        }
        HWND parent = GetParent(child);
        const int id = GetDlgCtrlID(child);
        if (!parent)
            return ActionOutcome::kFailed;
        // Posted, not sent: a program that does not answer keeps the engine
        // free. Measured to press the button of another process's dialog.
        if (!PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(child)))
            return ActionOutcome::kFailed;
        return ActionOutcome::kDone;
    }
    return disabled ? ActionOutcome::kDisabled : ActionOutcome::kNotFound;
}

const CbtMenuItem* FindMenuItem(const CbtMenuRead& read, const RespondAction& action)
{
    const LONG count = read.itemCount < kCbtMenuItems ? read.itemCount : kCbtMenuItems;
    for (LONG i = 0; i < count; i++) {
        const CbtMenuItem& item = read.items[i];
        const std::string label = WideToUtf8(item.label, wcsnlen(item.label, kCbtMenuLabelChars));
        if (LabelMatches(action, label))
            return &item;
    }
    return nullptr;
}

ActionOutcome ChooseMenuItem(HWND window, const CbtMenuItem& item)
{
    if (item.state & (MF_GRAYED | MF_DISABLED))
        return ActionOutcome::kDisabled;
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0) ? ActionOutcome::kDone : ActionOutcome::kFailed;
}

const char* HandOverWaveFile(HWND player, UINT message, const std::string& path)
{
    if (path.empty())
        return "no sound file is named";
    const std::wstring widePath = Utf8ToWide(path.c_str());
    ScopedHandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return "the sound file cannot be opened";
    char header[12] = {};
    DWORD got = 0;
    if (!ReadFile(file.Get(), header, sizeof header, &got, nullptr) || got != sizeof header ||
        memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "WAVE", 4) != 0)
        return "the sound file is not a WAVE file";
    if (!player || !message || !IsWindow(player))
        return "nobody plays the sounds";
    // A posted message carries two numbers: the path goes on the process
    // heap, and the player frees it.
    const size_t bytes = (widePath.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, bytes));
    if (!copy)
        return "no memory for the sound's path";
    wmemcpy(copy, widePath.c_str(), widePath.size() + 1);
    if (!PostMessageW(player, message, 0, reinterpret_cast<LPARAM>(copy))) {
        HeapFree(GetProcessHeap(), 0, copy);
        return "the sound could not be handed over";
    }
    return nullptr;
}

bool IsThirtyTwoBitWindow(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    BOOL wow64 = FALSE;
    return process && IsWow64Process(process.Get(), &wow64) && wow64;
}
