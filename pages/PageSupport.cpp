#include "pages/PageSupport.h"

#include "common/Utf8.h"

#include "framework/ScopedHandles.h"

POINT ControlPosition(HWND dialog, int controlId)
{
    POINT pt = {};
    HWND control = GetDlgItem(dialog, controlId);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (control && GetWindowPlacement(control, &placement)) {
        pt.x = placement.rcNormalPosition.left;
        pt.y = placement.rcNormalPosition.top;
    }
    return pt;
}

void FillFolderList(HWND list, const std::vector<std::string>& texts)
{
    if (!list)
        return;
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    int widest = 0;
    const ScopedGetDC dc(list);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0));
    const ScopedSelect select(dc.Get(), dc && font ? font : nullptr);
    for (const std::string& text : texts) {
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SIZE size = {};
        const std::wstring wide = Utf8ToWide(text);  // the A call reads the font's code page
        const int width = dc && GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size)
            ? size.cx
            : 500;
        if (width > widest)
            widest = width;
    }
    if (!texts.empty())
        SendMessageA(list, LB_SETHORIZONTALEXTENT, widest + 8, 0);
}

bool SelectedListText(HWND list, std::string* text)
{
    const LRESULT index = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : LB_ERR;
    if (index == LB_ERR)
        return false;
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return false;
    std::string got(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&got[0]));
    got.resize(static_cast<size_t>(length));
    *text = got;
    return true;
}
