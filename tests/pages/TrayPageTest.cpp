// The Tray page in a property sheet over the real owner of the icons, with
// the test host in place of the program: the icons in Wine's notification
// area, their menus, what their items start and the system commands, which
// go to a recording stand-in.
#include "IconsTestSupport.h"
#include "PagesTestResources.h"
#include "TrayTestSupport.h"
#include "common/AppMessages.h"
#include "common/Log.h"
#include "common/Utf8.h"
#include "framework/PropertySheet.h"
#include "pages/TrayPage.h"
#include "pages/TrayResource.h"
#include "tests/common/TempDir.h"
#include "tests/harness/TestFolders.h"
#include "tests/harness/Wait.h"
#include "tray/TrayEntryRunTime.h"
#include "tray/TrayMenuResource.h"
#include "tray/TrayIconDlg.h"
#include "tray/TrayIconResource.h"
#include "tray/TrayIcons.h"
#include "tray/WaitResource.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <cstddef>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// The tips of the icons in Wine's notification area, read from the
// tooltips of its process (their messages carry addresses, which are not
// carried across processes: the tool record and the text are written and
// read in that process).
std::vector<std::string> TrayTips()
{
    std::vector<std::string> tips;
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    DWORD process = 0;
    if (!tray || !GetWindowThreadProcessId(tray, &process))
        return tips;
    ScopedHandle handle(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process));
    struct Block {
        TTTOOLINFOW info;
        wchar_t text[256];
    };
    void* remote = handle ? VirtualAllocEx(handle.Get(), nullptr, sizeof(Block), MEM_COMMIT, PAGE_READWRITE) : nullptr;
    if (!remote)
        return tips;
    // Each icon has a tooltip window of its own with one tool.
    for (HWND tooltip = nullptr; (tooltip = FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr));) {
        DWORD owner = 0;
        if (!GetWindowThreadProcessId(tooltip, &owner) || owner != process)
            continue;
        Block block = {};
        block.info.cbSize = sizeof block.info;
        block.info.lpszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + offsetof(Block, text));
        if (!WriteProcessMemory(handle.Get(), remote, &block, sizeof block, nullptr))
            continue;
        SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(remote));
        if (!ReadProcessMemory(handle.Get(), remote, &block, sizeof block, nullptr))
            continue;
        block.text[255] = L'\0';
        tips.push_back(WideToUtf8(block.text));
    }
    VirtualFreeEx(handle.Get(), remote, 0, MEM_RELEASE);
    return tips;
}

// A shell link made by setup, saved as file.
bool SaveLink(const std::string& file, const std::function<void(IShellLinkA&)>& setup)
{
    ScopedComInit com;
    ScopedComPtr<IShellLinkA> link;
    ScopedComPtr<IPersistFile> persist;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, persist.PutVoid())))
        return false;
    setup(*link.Get());
    const std::wstring wide(file.begin(), file.end());
    return SUCCEEDED(persist->Save(wide.c_str(), TRUE));
}

// The text of this thread's visible wait window, or "" when none is open.
std::string WaitWindowText()
{
    std::string text;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lp) -> BOOL {
            HWND label = GetDlgItem(window, IDC_TRAY_WAIT_TEXT);
            if (label && IsWindowVisible(window))
                *reinterpret_cast<std::string*>(lp) = WindowText(label);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

class TrayPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        BoxRecorder::Reset();
        LogResetState();
        LogSetPath(dir.Path().c_str(), "ErrorLog.txt", 1);
        host.settings.enabled = 1;
        // The program's main window: a hidden window that owns the menus and the boxes.
        CWindow::CreateArgs args;
        args.style = WS_POPUP;
        ASSERT_EQ(1, mainWindow.Create(args));
        host.ownerWindow = mainWindow.GetHwnd();
        trayBefore = TrayIconCount();
    }
    void TearDown() override
    {
        sheet.reset();
        icons.reset();
        EXPECT_EQ(trayBefore, TrayIconCount()) << "every icon goes with its owner";
    }

    // The program's order: the owner starts (the list, the setting, the
    // icons shown), then the sheet is made and the page shows the list.
    void Start(const std::vector<TrayFileEntry>& entries) { StartWith(TrayFile(entries)); }
    void StartWith(const std::string& listFile)
    {
        WriteBytes(dir.File("TrayIcons.txt"), listFile);
        icons = std::make_unique<CTrayIcons>(host, nullptr, std::unique_ptr<ISystemCommands>(system));
        icons->SetMessageBox(&BoxRecorder::Show);
        if (notify)
            icons->SetNotifyIcon(notify);
        icons->Start();
        auto tray = std::make_unique<CTrayPage>(host, *icons);
        page = tray.get();
        page->SetMessageBox(&BoxRecorder::Show);
        sheet->AddPage(std::make_unique<BlankPage>());
        sheet->AddPage(std::move(tray));
        ASSERT_EQ(1, CreateTestSheet(*sheet, "Tray Page Test"));
        sheet->SetActivePage(1);
    }
    HWND Page() const { return page->GetHwnd(); }
    const TrayIconEntry& Entry(int i) const { return icons->Icons().Entry(i); }
    UINT IconId(int i) const { return Entry(i).iconId; }
    UINT CommandId(int entry, int item) const { return Entry(entry).items[static_cast<size_t>(item)].commandId; }

    // What the shell sends the owner's window for a mouse message on icon iconId.
    void Notify(UINT iconId, UINT mouseMessage)
    {
        SendMessageA(icons->Window(), WMAPP_CUSTOM_TRAY_FIRST + (iconId - kCustomTrayFirstIconId), iconId,
                     mouseMessage);
    }
    SeenMenu RightClick(UINT iconId)
    {
        return ReadPopupMenu([&] { Notify(iconId, WM_RBUTTONUP); });
    }
    // An item chosen in an icon's menu.
    void Choose(UINT commandId) { icons->RunMenuCommand(commandId); }
    bool WaitIcons(int count)
    {
        return WaitFor([&] { return TrayIconCount() == trayBefore + count; }, 5000);
    }

    TempDir dir;
    TestRegistry registry{testing::UnitTest::GetInstance()->current_test_info()->name()};
    TestPageHost host{dir.Path(), registry.Roots()};
    CWindow mainWindow;
    RecordingSystem* system = new RecordingSystem();
    std::unique_ptr<CTrayIcons> icons;
    std::unique_ptr<CPropertySheet> sheet = std::make_unique<CPropertySheet>();
    CTrayPage* page = nullptr;
    CTrayIcons::NotifyIconFn notify = nullptr;
    int trayBefore = 0;
};

}  // namespace

TEST_F(TrayPageTest, ThreeIconsShowTheirCutTipsAndAfterARemoveAndAnAddEachItsOwnMenuAndDefault)
{
    const std::string longTip(70, 'L');
    std::string cyrillicTip;  // 70 characters, 140 bytes
    for (int i = 0; i < 70; ++i)
        cyrillicTip += "\xD0\x96";  // Ж
    Start({{cyrillicTip, "", {SystemItem("Log Off A", kTrayLogOff)}},
           {longTip, "", {SystemItem("Log Off B", kTrayLogOff), "3", SystemItem("Screen B", kTrayScreenSaver)}},
           {"Third", "", {SystemItem("Screen C", kTrayScreenSaver), "3", SystemItem("Log Off C", kTrayLogOff, true)}}});
    ASSERT_TRUE(WaitIcons(3));
    const std::vector<std::string> tips = TrayTips();
    EXPECT_NE(tips.end(), std::find(tips.begin(), tips.end(), cyrillicTip.substr(0, 63 * 2)))
        << "63 characters, cut between two of them";
    EXPECT_NE(tips.end(), std::find(tips.begin(), tips.end(), std::string(63, 'L')));
    EXPECT_EQ(tips.end(), std::find(tips.begin(), tips.end(), longTip));
    EXPECT_EQ(307u, IconId(2));
    EXPECT_EQ(353u, CommandId(2, 0)) << "separators take no id";
    // The list's rows, with the default picture for entries without one.
    LVITEMA row = {};
    row.mask = LVIF_IMAGE;
    row.iItem = 1;
    ListView_GetItem(GetDlgItem(Page(), IDC_TRAY_LIST), &row);
    EXPECT_EQ(3, ListView_GetItemCount(GetDlgItem(Page(), IDC_TRAY_LIST)));
    EXPECT_EQ(0, row.iImage);

    // The first goes, the third comes again with the freed ids.
    icons->RemoveTrayIcon(0);
    icons->RemoveTrayIcon(2);
    ASSERT_TRUE(WaitIcons(1));
    ASSERT_TRUE(icons->AddTrayIcon(2));
    ASSERT_TRUE(WaitIcons(2));
    EXPECT_EQ(305u, IconId(2));
    EXPECT_EQ(350u, CommandId(2, 0));
    SeenMenu second = RightClick(IconId(1));
    EXPECT_EQ(Entry(1).runTime->menu.GetHandle(), second.menu);
    EXPECT_EQ((std::vector<std::string>{"Log Off B", "-", "Screen B"}), second.items);
    EXPECT_EQ(-1, second.defaultPosition);
    SeenMenu third = RightClick(IconId(2));
    EXPECT_EQ((std::vector<std::string>{"Screen C", "-", "Log Off C"}), third.items);
    EXPECT_EQ(2, third.defaultPosition) << "the separator counts";

    // A double click runs the default item only; other messages and icons
    // that are gone do nothing.
    Notify(IconId(1), WM_LBUTTONDBLCLK);
    Notify(306 + 50, WM_LBUTTONDBLCLK);
    Notify(IconId(2), WM_LBUTTONUP);
    EXPECT_TRUE(system->calls.empty());
    Notify(IconId(2), WM_LBUTTONDBLCLK);
    EXPECT_EQ((std::vector<std::string>{"exit 0"}), system->calls);
}

TEST_F(TrayPageTest, ALinkStartsItsTargetWithItsArgumentsInItsFolderAndAMissingFileSaysSo)
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string recorder = module;
    recorder = recorder.substr(0, recorder.find_last_of('\\') + 1) + "backup_record_args.exe";
    const std::string work = dir.File("work");
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    const std::string linkFile = dir.File("Recorder.lnk");
    SetEnvironmentVariableA("DERVANE_LINK_ICONS", recorder.substr(0, recorder.rfind('\\')).c_str());
    const std::string noFileLink = dir.File("Printers.lnk");
    ScopedPidl printers;
    ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_PRINTERS, printers.Put())));
    ASSERT_TRUE(SaveLink(linkFile, [&](IShellLinkA& link) {
        link.SetPath(recorder.c_str());
        link.SetArguments("alpha \"b c\"");
        link.SetWorkingDirectory(work.c_str());
        // A location with a variable, as the shell's own links have them.
        link.SetIconLocation("%DERVANE_LINK_ICONS%\\backup_record_args.exe", 0);
    }));
    ASSERT_TRUE(SaveLink(noFileLink, [&](IShellLinkA& link) { link.SetIDList(printers.Get()); }));
    const std::string record = dir.File("record.txt");
    SetEnvironmentVariableA("DERVANE_RECORD", record.c_str());
    SetEnvironmentVariableA("DERVANE_RECORD_FOLDER", "1");
    const std::string missing = dir.File("missing.exe");
    Start({{"Links",
            "",
            {ProgramItem("Recorder", linkFile, true), ProgramItem("Missing", missing),
             ProgramItem("Printers", noFileLink)}}});
    EXPECT_EQ(recorder, Entry(0).items[0].target);
    EXPECT_EQ(missing, Entry(0).items[1].target);
    EXPECT_EQ("", Entry(0).items[1].arguments);
    EXPECT_EQ(SW_SHOWNORMAL, Entry(0).items[1].showCommand);
    EXPECT_EQ(noFileLink, Entry(0).items[2].target) << "a link to no file opens the link itself";

    // The link's item shows a picture, drawn by the menu (no text of the
    // system's), its location's variable expanded; the others have none and
    // are plain items.
    const SeenMenu menu = RightClick(IconId(0));
    EXPECT_EQ((std::vector<std::string>{"", "Missing", "Printers"}), menu.items);
    EXPECT_EQ(0, menu.defaultPosition);

    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof before, before);
    Notify(IconId(0), WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitFor([&] { return ReadBytes(record).find('\n') != ReadBytes(record).rfind('\n'); }, 10000));
    std::ifstream lines(record);
    std::string arguments, folder;
    std::getline(lines, arguments);
    std::getline(lines, folder);
    EXPECT_EQ("alpha \"b c\"", arguments);
    EXPECT_EQ(0, lstrcmpiA(work.c_str(), folder.c_str())) << folder;

    Choose(CommandId(0, 1));
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Error executing " + missing + ".\nFile not found.", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Dervane", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), BoxRecorder::boxes[0].type);
    EXPECT_EQ(mainWindow.GetHwnd(), BoxRecorder::boxes[0].owner);
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(before, after);
    SetEnvironmentVariableA("DERVANE_RECORD", nullptr);
    SetEnvironmentVariableA("DERVANE_RECORD_FOLDER", nullptr);
    SetEnvironmentVariableA("DERVANE_LINK_ICONS", nullptr);
}

TEST_F(TrayPageTest, RemoveFromTrayTakesOneIconAndTheFeaturesOffAndOnBringAllBackWithTheFirstIds)
{
    Start({{"One", "", {SystemItem("Remove from tray", kTrayRemoveFromTray)}},
           {"Two", "", {SystemItem("Remove from tray", kTrayRemoveFromTray)}},
           {"Three", "", {SystemItem("Remove from tray", kTrayRemoveFromTray)}}});
    ASSERT_TRUE(WaitIcons(3));
    // Chosen in the menu itself, which the main window owns.
    ReadPopupMenu([&] { Notify(IconId(1), WM_RBUTTONUP); }, true);
    EXPECT_TRUE(WaitIcons(2));
    EXPECT_EQ(0u, IconId(1));
    EXPECT_EQ(3, icons->Icons().Count()) << "the entry stays in the list";
    Choose(CommandId(0, 0) + 200);
    EXPECT_TRUE(WaitIcons(2)) << "a command of no item is ignored";

    icons->FeaturesSwitched(false);
    EXPECT_TRUE(WaitIcons(0));
    icons->FeaturesSwitched(true);
    EXPECT_TRUE(WaitIcons(3));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(305u + i, IconId(i));
        EXPECT_EQ(350u + i, CommandId(i, 0));
    }

    // The page's "Enabled" box, applied, hides and shows them too.
    ClickButton(Page(), IDC_TRAY_ENABLED);
    ClickButton(Page(), IDC_TRAY_APPLY);
    EXPECT_TRUE(WaitIcons(0));
    EXPECT_EQ(std::string(1, '\0'), registry.Stored("Property Tray Enabled"));
    icons->FeaturesSwitched(true);
    EXPECT_TRUE(WaitIcons(0)) << "the program's switch alone does not show them";
    ClickButton(Page(), IDC_TRAY_ENABLED);
    ClickButton(Page(), IDC_TRAY_APPLY);
    EXPECT_TRUE(WaitIcons(3));
}

TEST_F(TrayPageTest, SystemCommandsCallTheSystemWithTheirArgumentsAndFailuresAreReported)
{
    Start({{"System",
            "",
            {SystemItem("Stand By", kTrayStandBy), SystemItem("Shut Down", kTrayShutDown),
             SystemItem("Restart", kTrayRestart), SystemItem("Log Off", kTrayLogOff),
             SystemItem("Screen", kTrayScreenSaver), SystemItem("Hide", kTrayToggleHideIcons)}}});
    // Stand-by without the privilege: nothing more, nothing shown.
    system->answers = {ERROR_NOT_ALL_ASSIGNED};
    Choose(CommandId(0, 0));
    EXPECT_EQ((std::vector<std::string>{"privilege"}), system->calls);
    EXPECT_TRUE(BoxRecorder::boxes.empty());
    // With it: both tries fail, the wait window goes, the system's text is shown.
    system->calls.clear();
    system->answers = {0, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED};
    Choose(CommandId(0, 0));
    EXPECT_EQ((std::vector<std::string>{"privilege", "power 1 0", "power 0 0"}), system->calls);
    EXPECT_EQ("", WaitWindowText());
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Error", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONWARNING), BoxRecorder::boxes[0].type);
    char denied[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, denied, sizeof denied, nullptr);
    EXPECT_EQ("The computer cannot stand by.\n" + std::string(denied, strcspn(denied, "\r\n")),
              BoxRecorder::boxes[0].text);

    // Restart without the privilege: nothing more, nothing shown.
    system->calls.clear();
    system->answers = {ERROR_NOT_ALL_ASSIGNED};
    Choose(CommandId(0, 2));
    EXPECT_EQ((std::vector<std::string>{"privilege"}), system->calls);
    EXPECT_EQ(1u, BoxRecorder::boxes.size());

    // Log off refused: reported; shut down accepted: the wait window stays.
    system->calls.clear();
    system->answers = {ERROR_ACCESS_DENIED};
    Choose(CommandId(0, 3));
    EXPECT_EQ(2u, BoxRecorder::boxes.size());
    Choose(CommandId(0, 1));
    EXPECT_EQ((std::vector<std::string>{"exit 0", "privilege", "exit 1"}), system->calls);
    EXPECT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_EQ("Please wait while Windows shuts down...", WaitWindowText());

    system->calls.clear();
    Choose(CommandId(0, 4));
    EXPECT_EQ((std::vector<std::string>{"screen saver"}), system->calls);
    // No screen saver chosen in Windows: said so, nothing started.
    system->calls.clear();
    system->screenSaverChosen = false;
    Choose(CommandId(0, 4));
    EXPECT_TRUE(system->calls.empty());
    ASSERT_EQ(3u, BoxRecorder::boxes.size());
    EXPECT_EQ("No screen saver is chosen. Choose one in the screen saver settings of Windows, then try again.",
              BoxRecorder::boxes[2].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONINFORMATION), BoxRecorder::boxes[2].type);
    Choose(CommandId(0, 5));
    ASSERT_EQ(1u, host.settingsSent.size());
    EXPECT_EQ(1, host.settingsSent[0].settings.hideEnabled);

    // A control's notification with an id of the menus' range runs nothing.
    system->calls.clear();
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(CommandId(0, 4), BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_TRAY_ENABLED)));
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(CommandId(0, 4), 1), 0);
    EXPECT_TRUE(system->calls.empty());
}

TEST_F(TrayPageTest, BadInputShowsWhatItCanWithDefaultPicturesAndEveryIconGoesAtShutDown)
{
    const std::string textPicture = dir.File("picture.ico");
    WriteBytes(textPicture, "not an icon\r\n");
    // Nine items an icon: the menus' ids run out in the 95th icon.
    const std::vector<std::string> items(9, SystemItem("Log Off", kTrayLogOff));
    std::vector<TrayFileEntry> entries;
    for (int i = 0; i < 500; ++i)
        entries.push_back({"Icon " + std::to_string(i), textPicture, items});
    entries[0].items.insert(entries[0].items.end(), {"9", "2\t0\tOdd\t77"});
    Start(entries);
    ASSERT_EQ(500, icons->Icons().Count());
    EXPECT_FALSE(Entry(0).runTime->icon);
    EXPECT_EQ(9u, Entry(0).items.size()) << "an unknown kind and command are left out";
    EXPECT_TRUE(WaitIcons(static_cast<int>(kCustomTrayIconLimit)));
    EXPECT_EQ(0u, IconId(static_cast<int>(kCustomTrayIconLimit)));
    EXPECT_EQ(1199u, CommandId(94, 3));
    EXPECT_EQ(0u, CommandId(94, 4));
    EXPECT_EQ(9, GetMenuItemCount(Entry(93).runTime->menu.GetHandle()));
    EXPECT_EQ(4, GetMenuItemCount(Entry(94).runTime->menu.GetHandle()));
    EXPECT_EQ(500, ListView_GetItemCount(GetDlgItem(Page(), IDC_TRAY_LIST)));
    const std::string log = ReadBytes(dir.File("ErrorLog.txt"));
    EXPECT_NE(std::string::npos, log.find("400 custom tray icons not shown"));
    EXPECT_NE(std::string::npos, log.find("No more menu command ids: item \"Log Off\" of tray icon \"Icon 94\""));

    icons->Stop();
    EXPECT_TRUE(WaitIcons(0));
}

TEST_F(TrayPageTest, AnIconTheShellRefusesAtFirstIsTriedAgainUntilItIsShown)
{
    StartingShell::refusals = 4;  // the first try and the first retry, each an add and a change
    StartingShell::additions = 0;
    notify = &StartingShell::Notify;
    Start({{"Late", "", {}}});
    EXPECT_EQ(trayBefore, TrayIconCount());
    // The retries come on the owner's timer: messages are dispatched meanwhile.
    EXPECT_TRUE(WaitFor(
        [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            return TrayIconCount() == trayBefore + 1;
        },
        10000));
    EXPECT_EQ(3, StartingShell::additions);
    EXPECT_EQ(0, StartingShell::refusals);
}

namespace {

void SelectRow(HWND page, int row)
{
    ListView_SetItemState(GetDlgItem(page, IDC_TRAY_LIST), row, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
}

bool HasTip(const std::string& tip)
{
    const std::vector<std::string> tips = TrayTips();
    return std::find(tips.begin(), tips.end(), tip) != tips.end();
}

}  // namespace

TEST_F(TrayPageTest, AddUpReplaceAndDeleteAreWrittenAtOnceAndTheNotificationAreaFollows)
{
    Start({});
    const std::string file = dir.File("TrayIcons.txt");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_TRAY_ADD)));
    TypeText(Page(), IDC_TRAY_TIP, "Alpha");
    ClickButton(Page(), IDC_TRAY_ADD);
    TypeText(Page(), IDC_TRAY_TIP, "Beta");
    ClickButton(Page(), IDC_TRAY_ADD);
    ASSERT_TRUE(WaitIcons(2));
    EXPECT_EQ("", WindowText(GetDlgItem(Page(), IDC_TRAY_TIP)));
    EXPECT_EQ(dir.File("TrayIcons.dll"), Entry(1).iconFile);
    EXPECT_EQ(kIconSourceGroup, Entry(1).iconKind);

    SelectRow(Page(), 1);
    EXPECT_EQ("Beta", WindowText(GetDlgItem(Page(), IDC_TRAY_TIP)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_TRAY_DOWN)));
    const UINT firstIcon = IconId(0);
    ClickButton(Page(), IDC_TRAY_UP);
    EXPECT_NE(std::string::npos, ReadBytes(file).find("ENTRY_0\tBeta\t"));
    EXPECT_NE(std::string::npos, ReadBytes(file).find("ENTRY_1\tAlpha\t"));
    EXPECT_EQ(firstIcon, IconId(0)) << "the first icon now shows the moved entry";
    EXPECT_EQ(0, ListView_GetNextItem(GetDlgItem(Page(), IDC_TRAY_LIST), -1, LVNI_SELECTED));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_TRAY_UP)));

    TypeText(Page(), IDC_TRAY_TIP, "Gamma");
    ClickButton(Page(), IDC_TRAY_REPLACE);
    EXPECT_TRUE(WaitFor([] { return HasTip("Gamma") && !HasTip("Beta"); }, 5000));
    EXPECT_NE(std::string::npos, ReadBytes(file).find("ENTRY_0\tGamma\t"));

    // A tip the file cannot keep is refused and changes nothing.
    TypeText(Page(), IDC_TRAY_TIP, "Tab\there");
    ClickButton(Page(), IDC_TRAY_REPLACE);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_NE(std::string::npos, BoxRecorder::boxes[0].text.find("holds a tab"));
    EXPECT_EQ("Gamma", Entry(0).tipText);
    EXPECT_EQ(std::string::npos, ReadBytes(file).find("Tab"));
    TypeText(Page(), IDC_TRAY_TIP, std::string(261, 'x'));
    ClickButton(Page(), IDC_TRAY_ADD);
    ASSERT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_NE(std::string::npos, BoxRecorder::boxes[1].text.find("longer than 260"));
    EXPECT_EQ(2, icons->Icons().Count());

    ClickButton(Page(), IDC_TRAY_DELETE);
    ASSERT_EQ(3u, BoxRecorder::boxes.size());
    EXPECT_EQ("Confirm", BoxRecorder::boxes[2].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), BoxRecorder::boxes[2].type);
    EXPECT_EQ(2, icons->Icons().Count()) << "No keeps the entry";
    BoxRecorder::answers.push_back(IDYES);
    ClickButton(Page(), IDC_TRAY_DELETE);
    EXPECT_TRUE(WaitIcons(1));
    ASSERT_EQ(1, icons->Icons().Count());
    EXPECT_EQ("Alpha", Entry(0).tipText);
    EXPECT_EQ(std::string::npos, ReadBytes(file).find("Gamma"));
    EXPECT_EQ("", WindowText(GetDlgItem(Page(), IDC_TRAY_TIP)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDC_TRAY_DELETE)));
}

TEST_F(TrayPageTest, UpAndDownNextToAnIconTakenOutOfTheTrayKeepEachIconWithItsOwnEntryAndMenu)
{
    Start({{"One", "", {SystemItem("Out One", kTrayRemoveFromTray)}},
           {"Two", "", {SystemItem("Out Two", kTrayRemoveFromTray)}},
           {"Three", "", {SystemItem("Out Three", kTrayRemoveFromTray)}}});
    ASSERT_TRUE(WaitIcons(3));
    Choose(CommandId(1, 0));
    ASSERT_TRUE(WaitIcons(2));
    const UINT oneIcon = IconId(0);
    const UINT threeIcon = IconId(2);

    // Each shown icon keeps its entry (picture, tip, menu); the one taken out stays out.
    const auto expectShown = [&](int one, int three, int two) {
        EXPECT_EQ(oneIcon, IconId(one));
        EXPECT_EQ(threeIcon, IconId(three));
        EXPECT_EQ(0u, IconId(two));
        EXPECT_EQ(0u, CommandId(two, 0)) << "no menu for an icon not shown";
        EXPECT_TRUE(WaitIcons(2));
        EXPECT_TRUE(WaitFor([] { return HasTip("One") && HasTip("Three") && !HasTip("Two"); }, 5000));
        EXPECT_EQ((std::vector<std::string>{"Out One"}), RightClick(oneIcon).items);
        EXPECT_EQ((std::vector<std::string>{"Out Three"}), RightClick(threeIcon).items);
    };
    SelectRow(Page(), 1);
    ClickButton(Page(), IDC_TRAY_UP);
    EXPECT_NE(std::string::npos, ReadBytes(dir.File("TrayIcons.txt")).find("ENTRY_0\tTwo\t"));
    expectShown(1, 2, 0);
    SelectRow(Page(), 0);
    ClickButton(Page(), IDC_TRAY_DOWN);
    expectShown(0, 2, 1);
    SelectRow(Page(), 1);
    ClickButton(Page(), IDC_TRAY_DOWN);
    expectShown(0, 1, 2);
}

TEST_F(TrayPageTest, AFailedSaveIsSaidAndTheChangeStaysForTheNextSave)
{
    Start({{"One", "", {}}});
    const std::string file = dir.File("TrayIcons.txt");
    ASSERT_TRUE(DeleteFileA(file.c_str()));
    ASSERT_TRUE(CreateDirectoryA(file.c_str(), nullptr));
    TypeText(Page(), IDC_TRAY_TIP, "Two");
    ClickButton(Page(), IDC_TRAY_ADD);
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_NE(std::string::npos, BoxRecorder::boxes[0].text.find("Cannot write TrayIcons.txt"));
    EXPECT_EQ(2, icons->Icons().Count());
    EXPECT_TRUE(icons->Icons().IsModified());

    ASSERT_TRUE(RemoveDirectoryA(file.c_str()));
    TypeText(Page(), IDC_TRAY_TIP, "Three");
    ClickButton(Page(), IDC_TRAY_ADD);
    EXPECT_EQ(1u, BoxRecorder::boxes.size());
    const std::string text = ReadBytes(file);
    EXPECT_NE(std::string::npos, text.find("ENTRY_1\tTwo\t"));
    EXPECT_NE(std::string::npos, text.find("ENTRY_2\tThree\t"));
}

namespace {

using Lines = std::vector<std::string>;
const std::string kDashes(40, '-');

// A choice in a drop-down list as the user makes it.
void ChooseIn(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectLine(HWND editor, int line)
{
    SendDlgItemMessageA(editor, IDC_TRAYMENU_ITEMS, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_TRAYMENU_ITEMS, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(editor, IDC_TRAYMENU_ITEMS)));
}

Lines EditorLines(HWND editor)
{
    return ListItems(editor, IDC_TRAYMENU_ITEMS);
}

std::string Text(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

// Drops files on a window of this process as the shell does: a DROPFILES
// block with the names, each ended by a NUL, and one NUL more.
void DropFiles(HWND target, const std::vector<std::string>& files)
{
    std::string names;
    for (const std::string& file : files)
        names += file + '\0';
    names += '\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
    ASSERT_NE(nullptr, block);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(block);
    // The receiver frees the block (DragFinish).
    SendMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

// The width in pixels of text drawn with the font of a window.
LONG TextWidth(HWND window, const std::string& text)
{
    ScopedGetDC dc(window);
    ScopedSelect font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// An entry whose menu has a program marked as default, a separator and a
// system command, and a second entry of 200 system commands.
std::string ExampleFile()
{
    std::string text = "KTX_FILE\tDERVANE TRAY ICONS\r\nVERSION\t1.0\r\n"
                       "ENTRY_0\tTools\tC:\\Tools\\tools.dll\t3\r\n"
                       "ENTRY_0_ITEM_0\t0\t1\tEditor\tC:\\Tools\\edit.exe\r\n"
                       "ENTRY_0_ITEM_1\t3\r\n"
                       "ENTRY_0_ITEM_2\t2\t0\tShut Down\t1\r\n"
                       "ENTRY_0_ITEM_3\t#%#\r\n"
                       "ENTRY_1\tMany\t\t-1\r\n";
    for (int j = 0; j < 200; ++j)
        text += "ENTRY_1_ITEM_" + std::to_string(j) + "\t2\t0\tLog Off " + std::to_string(j) + "\t3\r\n";
    return text + "ENTRY_1_ITEM_200\t#%#\r\n";
}

HWND PickerList(HWND picker)
{
    return GetDlgItem(picker, IDC_TRAY_ICON_LIST);
}
int Rows(HWND picker)
{
    return ListView_GetItemCount(PickerList(picker));
}
int SelectedRow(HWND picker)
{
    return ListView_GetNextItem(PickerList(picker), -1, LVNI_SELECTED);
}
void SelectPicture(HWND picker, int row)
{
    ListView_SetItemState(PickerList(picker), -1, 0, LVIS_SELECTED);
    if (row >= 0)
        ListView_SetItemState(PickerList(picker), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

struct HelpCall {
    UINT dialog;
    UINT msg;
    int control;
};
std::vector<HelpCall> g_helpCalls;

bool RecordHelp(HWND, UINT dialog, UINT msg, WPARAM, LPARAM lp)
{
    const auto* info = reinterpret_cast<const HELPINFO*>(lp);
    g_helpCalls.push_back({dialog, msg, info ? info->iCtrlId : 0});
    return true;
}

}  // namespace

TEST_F(TrayPageTest, TheMenuEditorMovesAndDeletesItemsAndARoundTripWritesTheFileAsItWas)
{
    const std::string example = ExampleFile();
    StartWith(example);
    ASSERT_TRUE(WaitIcons(2));
    const std::string file = dir.File("TrayIcons.txt");
    const auto cursor = [](HWND editor) { return SendDlgItemMessageA(editor, IDC_TRAYMENU_ITEMS, LB_GETCURSEL, 0, 0); };
    Lines seen;
    SelectRow(Page(), 0);
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_TRAY_MENU); }, "Tray Menu",
                           [&](HWND editor) {
                               seen = EditorLines(editor);
                               // A program that is not there is shown and kept, but cannot be added again.
                               SelectLine(editor, 0);
                               EXPECT_EQ("Editor", Text(editor, IDC_TRAYMENU_LABEL));
                               EXPECT_EQ("C:\\Tools\\edit.exe", Text(editor, IDC_TRAYMENU_ACTION));
                               EXPECT_TRUE(IsChecked(editor, IDC_TRAYMENU_DEFAULT));
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_ADD));
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_REPLACE));
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_UP));
                               SelectLine(editor, 2);
                               EXPECT_EQ(kTrayShutDown,
                                         SendDlgItemMessageA(editor, IDC_TRAYMENU_COMMAND, CB_GETCURSEL, 0, 0));
                               EXPECT_EQ("Shut Down", Text(editor, IDC_TRAYMENU_LABEL));
                               EXPECT_EQ("&With action", Text(editor, IDC_TRAYMENU_ACTION_CAPTION));
                               EXPECT_FALSE(IsWindowVisible(GetDlgItem(editor, IDC_TRAYMENU_ACTION)));
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_DOWN));
                               ClickButton(editor, IDC_TRAYMENU_UP);
                               EXPECT_EQ((Lines{"Editor", "Shut Down", kDashes}), EditorLines(editor));
                               EXPECT_EQ(1, cursor(editor));
                               ClickButton(editor, IDC_TRAYMENU_DOWN);
                               EXPECT_EQ(seen, EditorLines(editor));
                               EXPECT_EQ(2, cursor(editor));
                               // Delete asks: No keeps the item, Yes takes the selected one.
                               ClickButton(editor, IDC_TRAYMENU_DELETE);
                               EXPECT_EQ(seen, EditorLines(editor));
                               ChooseIn(editor, IDC_TRAYMENU_KIND, kTrayItemSeparator);
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               SelectLine(editor, 3);
                               BoxRecorder::answers.push_back(IDYES);
                               ClickButton(editor, IDC_TRAYMENU_DELETE);
                               EXPECT_EQ(seen, EditorLines(editor));
                               DeleteFileA(file.c_str());
                               ClickButton(editor, IDC_TRAYMENU_OK);
                           }));
    EXPECT_EQ((Lines{"Editor", kDashes, "Shut Down"}), seen);
    ASSERT_EQ(2u, BoxRecorder::boxes.size());
    EXPECT_EQ("Are you sure you want to delete this menu item?", BoxRecorder::boxes[0].text);
    EXPECT_EQ("Confirm", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2), BoxRecorder::boxes[0].type);
    EXPECT_EQ(example, ReadBytes(file)) << "written again, as it was";
    EXPECT_EQ(3, GetMenuItemCount(Entry(0).runTime->menu.GetHandle())) << "the menu is built anew, each item once";

    // Two hundred items: the list scrolls to the last, and every one is kept.
    SelectRow(Page(), 1);
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_TRAY_MENU); }, "Tray Menu",
                           [&](HWND editor) {
                               EXPECT_EQ(200u, EditorLines(editor).size());
                               SelectLine(editor, 199);
                               EXPECT_GT(SendDlgItemMessageA(editor, IDC_TRAYMENU_ITEMS, LB_GETTOPINDEX, 0, 0), 0);
                               EXPECT_EQ("Log Off 199", Text(editor, IDC_TRAYMENU_LABEL));
                               ClickButton(editor, IDC_TRAYMENU_OK);
                           }));
    EXPECT_EQ(example, ReadBytes(file));
    EXPECT_EQ(200, GetMenuItemCount(Entry(1).runTime->menu.GetHandle()));
}

TEST_F(TrayPageTest, AMenuMadeWithoutASelectionGoesToEachNewEntryAndHiddenIconsShowItOnce)
{
    Start({});
    icons->FeaturesSwitched(false);
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string recorder = module;
    recorder = recorder.substr(0, recorder.find_last_of('\\') + 1) + "backup_record_args.exe";
    const std::string notes = dir.File("notes.txt");
    const std::string readme = dir.File("read.me.txt");
    const std::string link = dir.File("Recorder.lnk");
    const std::string work = dir.File("work");
    WriteBytes(notes, "notes");
    WriteBytes(readme, "read me");
    ASSERT_TRUE(CreateDirectoryA(work.c_str(), nullptr));
    ASSERT_TRUE(SaveLink(link, [&](IShellLinkA& l) {
        l.SetPath(recorder.c_str());
        l.SetIconLocation(recorder.c_str(), 0);
    }));
    const std::string wide(120, 'W');
    Lines lines;
    LRESULT extent = 0;
    LONG width = 0;
    bool firstKeepsDefault = true;
    std::string replaced;
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_TRAY_MENU); }, "Tray Menu",
                           [&](HWND editor) {
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_ADD));
                               // A system command's own label replaces what was typed.
                               TypeText(editor, IDC_TRAYMENU_LABEL, "typed");
                               ChooseIn(editor, IDC_TRAYMENU_KIND, kTrayItemSystemCommand);
                               EXPECT_EQ("Stand By (Sleep)", Text(editor, IDC_TRAYMENU_LABEL));
                               ChooseIn(editor, IDC_TRAYMENU_COMMAND, kTrayRemoveFromTray);
                               EXPECT_EQ("Remove from tray", Text(editor, IDC_TRAYMENU_LABEL));
                               CheckDlgButton(editor, IDC_TRAYMENU_DEFAULT, BST_CHECKED);
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               // A new default item takes the mark; a missing file cannot be added.
                               ChooseIn(editor, IDC_TRAYMENU_KIND, kTrayItemProgram);
                               TypeText(editor, IDC_TRAYMENU_LABEL, "Notes");
                               TypeText(editor, IDC_TRAYMENU_ACTION, dir.File("missing.txt"));
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_ADD));
                               TypeText(editor, IDC_TRAYMENU_ACTION, notes);
                               CheckDlgButton(editor, IDC_TRAYMENU_DEFAULT, BST_CHECKED);
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               // A separator keeps no mark.
                               ChooseIn(editor, IDC_TRAYMENU_KIND, kTrayItemSeparator);
                               EXPECT_FALSE(IsChecked(editor, IDC_TRAYMENU_DEFAULT));
                               EXPECT_FALSE(IsEnabled(editor, IDC_TRAYMENU_DEFAULT));
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               // What the file cannot keep is refused and said.
                               ChooseIn(editor, IDC_TRAYMENU_KIND, kTrayItemProgram);
                               TypeText(editor, IDC_TRAYMENU_ACTION, notes);
                               TypeText(editor, IDC_TRAYMENU_LABEL, std::string(1000, 'x'));
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               TypeText(editor, IDC_TRAYMENU_LABEL, "Tab\there");
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               HWND list = GetDlgItem(editor, IDC_TRAYMENU_ITEMS);
                               DropFiles(list, {dir.File((std::string(300, 'p') + ".exe").c_str())});
                               // Dropped files, links and folders become items named after them.
                               DropFiles(list, {readme, link, work});
                               // The list scrolls sideways as far as its widest line, in pixels.
                               TypeText(editor, IDC_TRAYMENU_LABEL, wide);
                               ClickButton(editor, IDC_TRAYMENU_ADD);
                               extent = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
                               width = TextWidth(list, wide);
                               lines = EditorLines(editor);
                               SelectLine(editor, 0);
                               firstKeepsDefault = IsChecked(editor, IDC_TRAYMENU_DEFAULT);
                               // Replace: another command, with its label, in the same place.
                               ChooseIn(editor, IDC_TRAYMENU_COMMAND, kTrayLogOff);
                               ClickButton(editor, IDC_TRAYMENU_REPLACE);
                               replaced = EditorLines(editor)[0];
                               ClickButton(editor, IDC_TRAYMENU_OK);
                           }));
    EXPECT_EQ((Lines{"Remove from tray", "Notes", kDashes, "read.me", "Recorder", "work", wide}), lines);
    EXPECT_FALSE(firstKeepsDefault);
    EXPECT_EQ("Log Off", replaced);
    EXPECT_GE(extent, width);
    EXPECT_GT(width, static_cast<LONG>(wide.size()));
    ASSERT_EQ(3u, BoxRecorder::boxes.size());
    EXPECT_EQ("The label is longer than 260 characters. The menu item is not added.", BoxRecorder::boxes[0].text);
    EXPECT_EQ("The label holds a tab or a line break. The menu item is not added.", BoxRecorder::boxes[1].text);
    EXPECT_NE(std::string::npos, BoxRecorder::boxes[2].text.find("The file's path is longer than 260 characters."))
        << BoxRecorder::boxes[2].text;
    EXPECT_EQ("Error", BoxRecorder::boxes[2].caption);

    // Two Adds, one "Menu...": both entries get the menu.
    TypeText(Page(), IDC_TRAY_TIP, "First");
    ClickButton(Page(), IDC_TRAY_ADD);
    TypeText(Page(), IDC_TRAY_TIP, "Second");
    ClickButton(Page(), IDC_TRAY_ADD);
    ASSERT_EQ(2, icons->Icons().Count());
    for (int i = 0; i < 2; ++i) {
        const std::vector<TrayMenuItem>& items = Entry(i).items;
        ASSERT_EQ(7u, items.size());
        EXPECT_TRUE(items[1].isDefault && !items[0].isDefault);
        EXPECT_EQ(kTrayItemProgram, items[4].kind);
        EXPECT_EQ(link, items[4].path);
        EXPECT_EQ(kTrayItemFolder, items[5].kind);
    }
    const std::string text = ReadBytes(dir.File("TrayIcons.txt"));
    EXPECT_NE(std::string::npos, text.find("ENTRY_1_ITEM_0\t2\t0\tLog Off\t3\r\n"));
    EXPECT_NE(std::string::npos, text.find("ENTRY_1_ITEM_1\t0\t1\tNotes\t" + notes + "\r\n"));
    EXPECT_NE(std::string::npos, text.find("ENTRY_1_ITEM_2\t3\r\n"));
    EXPECT_NE(std::string::npos, text.find("ENTRY_1_ITEM_5\t1\t0\twork\t" + work + "\r\n"));

    // The first one's menu edited while the icons are hidden, then shown.
    SelectRow(Page(), 0);
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_TRAY_MENU); }, "Tray Menu",
                           [&](HWND editor) {
                               SelectLine(editor, 6);
                               BoxRecorder::answers.push_back(IDYES);
                               ClickButton(editor, IDC_TRAYMENU_DELETE);
                               ClickButton(editor, IDC_TRAYMENU_OK);
                           }));
    icons->FeaturesSwitched(true);
    ASSERT_TRUE(WaitIcons(2));
    const SeenMenu first = RightClick(IconId(0));
    ASSERT_EQ(6u, first.items.size()) << "each item once";
    EXPECT_EQ("Log Off", first.items[0]);
    EXPECT_EQ("-", first.items[2]);
    EXPECT_EQ("", first.items[4]) << "the link's item has its picture";
    EXPECT_EQ(1, first.defaultPosition);
    EXPECT_EQ(7u, RightClick(IconId(1)).items.size());
}

TEST_F(TrayPageTest, ThePictureButtonPicksAGroupAnIconFileOrNoPictureAndEachBitmapGoesWhenReplaced)
{
    const std::string library = dir.File("TrayIcons.dll");
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\TrayIcons.dll").c_str(), library.c_str(), FALSE));
    const std::string iconFile = TestFolder() + "\\tray-picture.ico";
    Start({});
    const std::string file = dir.File("TrayIcons.txt");
    auto buttonBitmap = [&] {
        return reinterpret_cast<HBITMAP>(SendDlgItemMessageA(Page(), IDC_TRAY_ICON, BM_GETIMAGE, IMAGE_BITMAP, 0));
    };
    EXPECT_TRUE(IsEnabled(Page(), IDC_TRAY_ICON));
    EXPECT_EQ(nullptr, buttonBitmap());
    auto pick = [&](const std::function<void(HWND)>& act) {
        EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_TRAY_ICON); }, "Tray Icon", act));
    };

    // The program's library is offered with its group 0 chosen; several
    // choices in a row each replace the button's bitmap and delete the last.
    std::vector<HBITMAP> shown;
    for (int row : {1, 2, 3}) {
        pick([&](HWND picker) {
            EXPECT_EQ(library, WindowText(GetDlgItem(picker, IDC_TRAY_ICON_FILE)));
            EXPECT_EQ(14, Rows(picker));
            EXPECT_EQ(row == 1 ? 0 : row - 1, SelectedRow(picker)) << "the last choice shows";
            SelectPicture(picker, row);
            ClickButton(picker, IDC_TRAY_ICON_OK);
        });
        shown.push_back(buttonBitmap());
        ASSERT_NE(nullptr, shown.back());
        EXPECT_EQ(OBJ_BITMAP, static_cast<int>(GetObjectType(shown.back())));
        if (shown.size() > 1) {
            EXPECT_EQ(0u, GetObjectType(shown[shown.size() - 2])) << "the bitmap it showed before is deleted";
        }
    }
    // Cancel changes nothing, even after another file was typed.
    pick([&](HWND picker) {
        TypeText(picker, IDC_TRAY_ICON_FILE, iconFile);
        EXPECT_EQ(1, Rows(picker));
        ClickButton(picker, IDC_TRAY_ICON_CANCEL);
    });
    EXPECT_EQ(shown.back(), buttonBitmap());
    TypeText(Page(), IDC_TRAY_TIP, "Group");
    ClickButton(Page(), IDC_TRAY_ADD);
    EXPECT_NE(std::string::npos, ReadBytes(file).find("ENTRY_0\tGroup\t" + library + "\t3\r\n"));
    EXPECT_EQ(kIconSourceGroup, Entry(0).iconKind);
    EXPECT_TRUE(Entry(0).runTime->icon);
    EXPECT_EQ(nullptr, buttonBitmap()) << "Add resets the editing state";
    EXPECT_EQ(0u, GetObjectType(shown.back()));

    // An icon file: its one picture, kind 1.
    pick([&](HWND picker) {
        TypeText(picker, IDC_TRAY_ICON_FILE, iconFile);
        EXPECT_EQ(1, Rows(picker));
        ClickButton(picker, IDC_TRAY_ICON_OK);
    });
    shown.push_back(buttonBitmap());
    EXPECT_NE(nullptr, shown.back());
    TypeText(Page(), IDC_TRAY_TIP, "Icon file");
    ClickButton(Page(), IDC_TRAY_ADD);
    EXPECT_NE(std::string::npos, ReadBytes(file).find("ENTRY_1\tIcon file\t" + iconFile + "\t"));
    EXPECT_EQ(kIconSourceFile, Entry(1).iconKind);
    EXPECT_TRUE(Entry(1).runTime->icon);

    // No picture chosen: kind 0, none on the button, the default in the list.
    pick([&](HWND picker) {
        SelectPicture(picker, -1);
        ClickButton(picker, IDC_TRAY_ICON_OK);
    });
    EXPECT_EQ(nullptr, buttonBitmap());
    TypeText(Page(), IDC_TRAY_TIP, "None");
    ClickButton(Page(), IDC_TRAY_ADD);
    EXPECT_NE(std::string::npos, ReadBytes(file).find("ENTRY_2\tNone\t\t-1\r\n")) << "no file: the default picture";
    EXPECT_EQ(kIconSourceNone, Entry(2).iconKind);
    EXPECT_FALSE(Entry(2).runTime->icon);

    // A selected entry's picture, then the page going: the last bitmap goes too.
    SelectRow(Page(), 0);
    shown.push_back(buttonBitmap());
    ASSERT_NE(nullptr, shown.back());
    sheet.reset();
    for (HBITMAP bitmap : shown)
        EXPECT_EQ(0u, GetObjectType(bitmap));
}

TEST_F(TrayPageTest, BadPictureFilesLeaveThePickerEmptyAndTheChoiceAsItWasAndNothingIsLost)
{
    const std::string marker = TestFolder() + "\\tray_marker.dll";
    DeleteFileA((marker + ".ran").c_str());
    const std::string textIcon = dir.File("text.ico");
    WriteBytes(textIcon, "not an icon\r\n");
    Start({{"Kept", "", {SystemItem("Log Off", kTrayLogOff, true)}}});
    const std::string file = dir.File("TrayIcons.txt");
    const std::string kept = ReadBytes(file);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);

    // A library whose first three groups give no picture: its rows are its
    // groups 3 and 4; a missing file and a text named .ico show nothing and
    // keep what was chosen. Browse finds a file, and the folder is as it was.
    const auto chooseInOpen = [&](HWND open) {
        // The file name box: a combo box (cmb13) or an edit (edt1).
        SetDlgItemTextA(open, 1148, textIcon.c_str());
        SetDlgItemTextA(open, 1152, textIcon.c_str());
        ClickButton(open, IDOK);
    };
    const auto tryBadFiles = [&](HWND picker) {
        TypeText(picker, IDC_TRAY_ICON_FILE, marker);
        EXPECT_EQ(2, Rows(picker));
        SelectPicture(picker, 1);
        TypeText(picker, IDC_TRAY_ICON_FILE, dir.File("missing.dll"));
        EXPECT_EQ(0, Rows(picker));
        EXPECT_TRUE(DriveModal([&] { ClickButton(picker, IDC_TRAY_ICON_BROWSE); }, "Open", chooseInOpen));
        EXPECT_EQ(textIcon, WindowText(GetDlgItem(picker, IDC_TRAY_ICON_FILE)));
        EXPECT_EQ(0, Rows(picker));
        ClickButton(picker, IDC_TRAY_ICON_OK);
    };
    EXPECT_TRUE(DriveModal([&] { ClickButton(Page(), IDC_TRAY_ICON); }, "Tray Icon", tryBadFiles));
    char after[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(folder, after);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((marker + ".ran").c_str())) << "its code never ran";
    EXPECT_NE(nullptr,
              reinterpret_cast<HBITMAP>(SendDlgItemMessageA(Page(), IDC_TRAY_ICON, BM_GETIMAGE, IMAGE_BITMAP, 0)))
        << "the default picture";
    TypeText(Page(), IDC_TRAY_TIP, "Bad");
    ClickButton(Page(), IDC_TRAY_ADD);
    ASSERT_EQ(2, icons->Icons().Count());
    EXPECT_EQ(kIconSourceGroup, Entry(1).iconKind);
    EXPECT_FALSE(Entry(1).runTime->icon);

    // A library without icons: no picture to choose, kind 0.
    DriveModal([&] { ClickButton(Page(), IDC_TRAY_ICON); }, "Tray Icon",
               [&](HWND picker) {
                   TypeText(picker, IDC_TRAY_ICON_FILE, ProgramFolder() + "\\Resources.dll");
                   EXPECT_EQ(0, Rows(picker));
                   ClickButton(picker, IDC_TRAY_ICON_OK);
               });
    TypeText(Page(), IDC_TRAY_TIP, "No icons");
    ClickButton(Page(), IDC_TRAY_ADD);
    ASSERT_EQ(3, icons->Icons().Count());
    EXPECT_EQ(kIconSourceNone, Entry(2).iconKind);
    const std::string text = ReadBytes(file);
    EXPECT_EQ(0u, text.find(kept.substr(0, kept.find("ENTRY_0_ITEM_1")))) << text;
    EXPECT_NE(std::string::npos, text.find("ENTRY_1\tBad\t" + textIcon + "\t4\r\n"));
    EXPECT_NE(std::string::npos, text.find("ENTRY_2\tNo icons\t\t-1\r\n"));
    LVITEMA row = {};
    row.mask = LVIF_IMAGE;
    row.iItem = 1;
    ListView_GetItem(GetDlgItem(Page(), IDC_TRAY_LIST), &row);
    EXPECT_EQ(0, row.iImage) << "the default picture in the list";

    // A choice without a picture takes the kind of the picture clicked, and
    // F1 on a control asks for its help.
    TrayIconChoice choice;
    choice.kind = kIconSourceNone;
    choice.index = -1;
    g_helpCalls.clear();
    CTrayIconDlg picker(Page(), choice, ProgramFolder() + "\\TrayIcons.dll");
    picker.SetContextHelp(&RecordHelp);
    DriveModal([&] { picker.Run(); }, "Tray Icon",
               [&](HWND dialog) {
                   EXPECT_EQ(-1, SelectedRow(dialog));
                   SelectPicture(dialog, 5);
                   HELPINFO info = {};
                   info.cbSize = sizeof info;
                   info.iContextType = HELPINFO_WINDOW;
                   info.iCtrlId = IDC_TRAY_ICON_FILE;
                   info.hItemHandle = GetDlgItem(dialog, IDC_TRAY_ICON_FILE);
                   SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
                   ClickButton(dialog, IDC_TRAY_ICON_OK);
               });
    EXPECT_EQ(kIconSourceGroup, choice.kind);
    EXPECT_EQ(5, choice.index);
    EXPECT_EQ(ProgramFolder() + "\\TrayIcons.dll", choice.file);
    ASSERT_EQ(1u, g_helpCalls.size());
    EXPECT_EQ(static_cast<UINT>(IDD_TRAY_ICON), g_helpCalls[0].dialog);
    EXPECT_EQ(IDC_TRAY_ICON_FILE, g_helpCalls[0].control);
}

// The real calls that Wine can make (never the suspension nor the end of the
// session): the privilege enabled in the process's token, and the screen
// saver the user chose, read where Windows keeps it.
TEST(SystemCommands, EnableThePrivilegeAndReadTheChosenScreenSaver)
{
    CSystemCommands system;
    ASSERT_EQ(0u, system.EnableShutdownPrivilege());
    LUID shutdown = {};
    ASSERT_TRUE(LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &shutdown));
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    std::vector<BYTE> buffer(4096);
    DWORD size = 0;
    const BOOL read = GetTokenInformation(token, TokenPrivileges, buffer.data(), static_cast<DWORD>(buffer.size()), &size);
    CloseHandle(token);
    ASSERT_TRUE(read);
    const auto* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    bool enabled = false;
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
        if (p.Luid.LowPart == shutdown.LowPart && p.Luid.HighPart == shutdown.HighPart)
            enabled = (p.Attributes & SE_PRIVILEGE_ENABLED) != 0;
    }
    EXPECT_TRUE(enabled);

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                                             KEY_SET_VALUE, nullptr, &key, nullptr));
    const auto set = [&](const std::wstring& value) {
        RegSetValueExW(key, L"SCRNSAVE.EXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    };
    RegDeleteValueW(key, L"SCRNSAVE.EXE");
    EXPECT_FALSE(system.ScreenSaverChosen());
    set(L"");
    EXPECT_FALSE(system.ScreenSaverChosen());
    set(L"C:\\windows\\system32\\\u041b\u0443\u043d\u0430.scr");
    EXPECT_TRUE(system.ScreenSaverChosen());
    set(L"C:\\" + std::wstring(300, L'\u0416') + L".scr");
    EXPECT_TRUE(system.ScreenSaverChosen()) << "longer than MAX_PATH";
    RegDeleteValueW(key, L"SCRNSAVE.EXE");
    RegCloseKey(key);
}
