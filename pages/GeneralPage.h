// The General page: features on or off, start with Windows, end after a
// layout shortcut, and "Re-associate".
#pragma once

#include "pages/FeaturePage.h"

class CGeneralPage : public CFeaturePage {
public:
    explicit CGeneralPage(IPageHost& host);

    void RefreshFromSettings() override { RefreshGeneralPage(); }

    void RefreshGeneralPage();
    void UpdateStartEntry(bool runOnBoot);
    void WriteGeneralSettings();

protected:
    bool OnActivate() override;
    int OnApply() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
};
