// The real Icons page in a property sheet, with a test host in place of the
// program, a second page to switch to, and the page's boxes recorded.
#pragma once

#include "IconsTestSupport.h"
#include "PagesTestResources.h"
#include "common/Log.h"
#include "framework/PropertySheet.h"
#include "icons/DesktopIcons.h"
#include "pages/IconsPage.h"
#include "pages/IconsResource.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class IconsPageTest : public testing::Test {
protected:
    static std::string TestName() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }

    void SetUp() override
    {
        BoxRecorder::Reset();
        ColourRecorder::Reset();
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
        host = std::make_unique<TestPageHost>(dir.Path(), registry.Roots());
        auto desktop = std::make_unique<TestIconsHost>();
        icons = desktop.get();
        owner = std::make_unique<CDesktopIcons>(*host, std::move(desktop));
        auto iconsPage = std::make_unique<CIconsPage>(*host, *owner);
        page = iconsPage.get();
        page->SetMessageBox(&BoxRecorder::Show);
        page->SetColourChooser(&ColourRecorder::Choose);
        sheet->AddPage(std::move(iconsPage));
        sheet->AddPage(std::make_unique<BlankPage>());
    }

    void TearDown() override
    {
        sheet.reset();
        LogResetState();
    }

    // The program's order: the settings are read, the icon features start,
    // then the sheet is made, on this page. What start-up sent is forgotten.
    void Start(bool forgetStartUp = true)
    {
        SettingsBlock settings = host->Settings();
        host->Store().LoadSettingsBlock(&settings);
        host->KeepSettings(settings);
        owner->Start();
        if (forgetStartUp)
            host->requests.clear();
        CPropertySheet::SheetArgs args;
        caption = "Icons Page Test " + TestName();
        args.caption = caption.c_str();
        args.standardButtons = false;
        args.hideOnClose = true;
        // Hidden: the page works the same, and a shown window takes Wine on
        // a display without a window manager two seconds to take down.
        ASSERT_EQ(1, sheet->Create(args));
        ASSERT_NE(nullptr, Page());
    }

    // Leaves the page and comes back, as the user switching tabs does.
    void Reactivate()
    {
        sheet->SetActivePage(1);
        sheet->SetActivePage(0);
    }

    HWND Page() const { return page->GetHwnd(); }
    void Click(int id) { ClickButton(Page(), id); }
    bool Enabled(int id) const { return IsEnabled(Page(), id); }
    bool Checked(int id) const { return IsChecked(Page(), id); }
    std::string Text(int id) const { return WindowText(GetDlgItem(Page(), id)); }
    COLORREF Swatch(int id) const
    {
        return static_cast<COLORREF>(SendDlgItemMessageA(Page(), id, LVM_GETBKCOLOR, 0, 0));
    }
    void SelectStyle(int index)
    {
        SendDlgItemMessageA(Page(), IDC_ICONS_STYLE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_ICONS_STYLE, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_ICONS_STYLE)));
    }
    // The swatch's click notification, as the list view sends it.
    void ClickSwatch(int id)
    {
        NMITEMACTIVATE click = {};
        click.hdr.hwndFrom = GetDlgItem(Page(), id);
        click.hdr.idFrom = static_cast<UINT_PTR>(id);
        click.hdr.code = NM_CLICK;
        click.iItem = -1;
        SendMessageA(Page(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&click));
    }
    std::string LayoutFile(const char* folder, const char* name) const
    {
        return dir.Path() + "\\" + folder + "\\" + name;
    }

    TempDir dir;
    TestRegistry registry{TestName()};
    std::unique_ptr<TestPageHost> host;
    std::unique_ptr<CDesktopIcons> owner;  // the icon features the page edits
    std::unique_ptr<CPropertySheet> sheet = std::make_unique<CPropertySheet>();
    TestIconsHost* icons = nullptr;  // owned by the owner
    CIconsPage* page = nullptr;  // owned by the sheet
    std::string caption;
};
