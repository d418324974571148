// A page of the main sheet. A page edits its feature's owner (made by the
// program's core, running without the sheet): it reads the owner's state
// when shown and hands it a value on Apply.
//
// The base keeps what every page has: its own OK, Cancel and Apply buttons
// (handled by CPropertyPage), its picture (loaded at activation, drawn at its
// placeholder, freed when the page is left) and its controls' context help.
#pragma once

#include "framework/PropertyPage.h"
#include "pages/PagePicture.h"

class IPageHost;

class CFeaturePage : public CPropertyPage {
public:
    // What a page's template holds besides its settings' controls.
    struct PageArgs {
        UINT templateId = 0;
        OwnButtons buttons;  // 0 where the template has no such button
        UINT picture = 0;  // bitmap resource; 0: the page has no picture
        UINT lowColourPicture = 0;  // for a display of 8 bits per pixel or fewer
        int picturePlace = 0;  // the hidden placeholder control
        COLORREF pictureKey = RGB(0, 0, 0);  // the colour drawn transparent
    };

    CFeaturePage(const PageArgs& args, IPageHost& host);

    // The features were switched on or off: set the controls from the settings again.
    virtual void RefreshFromSettings() { }

protected:
    IPageHost& Host() const { return m_host; }

    // The page becomes active: set the controls from the settings. The
    // picture is loaded afterwards unless this answers false.
    virtual bool OnActivate() { return true; }
    // The page is left; its picture is freed afterwards.
    virtual void OnDeactivate() { }

    int OnSetActive() final;
    int OnKillActive() final;
    // The picture on WM_PAINT; the controls' help on F1, "?" and a right click.
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    IPageHost& m_host;
    bool m_hasPicture;
    CPagePicture m_picture;
};
