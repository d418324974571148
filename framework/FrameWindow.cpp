#include "framework/FrameWindow.h"

#include "framework/ScopedHandles.h"

int CFrameWindow::LoadFrame(const FrameArgs& args)
{
    const HINSTANCE module = args.module ? args.module : GetModule();
    ScopedMenu menu;
    HICON icon = nullptr;
    if (args.resourceId) {
        menu.Reset(LoadMenuA(module, MAKEINTRESOURCEA(args.resourceId)));
        // Icons from LoadIcon are shared: never destroyed by us.
        icon = LoadIconA(module, MAKEINTRESOURCEA(args.resourceId));
    }
    CreateArgs create;
    create.className = args.className;
    create.title = args.title;
    create.style = args.style;
    create.exStyle = args.exStyle;
    create.menu = menu.Get();
    create.icon = icon;
    if (!Create(create))
        return 0;
    menu.Release();  // the window destroys its menu
    return 1;
}

LRESULT CFrameWindow::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    const LRESULT result = CWindow::WndProc(msg, wp, lp);
    if (msg == WM_NCDESTROY && m_endsMessageLoop)
        PostQuitMessage(0);
    return result;
}
