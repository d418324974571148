#include "pages/DropWindowPage.h"

#include "common/AppMessages.h"
#include "common/Log.h"
#include "pages/PageHost.h"

// The window goes after the derived page's members, which it may refer to:
// ~CDialog unbinds it before destroying it, so none of its code runs then.
CDropWindowPage::~CDropWindowPage() = default;

int CDropWindowPage::OnInitDialog()
{
    CFeaturePage::OnInitDialog();
    if (m_window)
        m_window->SetPage(GetHwnd());
    return 1;
}

INT_PTR CDropWindowPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WMAPP_DESKTOP_DROP_DONE) {
        // Out of the window's own handler: now it may go if it should.
        MatchWindow();
        return TRUE;
    }
    return CFeaturePage::DialogProc(msg, wp, lp);
}

void CDropWindowPage::MatchWindow()
{
    if (Place().show)
        ShowWindow();
    else
        HideWindow();
}

void CDropWindowPage::ShowWindow()
{
    if (!m_window) {
        std::unique_ptr<CDesktopDropWnd> window = MakeWindow();
        if (!window || !window->Create(Host().OwnerWindow())) {
            LogWarningFormat("Cannot create the %s window", WindowName());
            return;
        }
        m_window = std::move(window);
    }
    const WindowPlace place = Place();
    m_window->MoveTo(place.left, place.top);
}

void CDropWindowPage::HideWindow()
{
    // A drop's dialog runs inside the window's handler: the window goes when
    // the drop is over (WMAPP_DESKTOP_DROP_DONE).
    if (!m_window || m_window->InDrop())
        return;
    if (m_window->IsAlive()) {
        const WindowPlace place = Place();
        m_window->Position(&place.left, &place.top);
        SaveSettings();
        m_window->Destroy();
    }
    m_window.reset();
}

void CDropWindowPage::OnDisplayChange()
{
    if (m_window && m_window->IsAlive())
        m_window->ReloadBitmaps();
}

bool CDropWindowPage::InModalLoop(HWND* popup) const
{
    if (!m_window || !m_window->InDrop())
        return false;
    if (popup)
        *popup = m_window->DropPopup();
    return true;
}
