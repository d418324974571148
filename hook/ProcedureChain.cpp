#include "hook/ProcedureChain.h"

#include <algorithm>

#include "common/Log.h"

WNDPROC CProcedureChain::Enter(HWND wnd)
{
    // Links of windows that are gone go first: their handles may be reused.
    links_.erase(std::remove_if(links_.begin(), links_.end(), [](const Link& link) { return !IsWindow(link.wnd); }),
                 links_.end());
    if (!IsWindow(wnd))
        return nullptr;
    if (const WNDPROC next = Next(wnd))
        return next;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own_)));
    if (!previous)
        return nullptr;
    links_.push_back({wnd, previous});
    return previous;
}

bool CProcedureChain::Leave(HWND wnd)
{
    const auto link = std::find_if(links_.begin(), links_.end(), [&](const Link& l) { return l.wnd == wnd; });
    if (link == links_.end())
        return true;
    if (!IsWindow(wnd)) {
        links_.erase(link);
        return true;
    }
    if (GetWindowLongPtrW(wnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(own_))
        return false;
    SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(link->next));
    links_.erase(link);
    return true;
}

WNDPROC CProcedureChain::Next(HWND wnd) const
{
    for (const Link& link : links_) {
        if (link.wnd == wnd)
            return link.next;
    }
    return nullptr;
}

void PinLibrary()
{
    static bool pinned = false;
    if (pinned)
        return;
    HMODULE module = nullptr;
    pinned = GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                reinterpret_cast<LPCWSTR>(&PinLibrary), &module) != FALSE;
    if (!pinned)
        LogWarning("Cannot keep the library loaded in the desktop's process");
}
