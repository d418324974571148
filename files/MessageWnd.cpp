#include "files/MessageWnd.h"

int CMessageWnd::CreateMessageOnly()
{
    CreateArgs args;
    args.className = "DervaneFeatureWindow";
    args.style = 0;
    args.x = args.y = args.width = args.height = 0;
    args.parent = HWND_MESSAGE;
    return Create(args);
}

LRESULT CMessageWnd::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_handler && m_handler(msg, wp, lp))
        return 0;
    return CWindow::WndProc(msg, wp, lp);
}
