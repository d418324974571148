// A page of the main sheet that carries one of the program's features. The
// main window drives every feature through these calls, in the orders the
// sheet keeps, so a new page plugs in without changes to the main window.
#pragma once

#include "framework/PropertyPage.h"

class CTrayWnd;

class CFeaturePage : public CPropertyPage {
public:
    CFeaturePage(UINT templateId, CTrayWnd& main) : CPropertyPage(templateId), m_main(main) { }

    // Once the hook library is ready: read the page's settings and start its feature.
    virtual void LoadAndStart() { }
    // The features were switched on or off: set the controls from the settings again.
    virtual void RefreshFromSettings() { }
    // The features were switched on or off (tray icons, auto-respond follow).
    virtual void OnFeaturesSwitched(bool /*enabled*/) { }
    // The screen changed its size.
    virtual void OnDisplayChange() { }
    // The hook library loaded a layout: type 0 positions, 1 shortcuts.
    virtual void OnLayoutLoaded(int /*type*/, const char* /*name*/) { }
    // At exit, before the sheet's window is destroyed.
    virtual void ShutDown() { }
    // Windows is about to end the session: put the desktop back as found.
    virtual void OnEndSession() { }

protected:
    CTrayWnd& Main() const { return m_main; }
    // Every page gives its controls' help on F1, "?" and a right click.
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CTrayWnd& m_main;
};
