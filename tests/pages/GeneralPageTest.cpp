// The General and About pages in a property sheet with the test host in
// place of the program: what they hand the program and the orders they give.
#include "IconsPageFixture.h"

#include "pages/AboutPage.h"
#include "pages/GeneralPage.h"
#include "pages/resource.h"

#include <string>

namespace {

class GeneralPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        BoxRecorder::Reset();
        auto about = std::make_unique<CAboutPage>(host);
        aboutPage = about.get();
        auto general = std::make_unique<CGeneralPage>(host);
        generalPage = general.get();
        sheet->AddPage(std::move(about));
        sheet->AddPage(std::move(general));
        // The program's order: the settings are loaded, then the sheet made.
        SettingsBlock settings = host.Settings();
        host.Store().LoadSettingsBlock(&settings);
        host.KeepSettings(settings);
        ASSERT_EQ(1, CreateTestSheet(*sheet, "General Page Test"));
        sheet->SetActivePage(1);
    }
    void TearDown() override { sheet.reset(); }

    HWND General() const { return generalPage->GetHwnd(); }

    TempDir dir;
    TestRegistry registry{testing::UnitTest::GetInstance()->current_test_info()->name()};
    TestPageHost host{dir.Path(), registry.Roots()};
    std::unique_ptr<CPropertySheet> sheet = std::make_unique<CPropertySheet>();
    CAboutPage* aboutPage = nullptr;
    CGeneralPage* generalPage = nullptr;
};

std::string Byte(char value)
{
    return std::string(1, value);
}

}  // namespace

TEST_F(GeneralPageTest, ApplyHandsTheSwitchesOverStoresThemAndSwitchesTheFeaturesOnlyWhenEnabledChanged)
{
    ASSERT_TRUE(IsChecked(General(), IDC_GENERAL_ENABLED)) << "the defaults: features on";
    ClickButton(General(), IDC_GENERAL_ENABLED);
    ClickButton(General(), IDC_GENERAL_APPLY);
    ASSERT_EQ(1u, host.settingsSent.size());
    EXPECT_EQ(0, host.settingsSent[0].settings.enabled);
    EXPECT_EQ(1, host.settingsSent[0].settings.runOnBoot);
    EXPECT_EQ(Byte(0), registry.Stored("Property General Enabled"));
    EXPECT_EQ(std::vector<bool>{false}, host.switched);
    EXPECT_FALSE(IsEnabled(General(), IDC_GENERAL_APPLY));

    ClickButton(General(), IDC_GENERAL_EXIT_ON_LOAD);
    ClickButton(General(), IDC_GENERAL_APPLY);
    ASSERT_EQ(2u, host.settingsSent.size());
    EXPECT_EQ(1, host.Settings().exitOnLoad);
    EXPECT_EQ(Byte(1), registry.Stored("Property General Exit On Load"));
    EXPECT_EQ(1u, host.switched.size()) << "the features stayed off";
    EXPECT_TRUE(BoxRecorder::boxes.empty());
}

TEST_F(GeneralPageTest, AboutPageWithoutTheResourceLibraryShowsNothingAndItsButtonsGiveTheirOrders)
{
    sheet->SetActivePage(0);
    const HWND about = aboutPage->GetHwnd();
    EXPECT_EQ("Version", WindowText(GetDlgItem(about, IDC_ABOUT_VERSION)));
    ClickButton(about, IDC_ABOUT_HELP);
    EXPECT_EQ(1, host.helpShown);
    ClickButton(about, IDC_ABOUT_EXIT);
    EXPECT_EQ(1, host.exitsPosted);
}
