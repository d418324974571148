#include "hook/ProcedureChain.h"

#include "common/Log.h"

WNDPROC CProcedureChain::Enter(HWND wnd)
{
    // Links of windows that are gone go first: their handles may be reused.
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
        if (IsWindow(links_[i].wnd))
            links_[kept++] = links_[i];
    }
    count_ = kept;
    if (!IsWindow(wnd))
        return nullptr;
    if (const WNDPROC next = Next(wnd))
        return next;
    if (count_ == kMaxLinks)
        return nullptr;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own_)));
    if (!previous)
        return nullptr;
    links_[count_++] = {wnd, previous};
    return previous;
}

bool CProcedureChain::Leave(HWND wnd)
{
    int at = 0;
    while (at < count_ && links_[at].wnd != wnd)
        ++at;
    if (at == count_)
        return true;
    if (IsWindow(wnd)) {
        if (GetWindowLongPtrW(wnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(own_))
            return false;
        SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(links_[at].next));
    }
    links_[at] = links_[--count_];
    return true;
}

WNDPROC CProcedureChain::Next(HWND wnd) const
{
    for (int i = 0; i < count_; ++i) {
        if (links_[i].wnd == wnd)
            return links_[i].next;
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
