// IPageHost: what the property sheet and its pages ask of the program: what
// the features' owners ask (IFeatureHost) and more. The program's main window
// implements it; tests give the pages one of their own.
//
// Settings travel as values: a page reads the program's settings, builds the
// value its controls say and hands it back, either to be kept (a choice that
// waits for the next Apply) or to be applied (kept and sent to the hook
// library). The page itself writes its registry values through Store().
#pragma once

#include <windows.h>

#include <string>

#include "common/FeatureHost.h"
#include "hook/HookProtocol.h"

class IPageHost : public IFeatureHost {
public:
    // ---- Settings in and out ----
    // Takes settings as the program's without sending them anywhere.
    virtual void KeepSettings(const SettingsBlock& settings) = 0;
    // ApplySettings (IFeatureHost) takes them and sends them to the hook library.

    // ---- Orders ----
    // The features were switched on or off by a page's settings: the tray
    // icon and menu show it, and the features that follow it start or stop.
    virtual void SwitchFeatures(bool enabled) = 0;
    // The property sheet was shown or hidden.
    virtual void SheetShown(bool visible) = 0;
    // The program's help file.
    virtual void ShowHelp() = 0;

    // ---- What the pages' windows hang on ----
    // "Resources.dll" while it is loaded, else nullptr.
    virtual HMODULE ResourceLibrary() const = 0;
    // 1 Windows 95/98, 2 Windows NT, 0 otherwise.
    virtual int Platform() const = 0;
};
