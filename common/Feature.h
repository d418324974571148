// IFeature: one of the program's features (the icon features, the custom
// tray icons, auto-respond, the deletion schedule and its File Shredder
// window, the Backup window). Each is owned by its own folder and runs
// whether or not the property sheet was ever made; the program's core makes
// them, starts them in the order General, Icons, Tray, Respond, Delete,
// Backup and stops them in the reverse order. A page edits its feature
// through the owner's own interface, never through these calls.
#pragma once

#include <windows.h>

class IFeature {
public:
    virtual ~IFeature() = default;

    // Once the desktop is there: read the settings and the list, and run.
    // A feature that cannot read its list logs it and runs without it.
    virtual void Start() = 0;
    // Once every feature runs and the desktop has the settings: the windows
    // the settings show appear (after the desktop's look, which the user
    // waits for more).
    virtual void ShowWindows() { }
    // At exit, only after Start: windows go, a changed list and the
    // settings are written.
    virtual void Stop() = 0;

    // The program's general switch was turned (tray icons and auto-respond follow it).
    virtual void FeaturesSwitched(bool /*enabled*/) { }
    // The shell's notification area was made again (the shell restarted).
    virtual void TaskbarCreated() { }
    // The screen changed its size or its monitors.
    virtual void DisplayChanged() { }
    // Windows is about to end the session.
    virtual void EndSession() { }
    // True while a dialog of the feature's own windows runs its modal loop
    // (a drop's dialog): the exit waits for it; popup receives the window to
    // ask to close.
    virtual bool InModalLoop(HWND* /*popup*/) const { return false; }
};
