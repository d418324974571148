#include "help/ContextHelp.h"

#include <htmlhelp.h>

#include <cstdio>

#include "help/ChmFile.h"
#include "help/HelpTables.h"

int CContextHelp::LoadHtmlHelp()
{
    if (m_htmlHelp)
        return 1;
    if (!m_hhctrl)
        m_hhctrl.Reset(LoadLibraryA("HHCTRL.OCX"));
    if (!m_hhctrl)
        return 0;
    m_htmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(m_hhctrl.Get(), "HtmlHelpA")));
    return m_htmlHelp ? 1 : 0;
}

const std::string* CContextHelp::PopupText(unsigned long helpId)
{
    if (!m_textsRead) {
        m_textsRead = true;
        std::string topics, ids;
        if (ReadChmFile(m_chmPath, kHelpPopupFile, topics) && ReadChmFile(m_chmPath, kHelpPopupIdFile, ids))
            m_texts.Parse(topics, ids);
    }
    return m_texts.Find(helpId);
}

int CContextHelp::Show(HWND owner, unsigned long helpId, POINT at)
{
    const std::string* text = PopupText(helpId);
    if (!text || !LoadHtmlHelp())
        return 0;
    HH_POPUP popup = {};
    popup.cbStruct = sizeof popup;
    popup.pszText = text->c_str();
    popup.pt = at;
    popup.clrForeground = static_cast<COLORREF>(-1);
    popup.clrBackground = static_cast<COLORREF>(-1);
    popup.rcMargins = RECT{-1, -1, -1, -1};
    if (m_htmlHelp(owner, nullptr, HH_DISPLAY_TEXT_POPUP, reinterpret_cast<DWORD_PTR>(&popup)))
        return 1;
    char page[64];
    std::snprintf(page, sizeof page, kHelpPageFormat, helpId);
    const std::string topic = m_chmPath + "::/" + page;
    return m_htmlHelp(owner, topic.c_str(), HH_DISPLAY_TOPIC, 0) ? 1 : 0;
}

void CContextHelp::CloseAll()
{
    if (m_htmlHelp)
        m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
}
