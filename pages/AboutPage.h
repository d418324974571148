// The About page: the product picture, the version and the way out.
#pragma once

#include <string>

#include "pages/FeaturePage.h"

class CAboutPage : public CFeaturePage {
public:
    explicit CAboutPage(IPageHost& host);

protected:
    bool OnActivate() override;
    void OnDeactivate() override;
    int OnCommand(UINT id, UINT code, HWND control) override;

private:
    void FreeProductPicture();
    const std::string& VersionText();

    HBITMAP m_productPicture = nullptr;  // of "Resources.dll", shown by control 1037
    std::string m_versionText;  // "Version " and the program's version
};
