// CDropWindowPage: a page whose feature has a drop window on the desktop
// (CDesktopDropWnd): the window is made when the settings show it and goes
// when they hide it, its place read back and saved first. It never goes
// while a drop's dialog runs inside it (InModalLoop says so at exit): then it
// goes once the drop is over (WMAPP_DESKTOP_DROP_DONE).
#pragma once

#include "pages/DesktopDropWnd.h"
#include "pages/FeaturePage.h"

#include <cstdint>
#include <memory>

class CDropWindowPage : public CFeaturePage {
public:
    using CFeaturePage::CFeaturePage;
    ~CDropWindowPage() override;

    void OnDisplayChange() override;
    bool InModalLoop(HWND* popup) const override;

protected:
    // Where the page's settings keep the window.
    struct WindowPlace {
        uint8_t& show;
        int32_t& left;
        int32_t& top;
    };
    virtual WindowPlace Place() = 0;
    // A new window, not created yet; its name for the log.
    virtual std::unique_ptr<CDesktopDropWnd> MakeWindow() = 0;
    virtual const char* WindowName() const = 0;
    // Saves the settings, the window's place among them.
    virtual void SaveSettings() = 0;

    // The window shown or hidden as the settings say.
    void MatchWindow();
    void ShowWindow();
    void HideWindow();
    CDesktopDropWnd* Window() const { return m_window.get(); }

    int OnInitDialog() override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::unique_ptr<CDesktopDropWnd> m_window;
};
