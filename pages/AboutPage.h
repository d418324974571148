// The About page: the product picture, the version and the way out.
#pragma once

#include "pages/FeaturePage.h"
#include "pages/PagePicture.h"

#include <memory>

class CAboutPage : public CFeaturePage {
public:
    explicit CAboutPage(CTrayWnd& main);

protected:
    int OnSetActive() override;
    int OnKillActive() override;
    int OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void FreePictures();

    HBITMAP m_picture = nullptr;  // of "Resources.dll", shown by control 1037
    CPagePicture m_logo;
};
