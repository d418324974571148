// IRespondEngine: how the program starts and stops the engine that answers
// other programs' windows, and tells it that the rules changed. The rules
// reach the engine only through Respond.txt in the program folder.
#pragma once

#include <windows.h>

#include <string>

class IRespondEngine {
public:
    virtual ~IRespondEngine() = default;
    // Starts watching new windows of every program of the desktop.
    virtual void Start(HWND mainWindow, const std::string& folder) = 0;
    // Stops, leaving nothing behind in any program.
    virtual void Stop() = 0;
    // Respond.txt was rewritten: the engine takes the rules from it again.
    virtual void RulesChanged() = 0;
};
