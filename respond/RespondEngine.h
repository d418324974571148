// IRespondEngine: how the program starts and stops the engine that answers
// other programs' windows, and tells it that the rules changed. The rules
// reach the engine only through Respond.txt in the program folder.
#pragma once

#include <windows.h>

#include <string>

// The engine never plays a sound itself (its library is loaded into every
// program and brings no sound library there): it posts this registered
// message to the window it was started with, and the program plays the file.
// LPARAM: the file's path, a null-terminated wide text on the process heap
// (HeapAlloc of GetProcessHeap()) that the window frees with HeapFree; the
// engine frees it when the message cannot be posted.
constexpr wchar_t kRespondPlaySoundMessage[] = L"DERVANE_RESPOND_PLAY_SOUND";

class IRespondEngine {
public:
    virtual ~IRespondEngine() = default;
    // Starts watching new windows of every program of the desktop; the
    // sounds of the rules are handed to soundWindow.
    virtual void Start(HWND soundWindow, const std::string& folder) = 0;
    // Stops, leaving nothing behind in any program.
    virtual void Stop() = 0;
    // Respond.txt was rewritten: the engine takes the rules from it again.
    virtual void RulesChanged() = 0;
};
