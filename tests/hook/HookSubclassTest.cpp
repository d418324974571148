// The replaced list view procedures against the desktop host: hide rules,
// ctrl+arrow shifting, features on and off, hidden icons kept parked, and
// new icons placed where a shortcuts layout wants them.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "hook/DervaneHook.h"
#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"
#include "tests/hook/OtherSubclass.h"

using namespace DesktopHostProtocol;

namespace {

constexpr int kParkedY = 2000;

class HookSubclassTest : public CHookedDesktopTest {
protected:
    std::map<std::string, Item> ItemsByLabel()
    {
        std::map<std::string, Item> byLabel;
        std::vector<Item> items;
        EXPECT_TRUE(Host().Items(items));
        for (const Item& item : items)
            byLabel.emplace(item.label, item);
        return byLabel;
    }

    void SetRules(const std::vector<std::pair<std::string, int>>& rules)
    {
        ASSERT_TRUE(WriteHideRules(rules));
        ASSERT_EQ(1ul, Send(HOOKMSG_RELOAD_HIDE_RULES));
    }

    // The icons that are parked now, by label.
    std::vector<std::string> Parked()
    {
        std::vector<std::string> labels;
        for (const auto& entry : ItemsByLabel()) {
            if (entry.second.y == kParkedY)
                labels.push_back(entry.first);
        }
        return labels;
    }

    // Whether the list view itself got a key down of vk since the last reset.
    bool ListViewSawKey(uint32_t vk)
    {
        const View view = ReadView();
        for (uint32_t i = 0; i < view.recentCount && i < static_cast<uint32_t>(kRecentNotifications); ++i) {
            if (view.recent[i].code == static_cast<int32_t>(LVN_KEYDOWN) &&
                static_cast<uint32_t>(view.recent[i].item) == vk)
                return true;
        }
        return false;
    }
};

using Labels = std::vector<std::string>;

TEST_F(HookSubclassTest, HideRulesOfLabelsAndOfShortcutTargets)
{
    for (const char* name : {"readme.txt", "notes.doc", "README", "NOTEPAD.EXE"})
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(m_desktop.AddShortcut("Editor", "C:\\windows\\notepad.exe"));
    ASSERT_TRUE(StartAndAttach());
    const auto before = ItemsByLabel();
    ASSERT_EQ(7u, before.size());
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    EXPECT_EQ(Labels{}, Parked());

    SetRules({{"*.TXT", 0}});
    EXPECT_EQ(Labels{"readme.txt"}, Parked());
    EXPECT_EQ(before.at("readme.txt").x, ItemNamed("readme.txt").x) << "parked straight down";

    SetRules({{"READ?E.TXT", 0}});
    EXPECT_EQ(Labels{"readme.txt"}, Parked());

    SetRules({{"README", 0}});
    EXPECT_EQ(Labels{"README"}, Parked());
    EXPECT_EQ(before.at("readme.txt").y, ItemNamed("readme.txt").y) << "shown again at its place";

    // Kind 1 tests the file name of a shortcut's target, never a plain file's name.
    SetRules({{"NOTEPAD.EXE", 1}});
    EXPECT_EQ(Labels{"Editor"}, Parked());
    EXPECT_EQ(before.at("README").y, ItemNamed("README").y);

    SetRules({{"*", 2}, {"NOTES.DOC", 0}, {"*", 0}});
    EXPECT_EQ(Labels{"notes.doc"}.size() + 6, Parked().size()) << "the first matching rule hides; kind 2 never";
    SetRules({});
    EXPECT_EQ(Labels{}, Parked());
    for (const auto& entry : before) {
        EXPECT_EQ(entry.second.x, ItemNamed(entry.first).x) << entry.first;
        EXPECT_EQ(entry.second.y, ItemNamed(entry.first).y) << entry.first;
    }
}

// A click selects an icon: with rules of targets, no shortcut is read for it.
// Reading the rules again reads each shortcut once, however many rules.
TEST_F(HookSubclassTest, RulesOfTargetsReadAShortcutOncePerIconAndNotOnASelection)
{
    ASSERT_TRUE(m_desktop.AddFile("readme.txt"));
    ASSERT_TRUE(m_desktop.AddShortcut("Editor", "C:\\windows\\notepad.exe"));
    ASSERT_TRUE(m_desktop.AddShortcut("Viewer", "C:\\windows\\regedit.exe"));
    ASSERT_TRUE(StartAndAttach());
    ASSERT_TRUE(WriteHideRules({{"NOTEPAD.EXE", 1}, {"CALC.EXE", 1}, {"*.TXT", 0}, {"WORDPAD.EXE", 1}}));
    SendSettings(DefaultSettings());
    EXPECT_EQ(0, HOOK_GetShortcutReads()) << "hiding off: no rule is matched";
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    EXPECT_EQ((Labels{"Editor", "readme.txt"}), Parked());
    EXPECT_EQ(2, HOOK_GetShortcutReads()) << "once per item of a file, none for one a label rule hides";

    ASSERT_TRUE(Host().Select(ItemNamed("Viewer").index, true));
    ASSERT_TRUE(Host().Select(ItemNamed("Editor").index, true));
    ASSERT_TRUE(Host().Select(-1, false));
    EXPECT_EQ(2, HOOK_GetShortcutReads());
    EXPECT_EQ((Labels{"Editor", "readme.txt"}), Parked());

    // A new start that turns the features and hiding on with its first settings.
    SettingsBlock off = DefaultSettings();
    off.enabled = 0;
    SendSettings(off);
    HOOK_AttachDLL(nullptr, nullptr);
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    SendSettings(settings);
    EXPECT_EQ((Labels{"Editor", "readme.txt"}), Parked());
    EXPECT_EQ(2, HOOK_GetShortcutReads());
}

// Another tool subclasses the list view after Dervane: Dervane's exit leaves
// its procedure in the chain, passing on, and a new start takes it up again.
TEST_F(HookSubclassTest, AnotherSubclassAfterOursSurvivesOurExit)
{
    ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
    ASSERT_TRUE(m_desktop.AddFile("Letter.doc"));
    ASSERT_TRUE(StartAndAttach());
    ASSERT_TRUE(WriteHideRules({{"Notes.txt", 0}}));
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    ASSERT_EQ(Labels{"Notes.txt"}, Parked());
    ASSERT_TRUE(OTHER_Install(Host().ListView()));
    ASSERT_TRUE(WaitFor([] { return OTHER_Installed(); }, 5000));

    HOOK_AttachDLL(nullptr, nullptr);
    EXPECT_EQ(Labels{}, Parked()) << "the desktop has its state back";
    long seen = OTHER_Messages();
    MoveItem("Letter.doc", 200, 150);
    EXPECT_EQ(150, ItemNamed("Letter.doc").y) << "the list view itself still answers";
    EXPECT_LT(seen, OTHER_Messages()) << "the other procedure still gets the list view's messages";
    EXPECT_EQ(1u, ReadView().listViewSubclassed);

    // A new start sets up in the same chain and detaches again.
    ASSERT_TRUE(AttachAndWait(m_program.Handle(), m_folder));
    SendSettings(settings);
    EXPECT_EQ(Labels{"Notes.txt"}, Parked());
    HOOK_AttachDLL(nullptr, nullptr);
    EXPECT_EQ(Labels{}, Parked());
    seen = OTHER_Messages();
    MoveItem("Letter.doc", 260, 150);
    EXPECT_EQ(260, ItemNamed("Letter.doc").x);
    EXPECT_LT(seen, OTHER_Messages());
    OTHER_Unhook();
}

TEST_F(HookSubclassTest, MissingRulesFileHidesNothingAndIsLogged)
{
    ASSERT_TRUE(m_desktop.AddFile("readme.txt"));
    ASSERT_TRUE(StartAndAttach());
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    EXPECT_EQ(1, CountEntries(ReadErrorLog(m_folder), "WARNING: Cannot read IconHide.txt file"));
    ASSERT_TRUE(WriteFileBytes(m_folder + "\\IconHide.txt", "KTX_FILE\tDERVANE ICON SHOW\r\nENTRY_0\t*\t0\r\n"));
    EXPECT_EQ(1ul, Send(HOOKMSG_RELOAD_HIDE_RULES));
    EXPECT_EQ(Labels{}, Parked()) << "a file of another title gives no rules";
}

TEST_F(HookSubclassTest, CtrlArrowShiftsEachSelectedIconOnePixel)
{
    for (const char* name : {"Notes.txt", "Readme.txt", "Letter.doc"})
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(StartAndAttach());
    SettingsBlock settings = DefaultSettings();
    settings.adjustByPixel = 1;
    SendSettings(settings);
    ASSERT_TRUE(Host().Select(ItemNamed("Notes.txt").index, true));
    ASSERT_TRUE(Host().Select(ItemNamed("Letter.doc").index, true));
    const auto before = ItemsByLabel();
    ASSERT_TRUE(Host().ResetCounters());

    ASSERT_TRUE(Host().PostKey(VK_CONTROL, kKeyDown));
    ASSERT_TRUE(Host().PostKey(VK_LEFT, kKeyDown));
    ASSERT_TRUE(WaitFor([&] { return ItemNamed("Notes.txt").x == before.at("Notes.txt").x - 1; }, 5000));
    auto after = ItemsByLabel();
    for (const auto& entry : before) {
        const bool selected = entry.first == "Notes.txt" || entry.first == "Letter.doc";
        EXPECT_EQ(entry.second.x - (selected ? 1 : 0), after.at(entry.first).x) << entry.first;
        EXPECT_EQ(entry.second.y, after.at(entry.first).y) << entry.first;
        EXPECT_EQ(entry.second.state, after.at(entry.first).state) << entry.first << ": selection unchanged";
    }
    EXPECT_FALSE(ListViewSawKey(VK_LEFT)) << "the key is swallowed";

    ASSERT_TRUE(Host().PostKey(VK_DOWN, kKeyDown));
    ASSERT_TRUE(Host().PostKey(VK_RIGHT, kKeyDown));
    ASSERT_TRUE(WaitFor([&] { return ItemNamed("Letter.doc").x == before.at("Letter.doc").x; }, 5000));
    EXPECT_EQ(before.at("Letter.doc").y + 1, ItemNamed("Letter.doc").y);
    EXPECT_EQ(before.at("Notes.txt").y + 1, ItemNamed("Notes.txt").y);
    EXPECT_EQ(2, ReadView().selectedCount);

    // Without Ctrl the arrow is the list view's again.
    ASSERT_TRUE(Host().PostKey(VK_CONTROL, kKeyUp));
    ASSERT_TRUE(Host().PostKey(VK_UP, kKeyDown | kKeyUp));
    ASSERT_TRUE(WaitFor([&] { return ListViewSawKey(VK_UP); }, 5000));
    EXPECT_EQ(before.at("Notes.txt").y + 1, ItemNamed("Notes.txt").y);
}

TEST_F(HookSubclassTest, WithTheOptionOffCtrlArrowIsTheListViewsOwn)
{
    for (const char* name : {"Notes.txt", "Readme.txt"})
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(StartAndAttach());
    SendSettings(DefaultSettings());
    ASSERT_TRUE(Host().Select(ItemNamed("Readme.txt").index, true));
    const auto before = ItemsByLabel();
    ASSERT_TRUE(Host().ResetCounters());
    ASSERT_TRUE(Host().PostKey(VK_CONTROL, kKeyDown));
    ASSERT_TRUE(Host().PostKey(VK_LEFT, kKeyDown | kKeyUp));
    ASSERT_TRUE(WaitFor([&] { return ListViewSawKey(VK_LEFT); }, 5000));
    ASSERT_TRUE(Host().PostKey(VK_CONTROL, kKeyUp));
    for (const auto& entry : ItemsByLabel()) {
        EXPECT_EQ(before.at(entry.first).x, entry.second.x) << entry.first;
        EXPECT_EQ(before.at(entry.first).y, entry.second.y) << entry.first;
    }
}

TEST_F(HookSubclassTest, FeaturesOffRestoresTheShellsLookAndEveryHiddenIcon)
{
    for (const char* name : {"Notes.txt", "Readme.txt", "Letter.doc"})
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(StartAndAttach());
    const View shell = ReadView();
    const auto before = ItemsByLabel();
    ASSERT_TRUE(WriteHideRules({{"*.TXT", 0}}));
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    settings.iconStyle = 1;
    settings.textForeground = RGB(255, 0, 0);
    settings.textBackground = RGB(0, 0, 255);
    settings.textBackgroundOpaque = 1;
    SendSettings(settings);
    View view = ReadView();
    EXPECT_EQ(RGB(255, 0, 0), view.textColor);
    EXPECT_EQ(RGB(0, 0, 255), view.textBkColor);
    EXPECT_EQ(static_cast<uint32_t>(LVS_SMALLICON), view.style & LVS_TYPEMASK);
    EXPECT_EQ((Labels{"Notes.txt", "Readme.txt"}), Parked());

    settings.enabled = 0;
    SendSettings(settings);
    view = ReadView();
    EXPECT_EQ(shell.textColor, view.textColor);
    EXPECT_EQ(shell.textBkColor, view.textBkColor);
    EXPECT_EQ(shell.style, view.style);
    for (const auto& entry : before) {
        EXPECT_EQ(entry.second.x, ItemNamed(entry.first).x) << entry.first;
        EXPECT_EQ(entry.second.y, ItemNamed(entry.first).y) << entry.first;
    }

    settings.enabled = 1;
    SendSettings(settings);
    view = ReadView();
    EXPECT_EQ(RGB(255, 0, 0), view.textColor);
    EXPECT_EQ(static_cast<uint32_t>(LVS_SMALLICON), view.style & LVS_TYPEMASK);
    EXPECT_EQ((Labels{"Notes.txt", "Readme.txt"}), Parked());

    // Hiding off shows them; on again hides them.
    settings.hideEnabled = 0;
    SendSettings(settings);
    EXPECT_EQ(Labels{}, Parked());
    settings.hideEnabled = 1;
    SendSettings(settings);
    EXPECT_EQ((Labels{"Notes.txt", "Readme.txt"}), Parked());
}

TEST_F(HookSubclassTest, HiddenIconsStayParkedWhenMovedOrSorted)
{
    for (const char* name : {"Notes.txt", "Readme.txt", "Letter.doc"})
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(StartAndAttach());
    ASSERT_TRUE(WriteHideRules({{"Notes.txt", 0}}));
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    ASSERT_EQ(Labels{"Notes.txt"}, Parked());

    MoveItem("Notes.txt", 100, 100);
    EXPECT_EQ(100, ItemNamed("Notes.txt").x);
    EXPECT_EQ(kParkedY, ItemNamed("Notes.txt").y);
    MoveItem("Readme.txt", 100, 100);
    EXPECT_EQ(100, ItemNamed("Readme.txt").y) << "a shown icon goes where it is asked";

    ASSERT_EQ(0, ItemNamed("My Computer").index);
    ASSERT_TRUE(Host().Sort());
    EXPECT_EQ(4, ItemNamed("My Computer").index) << "the items were sorted, newest first";
    EXPECT_EQ(0, ItemNamed("Notes.txt").x);
    EXPECT_EQ(kParkedY, ItemNamed("Notes.txt").y);
}

// The shell tells its list view of changed desktop settings; the appearance
// is applied again, forced, which parks the hidden icons again.
TEST_F(HookSubclassTest, DesktopSettingChangeAppliesTheAppearanceAgain)
{
    ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
    ASSERT_TRUE(StartAndAttach());
    ASSERT_TRUE(WriteHideRules({{"Notes.txt", 0}}));
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    MoveItem("Notes.txt", 300, 300);
    ASSERT_EQ(300, ItemNamed("Notes.txt").x);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(Host().Progman(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Mouse"), SMTO_NORMAL, 5000,
                        &answer);
    EXPECT_EQ(300, ItemNamed("Notes.txt").x) << "another section changes nothing";
    SendMessageTimeoutA(Host().Progman(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Desktop"), SMTO_NORMAL, 5000,
                        &answer);
    EXPECT_EQ(0, ItemNamed("Notes.txt").x);
    EXPECT_EQ(kParkedY, ItemNamed("Notes.txt").y);
}

TEST_F(HookSubclassTest, SmallIconsKeepEveryIconWhereItWas)
{
    for (const char* name : {"Notes.txt", "Readme.txt"})
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(StartAndAttach());
    SendSettings(DefaultSettings());
    MoveItem("Notes.txt", 300, 200);
    const auto before = ItemsByLabel();
    SettingsBlock settings = DefaultSettings();
    settings.iconStyle = 1;
    SendSettings(settings);
    ASSERT_EQ(static_cast<uint32_t>(LVS_SMALLICON), ReadView().style & LVS_TYPEMASK);
    for (const auto& entry : ItemsByLabel()) {
        EXPECT_EQ(before.at(entry.first).x, entry.second.x) << entry.first;
        EXPECT_EQ(before.at(entry.first).y, entry.second.y) << entry.first;
    }
    settings.iconStyle = 0;
    SendSettings(settings);
    ASSERT_EQ(static_cast<uint32_t>(LVS_ICON), ReadView().style & LVS_TYPEMASK);
    EXPECT_EQ(300, ItemNamed("Notes.txt").x);
    EXPECT_EQ(200, ItemNamed("Notes.txt").y);
}

TEST_F(HookSubclassTest, NewIconGoesToItsPendingPlaceEvenWhenARuleMatches)
{
    ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
    ASSERT_TRUE(StartAndAttach());
    ASSERT_TRUE(WriteHideRules({{"*.TXT", 0}}));
    SettingsBlock settings = DefaultSettings();
    settings.hideEnabled = 1;
    SendSettings(settings);
    ASSERT_EQ(Labels{"Notes.txt"}, Parked());
    ASSERT_TRUE(
        WriteLayout(ShortcutsFile("later.dvl"),
                    {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", "LOADED\t0", "ICON_TEXT_COLOR_FG\t16777215",
                     "ICON_TEXT_COLOR_BG\t0", "ICON_TEXT_BG\t0", "ICON_STYLE\t0", "ICON_0\tLater.txt\t333,222"}));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "later.dvl"));

    ASSERT_TRUE(m_desktop.AddFile("Later.txt"));
    ASSERT_TRUE(WaitForItem("Later.txt"));
    ASSERT_TRUE(m_desktop.AddFile("Other.txt"));
    ASSERT_TRUE(WaitForItem("Other.txt"));
    EXPECT_EQ(333, ItemNamed("Later.txt").x);
    EXPECT_EQ(222, ItemNamed("Later.txt").y);
    EXPECT_EQ((Labels{"Notes.txt", "Other.txt"}), Parked()) << "a new icon without a pending place follows the rules";
}

}  // namespace
