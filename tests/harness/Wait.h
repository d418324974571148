#pragma once
#include <windows.h>

// Polls condition every stepMs until it holds or timeoutMs have passed;
// answers whether it held. The condition is checked once more at the end.
template <class Condition> bool WaitFor(Condition condition, DWORD timeoutMs, DWORD stepMs = 20)
{
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount64() >= deadline)
            return condition();
        Sleep(stepMs);
    }
}
