// The General page: features on or off, start with Windows, end after a
// layout shortcut, and "Re-associate".
#pragma once

#include "pages/FeaturePage.h"
#include "pages/PagePicture.h"

#include <memory>

class CGeneralPage : public CFeaturePage {
public:
    explicit CGeneralPage(CTrayWnd& main);

    void LoadAndStart() override;
    void RefreshFromSettings() override { RefreshGeneralPage(); }

    void RefreshGeneralPage();
    void UpdateStartEntry();
    void WriteGeneralSettings();

protected:
    int OnSetActive() override;
    int OnKillActive() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CPagePicture m_picture;
};
