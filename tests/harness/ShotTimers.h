// The timers of a screenshot program (tests/harness/shots.sh): "FOLDER\ready"
// is written once the windows have had 1.5 seconds to draw, and the program
// ends itself after 30 seconds (WM_QUIT also ends a modal dialog's loop).
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace shot_timers {

inline std::string& ReadyFile()
{
    static std::string file;
    return file;
}

inline void CALLBACK MarkReady(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    if (FILE* f = fopen(ReadyFile().c_str(), "w"))
        fclose(f);
}

inline void CALLBACK End(HWND, UINT, UINT_PTR, DWORD)
{
    PostQuitMessage(0);
}

}  // namespace shot_timers

inline void StartShotTimers(const std::string& folder)
{
    shot_timers::ReadyFile() = folder + "\\ready";
    SetTimer(nullptr, 0, 1500, &shot_timers::MarkReady);
    SetTimer(nullptr, 0, 30000, &shot_timers::End);
}
