#include "pages/MainSheet.h"

#include "framework/Application.h"
#include "hook/HookProtocol.h"
#include "pages/AboutPage.h"
#include "pages/BackupPage.h"
#include "pages/DeletePage.h"
#include "pages/GeneralPage.h"
#include "pages/IconsPage.h"
#include "pages/PageHost.h"
#include "pages/RespondPage.h"
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
    if (m_owners.desktopIcons) {
        Add(Icons, std::make_unique<CIconsPage>(m_host, *m_owners.desktopIcons));
    }
    if (m_owners.tray)
        Add(Tray, std::make_unique<CTrayPage>(m_host, *m_owners.tray));
    if (m_owners.respond)
        Add(Respond, std::make_unique<CRespondPage>(m_host, *m_owners.respond));
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

void CMainSheet::RefreshFeatures()
{
    ForEach({General, Icons, Tray, Respond, Delete, Backup}, [](CFeaturePage& p) { p.RefreshFromSettings(); });
}

void CMainSheet::TearDown()
{
    for (CFeaturePage*& slot : m_slots)
        slot = nullptr;
    RemoveAllPages();
}

LRESULT CMainSheet::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // A second start of an earlier version finds the sheet by its caption
    // and talks to it; the main window is the one that acts.
    if (msg == m_appMessageId || msg == m_hookMessageId) {
        HWND main = m_host.OwnerWindow();
        if (main && IsWindow(main))
            SendMessageA(main, msg, wp, lp);
    }
    if (msg == WM_SHOWWINDOW)
        m_host.SheetShown(wp != FALSE);
    return CPropertySheet::WndProc(msg, wp, lp);
}
