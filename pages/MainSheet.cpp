#include "pages/MainSheet.h"

#include "framework/Application.h"
#include "hook/HookProtocol.h"
#include "pages/AboutPage.h"
#include "pages/BackupPage.h"
#include "pages/DeletePage.h"
#include "pages/GeneralPage.h"
#include "pages/HookIconsHost.h"
#include "pages/IconsPage.h"
#include "pages/PageHost.h"
#include "pages/RespondPage.h"
#include "respond/CbtRespondEngine.h"
#include "pages/TrayPage.h"
#include "pages/resource.h"

CMainSheet::CMainSheet(IPageHost& host, const PageOwners& owners)
    : m_host(host), m_owners(owners), m_appMessageId(RegisterWindowMessageA(DERVANE_APP_MESSAGE_NAME)),
      m_hookMessageId(RegisterWindowMessageA(DERVANE_HOOK_MESSAGE_NAME))
{
}

void CMainSheet::Add(Slot slot, std::unique_ptr<CFeaturePage> page)
{
    m_slots[slot] = page.get();
    AddPage(std::move(page));
}

void CMainSheet::AddPages()
{
    Add(About, std::make_unique<CAboutPage>(m_host));
    Add(General, std::make_unique<CGeneralPage>(m_host));
    auto icons = std::make_unique<CIconsPage>(m_host, std::make_unique<CHookIconsHost>());
    m_iconsPage = icons.get();
    Add(Icons, std::move(icons));
    Add(Tray, std::make_unique<CTrayPage>(m_host, *this, std::make_unique<CSystemCommands>()));
    Add(Respond, std::make_unique<CRespondPage>(m_host, std::make_unique<CCbtRespondEngine>()));
    if (m_owners.deletion)
        Add(Delete, std::make_unique<CDeletePage>(m_host, *m_owners.deletion));
    if (m_owners.backup)
        Add(Backup, std::make_unique<CBackupPage>(m_host, *m_owners.backup));
}

int CMainSheet::CreateHidden()
{
    const std::string caption = CApplication::Get() ? CApplication::Get()->GetString(IDS_SHEET_CAPTION)
                                                    : std::string("Dervane Properties");
    SheetArgs args;
    args.caption = caption.c_str();
    args.parent = m_host.OwnerWindow();
    args.contextHelpButton = true;
    args.hideOnClose = true;
    args.standardButtons = false;
    return Create(args);
}

void CMainSheet::ForEach(std::initializer_list<Slot> order, const std::function<void(CFeaturePage&)>& step)
{
    for (Slot slot : order) {
        if (m_slots[slot])
            step(*m_slots[slot]);
    }
}

void CMainSheet::LoadFeatures()
{
    ForEach({General, Icons, Tray, Respond}, [](CFeaturePage& p) { p.LoadAndStart(); });
    m_featuresLoaded = true;
}

void CMainSheet::ActivateEveryPage()
{
    if (!IsAlive())
        return;
    const int current = GetActiveIndex();
    for (int i = 0; i < GetPageCount(); ++i)
        SetActivePage(i);
    SetActivePage(current < 0 ? 0 : current);
}

void CMainSheet::RefreshFeatures()
{
    ForEach({General, Icons, Tray, Respond}, [](CFeaturePage& p) { p.RefreshFromSettings(); });
}

void CMainSheet::FeaturesSwitched(bool enabled)
{
    ForEach({Tray, Respond}, [enabled](CFeaturePage& p) { p.OnFeaturesSwitched(enabled); });
}

void CMainSheet::DisplayChanged()
{
    // No page follows the display now: the drop windows' owners do.
}

void CMainSheet::TaskbarCreated()
{
    ForEach({Tray}, [](CFeaturePage& p) { p.OnTaskbarCreated(); });
}

void CMainSheet::LayoutLoaded(int type, const char* name)
{
    ForEach({Icons}, [type, name](CFeaturePage& p) { p.OnLayoutLoaded(type, name); });
}

void CMainSheet::EndSession()
{
    ForEach({Icons}, [](CFeaturePage& p) { p.OnEndSession(); });
}

bool CMainSheet::PageInModalLoop(HWND* popup) const
{
    for (CFeaturePage* page : m_slots) {
        if (page && page->InModalLoop(popup))
            return true;
    }
    return false;
}

void CMainSheet::TearDown()
{
    // Without the desktop the features never loaded: their lists and settings
    // on disk are the user's and stay as they are.
    if (m_featuresLoaded)
        ForEach({Respond, Tray, Icons}, [](CFeaturePage& p) { p.ShutDown(); });
    m_featuresLoaded = false;
    for (CFeaturePage*& slot : m_slots)
        slot = nullptr;
    m_iconsPage = nullptr;
    RemoveAllPages();
}

LRESULT CMainSheet::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // A second instance finds the sheet by its caption and talks to it; the
    // main window is the one that acts.
    if (msg == m_appMessageId || msg == m_hookMessageId) {
        HWND main = m_host.OwnerWindow();
        if (main && IsWindow(main))
            SendMessageA(main, msg, wp, lp);
    }
    if (msg == WM_SHOWWINDOW)
        m_host.SheetShown(wp != FALSE);
    return CPropertySheet::WndProc(msg, wp, lp);
}
