// The library's place in a window's chain of window procedures. Another
// program may put its own procedure in front of ours after us and call ours
// as the one it replaced: ours is then taken out only while it is still the
// window's procedure, and otherwise stays, passing every message on.
#pragma once

#include <windows.h>

class CProcedureChain {
public:
    explicit CProcedureChain(WNDPROC own) : own_(own) {}

    // Puts own in front of wnd's procedure, unless it is in wnd's chain
    // already (left there by an earlier Leave); answers the procedure own
    // passes wnd's messages to, null when wnd is no window.
    WNDPROC Enter(HWND wnd);
    // Takes own out of wnd's chain when it is wnd's procedure (true). When
    // another procedure is in front of it, own stays, and false.
    bool Leave(HWND wnd);
    // The procedure own passes wnd's messages to; null when own is in no
    // chain of wnd.
    WNDPROC Next(HWND wnd) const;

private:
    struct Link {
        HWND wnd;
        WNDPROC next;
    };
    // Few windows at a time, in a fixed block: nothing to free when the
    // process ends while a window may still call us.
    static constexpr int kMaxLinks = 8;
    WNDPROC own_;
    Link links_[kMaxLinks] = {};
    int count_ = 0;
};

// Keeps the library loaded in this process until it ends: a procedure of
// ours may stay in a window's chain for good.
void PinLibrary();
