#include "TrayTestSupport.h"

#include <shellapi.h>

DWORD RecordingSystem::Record(const std::string& call)
{
    calls.push_back(call);
    const DWORD answer = answers.empty() ? 0 : answers.front();
    if (!answers.empty())
        answers.erase(answers.begin());
    return answer;
}

std::string TrayFile(const std::vector<TrayFileEntry>& entries)
{
    std::string text = "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string entry = "ENTRY_" + std::to_string(i);
        text += entry + "\t" + entries[i].tip + "\t" + entries[i].iconFile + "\t0\r\n";
        size_t j = 0;
        for (; j < entries[i].items.size(); ++j)
            text += entry + "_ITEM_" + std::to_string(j) + "\t" + entries[i].items[j] + "\r\n";
        text += entry + "_ITEM_" + std::to_string(j) + "\t#%#\r\n";
    }
    return text;
}

std::string SystemItem(const std::string& label, int command, bool isDefault)
{
    return "2\t" + std::to_string(isDefault) + "\t" + label + "\t" + std::to_string(command);
}

std::string ProgramItem(const std::string& label, const std::string& path, bool isDefault)
{
    return "0\t" + std::to_string(isDefault) + "\t" + label + "\t" + path;
}

int TrayIconCount()
{
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    int count = 0;
    if (tray)
        EnumChildWindows(
            tray,
            [](HWND, LPARAM counted) -> BOOL {
                ++*reinterpret_cast<int*>(counted);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&count));
    return count;
}

namespace {

SeenMenu g_seen;
int g_probeTicks = 0;
bool g_chooseFirst = false;

// Reads the menu inside its own loop, on a thread timer.
void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if ((!popup || !IsWindowVisible(popup)) && ++g_probeTicks < 100)
        return;
    KillTimer(nullptr, timer);
    HMENU menu = popup ? reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)) : nullptr;
    if (menu) {
        g_seen.menu = menu;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            g_seen.items.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) ? "-"
                                                                                                            : text);
        }
        g_seen.defaultPosition = static_cast<int>(GetMenuDefaultItem(menu, TRUE, 0));
    }
    if (menu && g_chooseFirst) {
        PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        EndMenu();
    }
}

}  // namespace

SeenMenu ReadPopupMenu(const std::function<void()>& click, bool chooseFirst)
{
    g_seen = SeenMenu();
    g_probeTicks = 0;
    g_chooseFirst = chooseFirst;
    SetTimer(nullptr, 0, 50, ProbeMenu);
    click();
    return g_seen;
}

int StartingShell::refusals = 0;
int StartingShell::additions = 0;

BOOL CALLBACK StartingShell::Notify(DWORD message, NOTIFYICONDATAW* record)
{
    if (message == NIM_ADD)
        ++additions;
    if ((message == NIM_ADD || message == NIM_MODIFY) && refusals > 0) {
        --refusals;
        return FALSE;
    }
    return Shell_NotifyIconW(message, record);
}
