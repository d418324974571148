// The desktop host under Wine, driven as the integration tests will drive
// it: a fresh desktop folder and a fresh host per test.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "tests/harness/HostSession.h"
#include "tests/harness/TestDesktop.h"
#include "tests/harness/Wait.h"

using namespace DesktopHostProtocol;
using Item = CDesktopHostClient::ItemRecord;
using View = CDesktopHostClient::ViewRecord;

namespace {
constexpr DWORD kChangeTimeoutMs = 10000;

std::string ClassOf(HWND hwnd)
{
    char name[256] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::multiset<std::string> AsSet(const std::vector<std::string>& labels)
{
    return std::multiset<std::string>(labels.begin(), labels.end());
}

bool Overlap(const RectRecord& a, const RectRecord& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// The labels the desktop folder gives the items of its directory, computed
// here independently of the host, plus the two items that are not files.
std::multiset<std::string> DesktopFolderLabels(const std::string& directory)
{
    std::multiset<std::string> labels = {"My Computer", "Recycle Bin"};
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)))
        return labels;
    IEnumIDList* items = nullptr;
    if (desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &items) == S_OK) {
        LPITEMIDLIST pidl = nullptr;
        while (items->Next(1, &pidl, nullptr) == S_OK) {
            STRRET name = {};
            char path[MAX_PATH] = {};
            char label[MAX_PATH] = {};
            if (SUCCEEDED(desktop->GetDisplayNameOf(pidl, SHGDN_FORPARSING, &name)) &&
                SUCCEEDED(StrRetToBufA(&name, pidl, path, sizeof(path))) &&
                _strnicmp(path, directory.c_str(), directory.size()) == 0 && path[directory.size()] == '\\' &&
                SUCCEEDED(desktop->GetDisplayNameOf(pidl, SHGDN_INFOLDER, &name)) &&
                SUCCEEDED(StrRetToBufA(&name, pidl, label, sizeof(label)))) {
                labels.insert(label);
            }
            CoTaskMemFree(pidl);
        }
        items->Release();
    }
    desktop->Release();
    return labels;
}

class DesktopHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(m_desktop.Open()) << "no test desktop folder";
    }
    void TearDown() override
    {
        m_session.Stop();
        m_desktop.Clear();
        CoUninitialize();
    }

    CDesktopHostClient& Host() { return m_session.Client(); }

    bool HasLabel(const std::string& label)
    {
        std::vector<std::string> labels = Host().Labels();
        return std::find(labels.begin(), labels.end(), label) != labels.end();
    }

    View ReadView()
    {
        View view = {};
        EXPECT_TRUE(Host().View(view));
        return view;
    }

    Item ItemNamed(const std::string& label)
    {
        Item item = {};
        EXPECT_TRUE(Host().FindItem(label, item)) << label;
        return item;
    }

    CTestDesktop m_desktop;
    CHostSession m_session;
};
}  // namespace

TEST_F(DesktopHostTest, WindowTreeIsTheShellsDesktop)
{
    ASSERT_TRUE(m_session.Start());
    HWND progman = FindWindowA("Progman", "Program Manager");
    ASSERT_NE(progman, nullptr);
    EXPECT_EQ(progman, Host().Progman());
    HWND defView = FindWindowExA(progman, nullptr, "SHELLDLL_DefView", nullptr);
    ASSERT_NE(defView, nullptr);
    EXPECT_EQ(defView, Host().DefView());
    HWND list = FindWindowExA(defView, nullptr, "SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list, Host().ListView());
    EXPECT_EQ(ClassOf(list), "SysListView32");

    View view = ReadView();
    EXPECT_EQ(view.style & LVS_TYPEMASK, static_cast<uint32_t>(LVS_ICON));
    EXPECT_EQ(view.style & LVS_AUTOARRANGE, 0u);
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    for (const RectRecord& rect : {view.progmanRect, view.defViewRect, view.listViewRect}) {
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.top, 0);
        EXPECT_EQ(rect.right, width);
        EXPECT_EQ(rect.bottom, height);
    }
    EXPECT_STRCASEEQ(view.folder, m_desktop.Folder().c_str());
}

TEST_F(DesktopHostTest, ItemsMatchTheFolder)
{
    ASSERT_TRUE(m_desktop.AddFile("readme.txt", "hello"));
    ASSERT_TRUE(m_desktop.AddFile("budget.csv"));
    ASSERT_TRUE(m_desktop.AddFolder("Projects"));
    ASSERT_TRUE(m_desktop.AddShortcut("Editor", "C:\\windows\\notepad.exe"));
    ASSERT_TRUE(m_session.Start());

    std::multiset<std::string> expected = {"My Computer", "Recycle Bin", "readme.txt",
                                           "budget.csv",  "Projects",    "Editor"};
    EXPECT_EQ(AsSet(Host().Labels()), expected);
    std::vector<Item> items;
    ASSERT_TRUE(Host().Items(items));
    EXPECT_EQ(static_cast<int>(items.size()), ReadView().itemCount);
    for (const Item& item : items) {
        EXPECT_GE(item.image, 0) << item.label << " has no system icon";
        EXPECT_GT(item.iconRect.right - item.iconRect.left, 0) << item.label;
        EXPECT_GT(item.iconRect.bottom - item.iconRect.top, 0) << item.label;
    }
    // The shortcut's icon is its target's, not a plain document's.
    EXPECT_NE(ItemNamed("Editor").image, ItemNamed("budget.csv").image);
}

TEST_F(DesktopHostTest, LabelsAreTheDesktopFoldersDisplayNames)
{
    for (const char* name :
         {"archive.tar.gz", "no extension", "UPPER.TXT", "two  spaces.txt", "caf\xe9.txt", "secret.txt"}) {
        ASSERT_TRUE(m_desktop.AddFile(name)) << name;
    }
    ASSERT_TRUE(SetFileAttributesA(m_desktop.PathOf("secret.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(m_desktop.AddShortcut("Link One", "C:\\windows\\notepad.exe"));
    ASSERT_TRUE(m_desktop.AddShortcut("Dangling", "C:\\nowhere\\missing.exe"));
    ASSERT_TRUE(m_session.Start());
    std::multiset<std::string> expected = DesktopFolderLabels(m_desktop.Folder());
    EXPECT_EQ(AsSet(Host().Labels()), expected);
    EXPECT_EQ(expected.count("Link One"), 1u);
    EXPECT_EQ(expected.count("Link One.lnk"), 0u);
    EXPECT_EQ(expected.count("Dangling"), 1u);
    // Hidden files stay hidden, as the shell's default settings have it.
    EXPECT_EQ(expected.count("secret.txt"), 0u);
}

TEST_F(DesktopHostTest, PositionGivenFromTheInsertNotificationIsKept)
{
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(Host().PlaceOnInsert("placed.txt", 613, 297));
    ASSERT_TRUE(m_desktop.AddFile("placed.txt"));
    ASSERT_TRUE(WaitFor([&] { return HasLabel("placed.txt"); }, kChangeTimeoutMs));
    ASSERT_TRUE(m_desktop.AddFile("free.txt"));
    ASSERT_TRUE(WaitFor([&] { return HasLabel("free.txt"); }, kChangeTimeoutMs));
    Item placed = ItemNamed("placed.txt");
    EXPECT_EQ(placed.x, 613);
    EXPECT_EQ(placed.y, 297);
    // The next new item takes the first free place of the first column.
    Item bin = ItemNamed("Recycle Bin");
    Item free = ItemNamed("free.txt");
    EXPECT_EQ(free.x, bin.x);
    EXPECT_EQ(free.y, bin.y + ReadView().iconSpacingY);
}

// The host runs in 1252, as the shell runs in the system's code page, yet
// shows names of every script and answers them in UTF-8, the longest whole
// (a Linux file name holds at most 255 bytes: 83 CJK characters and ".txt").
TEST_F(DesktopHostTest, NamesOfEveryScriptAreShownWhole)
{
    std::string longest;
    for (int i = 0; i < 83; ++i)
        longest += "日";
    longest += ".txt";  // 253 bytes
    const std::vector<std::string> names = {"Привет.txt", "日本.txt", longest};
    for (const std::string& name : names)
        ASSERT_TRUE(m_desktop.AddFile(name));
    ASSERT_TRUE(m_session.Start());
    std::vector<Item> items;
    ASSERT_TRUE(Host().Items(items));
    ASSERT_EQ(items.size(), 2u + names.size());
    for (const std::string& name : names)
        EXPECT_TRUE(HasLabel(name)) << name;
    ASSERT_LT(longest.size(), static_cast<size_t>(kLabelSize));
}

TEST_F(DesktopHostTest, StartsWithIconsInColumnsWithoutOverlap)
{
    for (int i = 0; i < 12; ++i)
        ASSERT_TRUE(m_desktop.AddFile("file" + std::to_string(i) + ".txt"));
    ASSERT_TRUE(m_session.Start());
    std::vector<Item> items;
    ASSERT_TRUE(Host().Items(items));
    ASSERT_EQ(items.size(), 14u);
    View view = ReadView();
    int rows = (view.listViewRect.bottom - view.listViewRect.top) / view.iconSpacingY;
    std::vector<RectRecord> cells;
    for (const Item& item : items) {
        // The item's box, one icon spacing in size: whole places of the grid.
        RectRecord box = item.boundsRect;
        EXPECT_EQ(box.left % view.iconSpacingX, 0) << item.label;
        EXPECT_EQ(box.top % view.iconSpacingY, 0) << item.label;
        for (const RectRecord& other : cells)
            EXPECT_FALSE(Overlap(box, other)) << item.label;
        cells.push_back(box);
    }
    // Column by column: the first column is full before the second is used.
    int inFirstColumn = 0;
    for (const RectRecord& cell : cells)
        inFirstColumn += cell.left == 0 ? 1 : 0;
    EXPECT_EQ(inFirstColumn, std::min(rows, 14));
    EXPECT_EQ(cells[0].left, 0);
    EXPECT_EQ(cells[0].top, 0);
}

TEST_F(DesktopHostTest, CreatedFileAppearsAndDeletedOneVanishes)
{
    ASSERT_TRUE(m_desktop.AddFile("stays.txt"));
    ASSERT_TRUE(m_desktop.AddFile("goes.txt"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(Host().ResetCounters());

    ASSERT_TRUE(m_desktop.AddFile("arrives.txt"));
    EXPECT_TRUE(WaitFor([&] { return HasLabel("arrives.txt"); }, kChangeTimeoutMs));
    ASSERT_TRUE(m_desktop.Remove("goes.txt"));
    EXPECT_TRUE(WaitFor([&] { return !HasLabel("goes.txt"); }, kChangeTimeoutMs));
    ASSERT_TRUE(m_desktop.AddShortcut("Late Link", "C:\\windows\\notepad.exe"));
    EXPECT_TRUE(WaitFor([&] { return HasLabel("Late Link"); }, kChangeTimeoutMs));

    std::multiset<std::string> expected = {"My Computer", "Recycle Bin", "stays.txt", "arrives.txt", "Late Link"};
    EXPECT_EQ(AsSet(Host().Labels()), expected);
    View view = ReadView();
    EXPECT_EQ(CDesktopHostClient::Count(view, LVN_INSERTITEM), 2u);
    EXPECT_EQ(CDesktopHostClient::Count(view, LVN_DELETEITEM), 1u);
}

TEST_F(DesktopHostTest, RenamedFileChangesItsItem)
{
    ASSERT_TRUE(m_desktop.AddFile("before.txt"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(m_desktop.Rename("before.txt", "after.txt"));
    EXPECT_TRUE(WaitFor([&] { return HasLabel("after.txt") && !HasLabel("before.txt"); }, kChangeTimeoutMs));
    EXPECT_EQ(ReadView().itemCount, 3);
}

TEST_F(DesktopHostTest, NewItemTakesTheFirstFreePlace)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(m_desktop.AddFile("f" + std::to_string(i) + ".txt"));
    ASSERT_TRUE(m_session.Start());
    Item gone = ItemNamed("f1.txt");
    ASSERT_TRUE(m_desktop.Remove("f1.txt"));
    ASSERT_TRUE(WaitFor([&] { return !HasLabel("f1.txt"); }, kChangeTimeoutMs));
    ASSERT_TRUE(m_desktop.AddFile("new.txt"));
    ASSERT_TRUE(WaitFor([&] { return HasLabel("new.txt"); }, kChangeTimeoutMs));
    Item arrived = ItemNamed("new.txt");
    EXPECT_EQ(arrived.x, gone.x);
    EXPECT_EQ(arrived.y, gone.y);
}

TEST_F(DesktopHostTest, NotificationsReachTheParent)
{
    ASSERT_TRUE(m_desktop.AddFile("a.txt"));
    ASSERT_TRUE(m_desktop.AddFile("b.txt"));
    ASSERT_TRUE(m_session.Start());
    View start = ReadView();
    // The first load inserted every item, each reported to the parent.
    EXPECT_EQ(CDesktopHostClient::Count(start, LVN_INSERTITEM), 4u);

    ASSERT_TRUE(Host().ResetCounters());
    Item a = ItemNamed("a.txt");
    ASSERT_TRUE(Host().Select(a.index, true));
    View selected = ReadView();
    EXPECT_GE(CDesktopHostClient::Count(selected, LVN_ITEMCHANGED), 1u);
    ASSERT_GE(selected.recentCount, 1u);
    bool sawSelection = false;
    for (uint32_t i = 0; i < selected.recentCount; ++i) {
        const NotificationRecord& n = selected.recent[i];
        if (n.code == static_cast<int32_t>(LVN_ITEMCHANGED) && n.item == a.index && (n.newState & LVIS_SELECTED) &&
            !(n.oldState & LVIS_SELECTED)) {
            sawSelection = true;
        }
    }
    EXPECT_TRUE(sawSelection);

    ASSERT_TRUE(Host().ResetCounters());
    ASSERT_TRUE(Host().Refresh());
    View refreshed = ReadView();
    EXPECT_EQ(CDesktopHostClient::Count(refreshed, LVN_DELETEALLITEMS), 1u);
    EXPECT_EQ(CDesktopHostClient::Count(refreshed, LVN_INSERTITEM), 4u);
    EXPECT_EQ(refreshed.itemCount, 4);
}

TEST_F(DesktopHostTest, PositionsAreExactAfterAMove)
{
    ASSERT_TRUE(m_desktop.AddFile("moved.txt"));
    ASSERT_TRUE(m_desktop.AddFile("other.txt"));
    ASSERT_TRUE(m_session.Start());
    Item moved = ItemNamed("moved.txt");
    Item other = ItemNamed("other.txt");
    ASSERT_TRUE(Host().Move(moved.index, 333, 217));
    ASSERT_TRUE(Host().Move(other.index, 401, 3));
    Item now = ItemNamed("moved.txt");
    EXPECT_EQ(now.x, 333);
    EXPECT_EQ(now.y, 217);
    EXPECT_EQ(now.iconRect.left - now.x, moved.iconRect.left - moved.x);
    EXPECT_EQ(now.iconRect.top - now.y, moved.iconRect.top - moved.y);

    // A new item does not disturb the others (no arranging, no snapping).
    ASSERT_TRUE(m_desktop.AddFile("third.txt"));
    ASSERT_TRUE(WaitFor([&] { return HasLabel("third.txt"); }, kChangeTimeoutMs));
    EXPECT_EQ(ItemNamed("moved.txt").x, 333);
    EXPECT_EQ(ItemNamed("moved.txt").y, 217);
    EXPECT_EQ(ItemNamed("other.txt").x, 401);
    EXPECT_EQ(ItemNamed("other.txt").y, 3);
    // And a reload keeps every position.
    ASSERT_TRUE(Host().Refresh());
    EXPECT_EQ(ItemNamed("moved.txt").x, 333);
    EXPECT_EQ(ItemNamed("other.txt").y, 3);
}

TEST_F(DesktopHostTest, PostedKeysMoveTheFocusAndSelection)
{
    ASSERT_TRUE(m_desktop.AddFile("one.txt"));
    ASSERT_TRUE(m_desktop.AddFile("two.txt"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(Host().Focus());
    // My Computer sits at the top of the first column, Recycle Bin below it.
    Item top = ItemNamed("My Computer");
    Item below = ItemNamed("Recycle Bin");
    ASSERT_LT(top.y, below.y);
    ASSERT_TRUE(Host().SetState(top.index, kStateSelected | kStateFocused, kStateSelected | kStateFocused));
    ASSERT_EQ(ReadView().focusedItem, top.index);
    ASSERT_TRUE(Host().ResetCounters());

    ASSERT_TRUE(Host().PostKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return ReadView().focusedItem == below.index; }, kChangeTimeoutMs));
    View view = ReadView();
    EXPECT_EQ(view.selectedCount, 1);
    EXPECT_EQ(ItemNamed("Recycle Bin").state & kStateSelected, kStateSelected);
    EXPECT_EQ(ItemNamed("My Computer").state & kStateSelected, 0u);
    EXPECT_EQ(CDesktopHostClient::Count(view, LVN_KEYDOWN), 1u);
    EXPECT_EQ(view.recent[0].code, static_cast<int32_t>(LVN_KEYDOWN));
    EXPECT_EQ(view.recent[0].item, static_cast<int32_t>(VK_DOWN));

    ASSERT_TRUE(Host().PostKey(VK_UP));
    EXPECT_TRUE(WaitFor([&] { return ReadView().focusedItem == top.index; }, kChangeTimeoutMs));
}

TEST_F(DesktopHostTest, F5ReloadsTheFolder)
{
    ASSERT_TRUE(m_desktop.AddFile("x.txt"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(Host().ResetCounters());
    ASSERT_TRUE(Host().PostKey(VK_F5));
    EXPECT_TRUE(
        WaitFor([&] { return CDesktopHostClient::Count(ReadView(), LVN_DELETEALLITEMS) == 1; }, kChangeTimeoutMs));
    EXPECT_EQ(ReadView().itemCount, 3);
}

TEST_F(DesktopHostTest, SelectionOfSeveralAndOfAll)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(m_desktop.AddFile("s" + std::to_string(i) + ".txt"));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(Host().Select(ItemNamed("s0.txt").index, true));
    ASSERT_TRUE(Host().Select(ItemNamed("s2.txt").index, true));
    EXPECT_EQ(ReadView().selectedCount, 2);
    EXPECT_EQ(ItemNamed("s1.txt").state & kStateSelected, 0u);
    ASSERT_TRUE(Host().Select(-1, true));
    EXPECT_EQ(ReadView().selectedCount, 5);
    ASSERT_TRUE(Host().Select(-1, false));
    EXPECT_EQ(ReadView().selectedCount, 0);
}

TEST_F(DesktopHostTest, ColoursAndStyleAreTheListViewsOwn)
{
    ASSERT_TRUE(m_session.Start());
    View view = ReadView();
    HWND list = Host().ListView();
    // The style is readable from outside too; the answer must agree.
    EXPECT_EQ(view.style, static_cast<uint32_t>(GetWindowLongPtrA(list, GWL_STYLE)));
    EXPECT_EQ(view.bkColor, static_cast<uint32_t>(GetSysColor(COLOR_DESKTOP)));
    EXPECT_EQ(view.textBkColor, view.bkColor);
    EXPECT_NE(view.textColor, view.textBkColor);
}

TEST_F(DesktopHostTest, BroadcastsTaskbarCreatedAtStart)
{
    static UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    static int received = 0;
    received = 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == taskbarCreated)
            ++received;
        return DefWindowProcA(hwnd, message, wParam, lParam);
    };
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DervaneTaskbarCreatedProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowExA(0, wc.lpszClassName, "probe", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance,
                                 nullptr);
    ASSERT_NE(probe, nullptr);
    ASSERT_TRUE(m_session.Start());
    bool got = WaitFor(
        [&] {
            MSG msg = {};
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&msg);
            return received > 0;
        },
        kChangeTimeoutMs);
    DestroyWindow(probe);
    EXPECT_TRUE(got);
    EXPECT_EQ(received, 1);
}

TEST_F(DesktopHostTest, DisplayChangeInAVirtualDesktopResizesTheHost)
{
    ASSERT_TRUE(m_desktop.AddFile("kept.txt"));
    ASSERT_TRUE(m_session.StartOnVirtualDesktop("DervaneHostTest", 800, 600));
    View before = ReadView();
    EXPECT_EQ(before.screenWidth, 800);
    EXPECT_EQ(before.progmanRect.right, 800);
    EXPECT_EQ(before.listViewRect.bottom, 600);
    ASSERT_TRUE(Host().Move(ItemNamed("kept.txt").index, 500, 400));

    std::string helper = "\"" + CChildProcess::ModuleFolder() + "DisplayMode.exe\" 1024 768";
    ASSERT_EQ(m_session.RunOnDesktop(helper, kChangeTimeoutMs), 0);
    ASSERT_TRUE(WaitFor([&] { return ReadView().listViewRect.right == 1024; }, kChangeTimeoutMs));
    View after = ReadView();
    EXPECT_EQ(after.screenWidth, 1024);
    EXPECT_EQ(after.screenHeight, 768);
    EXPECT_GE(after.displayChanges, 1u);
    for (const RectRecord& rect : {after.progmanRect, after.defViewRect, after.listViewRect}) {
        EXPECT_EQ(rect.right - rect.left, 1024);
        EXPECT_EQ(rect.bottom - rect.top, 768);
    }
    // The host itself moves no icon on a display change.
    EXPECT_EQ(ItemNamed("kept.txt").x, 500);
    EXPECT_EQ(ItemNamed("kept.txt").y, 400);
}

TEST_F(DesktopHostTest, StoppingLeavesNoProcessBehind)
{
    ASSERT_TRUE(m_session.StartOnVirtualDesktop("DervaneStopTest", 640, 480));
    ScopedHandle host(OpenProcess(SYNCHRONIZE, FALSE, m_session.Host().Pid()));
    ScopedHandle explorer(OpenProcess(SYNCHRONIZE, FALSE, m_session.Explorer().Pid()));
    ASSERT_TRUE(host.IsValid());
    ASSERT_TRUE(explorer.IsValid());
    EXPECT_EQ(WaitForSingleObject(host.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    m_session.Stop();
    EXPECT_EQ(WaitForSingleObject(host.Get(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(explorer.Get(), 0), WAIT_OBJECT_0);

    ASSERT_TRUE(m_session.Start());
    ASSERT_NE(FindWindowA("Progman", "Program Manager"), nullptr);
    m_session.Stop();
    EXPECT_EQ(FindWindowA("Progman", "Program Manager"), nullptr);
}

TEST_F(DesktopHostTest, ChildProcessEndsWithItsOwner)
{
    DWORD pid = 0;
    {
        CChildProcess child;
        ASSERT_TRUE(child.Start("\"" + CHostSession::HostPath() + "\""));
        pid = child.Pid();
        ASSERT_TRUE(child.Running());
    }
    ScopedHandle gone(OpenProcess(SYNCHRONIZE, FALSE, pid));
    EXPECT_TRUE(!gone.IsValid() || WaitForSingleObject(gone.Get(), 0) == WAIT_OBJECT_0);
}

TEST_F(DesktopHostTest, TestDesktopRefusesNamesOutsideItsFolder)
{
    EXPECT_FALSE(m_desktop.AddFile("..\\escaped.txt"));
    EXPECT_FALSE(m_desktop.AddFile("sub/escaped.txt"));
    EXPECT_FALSE(m_desktop.AddFile("C:escaped.txt"));
    EXPECT_FALSE(m_desktop.AddFile(".."));
    EXPECT_FALSE(m_desktop.Remove(".."));
    EXPECT_FALSE(m_desktop.AddShortcut("..\\up", "C:\\windows\\notepad.exe"));
    std::string parent = m_desktop.Folder().substr(0, m_desktop.Folder().find_last_of('\\'));
    EXPECT_EQ(GetFileAttributesA((parent + "\\escaped.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(m_desktop.AddFile("inside.txt"));
    EXPECT_NE(GetFileAttributesA(m_desktop.PathOf("inside.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(m_desktop.Clear());
    EXPECT_EQ(GetFileAttributesA(m_desktop.PathOf("inside.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}
