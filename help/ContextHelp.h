// CContextHelp: the help for one control of a dialog, by its help id. HTML
// Help shows the control's popup text from the help file beside it; where
// HTML Help has no text popups (Wine has none), the help file's own page for
// that help id opens in the help viewer instead.
#pragma once

#include <windows.h>

#include <string>

#include "framework/ScopedHandles.h"
#include "help/HelpPopupText.h"

class CContextHelp {
public:
    // chmPath: the help file, "Dervane.chm" beside the program.
    explicit CContextHelp(std::string chmPath) : m_chmPath(std::move(chmPath)) { }

    // Shows the help for helpId near at (screen coordinates), owned by
    // owner; answers 1 when the help was shown, 0 when HTML Help, the help
    // file or its text for helpId is missing.
    int Show(HWND owner, unsigned long helpId, POINT at);
    // The popup text of helpId, read from the help file on first use; nullptr
    // when there is none.
    const std::string* PopupText(unsigned long helpId);
    // Closes the help windows this process opened.
    void CloseAll();

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
    int LoadHtmlHelp();

    std::string m_chmPath;
    ScopedModule m_hhctrl;
    HtmlHelpFunction m_htmlHelp = nullptr;
    HelpPopupText m_texts;
    bool m_textsRead = false;
};
