// CMessageWnd: a message-only window (no place on the screen, never
// enumerated) whose messages go to a function: where a feature's timer and
// the notices of its windows arrive, whether or not the property sheet was
// ever made.
#pragma once

#include "framework/Window.h"

#include <functional>

class CMessageWnd : public CWindow {
public:
    // Answers true when it handled the message (the window then answers 0).
    using Handler = std::function<bool(UINT msg, WPARAM wp, LPARAM lp)>;

    explicit CMessageWnd(Handler handler) : m_handler(std::move(handler)) { }
    // 1 when the window was made.
    int CreateMessageOnly();

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Handler m_handler;
};
