// The Icons page against the desktop host with the real hook library: this
// test process plays the program's main window: its page host sends the
// page's requests straight to the library as the main window does, and the
// page reads the icons through the program's own CHookIconsHost.
#include "IconsTestSupport.h"
#include "PagesTestResources.h"

#include "settings/PropertyValues.h"
#include "framework/PropertySheet.h"
#include "hook/DervaneHook.h"
#include "hook/IconHiding.h"
#include "icons/DesktopIcons.h"
#include "icons/HookIconsHost.h"
#include "pages/IconsPage.h"
#include "pages/IconsResource.h"
#include "tests/common/TempDir.h"
#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using Item = CDesktopHostClient::ItemRecord;

class HookPageHost : public TestPageHost {
public:
    using TestPageHost::TestPageHost;

    void ApplySettings(const SettingsBlock& applied) override
    {
        TestPageHost::ApplySettings(applied);
        dervaneMsg_t request = {};
        request.code = HOOKMSG_APPLY_SETTINGS;
        request.route = HOOKROUTE_HOOK;
        request.payload.settings = settings;
        HOOK_SendMessage(&request);
    }
    unsigned long SendHookRequest(int code, const char* text) override
    {
        TestPageHost::SendHookRequest(code, text);
        dervaneMsg_t request = {};
        request.code = code;
        request.route = HOOKROUTE_HOOK;
        snprintf(request.payload.text, sizeof request.payload.text, "%s", text ? text : "");
        return HOOK_SendMessage(&request);
    }
};

class IconsDesktopTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(desktop.Open());
        desktop.Clear();
        ASSERT_TRUE(desktop.AddFile("Notes.txt"));
        ASSERT_TRUE(desktop.AddFile("Readme.txt"));
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(AttachAndWait(program.Handle(), dir.Path()));

        host = std::make_unique<HookPageHost>(dir.Path(), registry.Roots());
        SetDefaultSettings(&host->settings);
        owner = std::make_unique<CDesktopIcons>(*host, std::make_unique<CHookIconsHost>());
        auto icons = std::make_unique<CIconsPage>(*host, *owner);
        page = icons.get();
        page->SetMessageBox(&BoxRecorder::Show);
        BoxRecorder::Reset();
        sheet->AddPage(std::move(icons));
        sheet->AddPage(std::make_unique<BlankPage>());
        owner->Start();
        ASSERT_EQ(1, CreateTestSheet(*sheet, "Icons Desktop Test"));
    }
    void TearDown() override
    {
        sheet.reset();
        HOOK_AttachDLL(nullptr, nullptr);
        session.Stop();
        desktop.Clear();
    }
    HWND Page() const { return page->GetHwnd(); }
    Item Icon(const char* label)
    {
        Item item = {};
        EXPECT_TRUE(session.Client().FindItem(label, item)) << label;
        return item;
    }

    TempDir dir;
    TestRegistry registry{testing::UnitTest::GetInstance()->current_test_info()->name()};
    CTestDesktop desktop;
    CHostSession session;
    CProgramWindow program;
    std::unique_ptr<HookPageHost> host;
    std::unique_ptr<CDesktopIcons> owner;
    std::unique_ptr<CPropertySheet> sheet = std::make_unique<CPropertySheet>();
    CIconsPage* page = nullptr;
};

}  // namespace

TEST_F(IconsDesktopTest, ARuleAddedInTheDialogHidesTheIconAtOnceAndExitRestoresTheDesktop)
{
    const Item before = Icon("Notes.txt");
    ASSERT_LT(before.y, kParkedY);
    ClickButton(Page(), IDC_ICONS_HIDE);
    ClickButton(Page(), IDC_ICONS_APPLY);
    // Hiding is on, but no rule matches yet.
    EXPECT_EQ(before.y, Icon("Notes.txt").y);

    const bool seen = DriveModal([this] { ClickButton(Page(), IDC_ICONS_HIDE_RULES); }, "Hide Icons",
                                 [](HWND rules) {
                                     TypeText(rules, IDC_HIDE_PATTERN, "Notes.*");
                                     ClickButton(rules, IDC_HIDE_ADD);
                                     ClickButton(rules, IDC_HIDE_OK);
                                 });
    ASSERT_TRUE(seen);
    EXPECT_EQ(1u, host->Sent(HOOKMSG_RELOAD_HIDE_RULES).size());
    EXPECT_EQ(kParkedY, Icon("Notes.txt").y) << "hidden as soon as the dialog closed";
    EXPECT_LT(Icon("Readme.txt").y, kParkedY);
    EXPECT_TRUE(BoxRecorder::boxes.empty());

    // At exit the desktop goes back to how it was found at start.
    owner->Stop();
    EXPECT_EQ(before.x, Icon("Notes.txt").x);
    EXPECT_EQ(before.y, Icon("Notes.txt").y);
}

TEST_F(IconsDesktopTest, ALayoutSavedOnThePageIsListedAndLoadsBack)
{
    // Start-up kept the desktop as found.
    EXPECT_TRUE(FileExists(dir.Path() + "\\Positions\\[original].dvl"));
    const Item before = Icon("Readme.txt");
    TypeText(Page(), IDC_ICONS_LAYOUT_NAME, "Home");
    ClickButton(Page(), IDC_ICONS_SAVE);
    EXPECT_EQ((std::vector<std::string>{"Home"}), ListItems(Page(), IDC_ICONS_LAYOUT_LIST));
    EXPECT_TRUE(BoxRecorder::boxes.empty());

    ASSERT_TRUE(session.Client().Move(before.index, before.x + 300, before.y + 200));
    ASSERT_EQ(before.x + 300, Icon("Readme.txt").x);
    ASSERT_TRUE(SelectListItem(Page(), IDC_ICONS_LAYOUT_LIST, "Home"));
    ClickButton(Page(), IDC_ICONS_LOAD);
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    EXPECT_EQ(before.x, Icon("Readme.txt").x);
    EXPECT_EQ(before.y, Icon("Readme.txt").y);
    // The library reported the load to the program's window.
    bool reported = false;
    for (const auto& notification : program.Notifications())
        reported = reported || (notification.first == HOOKMSG_POSITIONS_LOADED && notification.second == "Home.dvl");
    EXPECT_TRUE(reported);
}
