#include "pages/PageHelp.h"

#include <windowsx.h>

#include <memory>
#include <string>

#include "framework/FileVersion.h"
#include "help/ContextHelp.h"
#include "help/HelpTables.h"

namespace {

// "Dervane.chm" beside the program.
CContextHelp& ProgramHelp()
{
    static std::unique_ptr<CContextHelp> help;
    if (!help) {
        std::string chm = ModuleFilePath(nullptr);
        const size_t dot = chm.rfind('.');
        if (dot != std::string::npos)
            chm.erase(dot);
        help = std::make_unique<CContextHelp>(chm + ".chm");
    }
    return *help;
}

bool ShowFor(HWND dialog, UINT dialogId, int controlId, POINT at)
{
    const unsigned long helpId = HelpIdOf(dialogId, controlId);
    if (!helpId)
        return false;
    ProgramHelp().Show(dialog, helpId, at);
    return true;
}

}  // namespace

unsigned long HelpIdOf(UINT dialogId, int controlId)
{
    for (const HelpTable& table : kHelpTables) {
        if (table.dialog != dialogId)
            continue;
        for (const unsigned long* pair = table.pairs; pair[0] != 0; pair += 2) {
            if (pair[0] == static_cast<unsigned long>(controlId))
                return pair[1];
        }
    }
    return 0;
}

bool HandleContextHelp(HWND dialog, UINT dialogId, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_HELP) {
        const auto* info = reinterpret_cast<const HELPINFO*>(lp);
        if (!info || info->iContextType != HELPINFO_WINDOW)
            return false;
        return ShowFor(dialog, dialogId, info->iCtrlId, info->MousePos);
    }
    if (msg == WM_CONTEXTMENU) {
        HWND control = reinterpret_cast<HWND>(wp);
        if (!control || control == dialog)
            return false;
        const POINT at = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        return ShowFor(dialog, dialogId, GetDlgCtrlID(control), at);
    }
    return false;
}
