// Shortcuts layouts and layout shortcuts through the hook library's
// requests, against the desktop host and the shell's own link objects.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/KeyedTextFile.h"
#include "hook/DervaneHook.h"
#include "tests/harness/Wait.h"
#include "tests/hook/HookTestSupport.h"

namespace {

// What a shell link file holds, read with the shell's own link object.
struct LinkInfo {
    bool ok = false;
    std::string target, arguments, workingFolder, description, iconFile;
    int iconIndex = -1;
};

LinkInfo ReadLink(const std::string& path)
{
    LinkInfo info;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return info;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = {};
        WIN32_FIND_DATAA found = {};
        info.ok = true;
        if (link->GetPath(text, MAX_PATH, &found, SLGP_RAWPATH) == S_OK)
            info.target = text;
        if (SUCCEEDED(link->GetArguments(text, MAX_PATH)))
            info.arguments = text;
        if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH)))
            info.workingFolder = text;
        if (SUCCEEDED(link->GetDescription(text, MAX_PATH)))
            info.description = text;
        int index = -1;
        if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &index))) {
            info.iconFile = text;
            info.iconIndex = index;
        }
    }
    if (file)
        file->Release();
    link->Release();
    return info;
}

// The records of a layout file, key to value.
std::map<std::string, std::string> Records(const std::string& bytes)
{
    std::map<std::string, std::string> records;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos)
            break;
        const std::string line = bytes.substr(start, end - start);
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            records.emplace(line.substr(0, tab), line.substr(tab + 1));
        start = end + 2;
    }
    return records;
}

std::vector<std::string> Fields(const std::string& value)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = value.find('\t', start);
        fields.push_back(value.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

class HookShortcutsTest : public CHookedDesktopTest {
protected:
    void SetUp() override
    {
        CHookedDesktopTest::SetUp();
        ASSERT_TRUE(m_desktop.AddShortcut("Editor", "C:\\windows\\notepad.exe", "/p todo.txt", "Plain text"));
        ASSERT_TRUE(m_desktop.AddShortcut("Registry", "C:\\windows\\regedit.exe"));
        ASSERT_TRUE(m_desktop.AddFile("Notes.txt"));
        ASSERT_TRUE(m_desktop.AddFolder("Projects"));
        ASSERT_TRUE(StartAndAttach());
        ASSERT_EQ(0ul, SendSettings(DefaultSettings()));
    }

    void SelectOnly(const std::vector<std::string>& labels)
    {
        ASSERT_TRUE(Host().Select(-1, false));
        for (const std::string& label : labels)
            ASSERT_TRUE(Host().Select(ItemNamed(label).index, true)) << label;
    }

    std::string LinkPath(const std::string& name) const { return m_desktop.PathOf(name + ".lnk"); }
};

const char kAppearance[] =
    "ICON_TEXT_COLOR_FG\t16777215\r\nICON_TEXT_COLOR_BG\t0\r\nICON_TEXT_BG\t0\r\nICON_STYLE\t0\r\n";

TEST_F(HookShortcutsTest, SavesExactlyTheSelectedItems)
{
    MoveItem("Editor", 400, 300);
    SelectOnly({"Editor", "Notes.txt"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "two.dvl"));
    const std::string bytes = ReadFileBytes(ShortcutsFile("two.dvl"));
    EXPECT_EQ(0u,
              bytes.find("KTX_FILE\tDERVANE ICON SHORTCUTS\r\nVERSION\t1.0\r\nLOADED\t1\r\n" +
                         std::string(kAppearance) + "ICON_0\t"));
    auto records = Records(bytes);
    ASSERT_EQ(9u, records.size()) << bytes;
    std::map<std::string, std::vector<std::string>> byLabel;
    for (const char* key : {"ICON_0", "ICON_1"}) {
        ASSERT_EQ(1u, records.count(key)) << key;
        const auto fields = Fields(records[key]);
        byLabel[fields[0]] = fields;
    }
    ASSERT_EQ(1u, byLabel.count("Editor"));
    ASSERT_EQ(1u, byLabel.count("Notes.txt"));
    const Item notes = ItemNamed("Notes.txt");
    const std::vector<std::string> plain = {"Notes.txt",
                                            std::to_string(notes.x) + "," + std::to_string(notes.y),
                                            m_desktop.PathOf("Notes.txt"),
                                            "0",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "0",
                                            "0",
                                            "0"};
    EXPECT_EQ(plain, byLabel["Notes.txt"]) << "a plain file: fields 3 to 11 empty or 0";
    const auto& editor = byLabel["Editor"];
    ASSERT_EQ(12u, editor.size());
    EXPECT_EQ("400,300", editor[1]);
    EXPECT_EQ(LinkPath("Editor"), editor[2]);
    EXPECT_EQ("0", editor[3]);
    EXPECT_EQ(0, _stricmp("C:\\windows\\notepad.exe", editor[4].c_str())) << editor[4];
    EXPECT_EQ("/p todo.txt", editor[5]);
    EXPECT_EQ("Plain text", editor[7]);
    EXPECT_FALSE(editor[8].empty()) << "the shell's icon for a link without one of its own";
    EXPECT_EQ(std::to_string(SW_SHOWNORMAL), editor[10]);
}

TEST_F(HookShortcutsTest, WithoutSelectionSavesEveryDesktopItem)
{
    ASSERT_TRUE(Host().Select(-1, false));
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "all.dvl"));
    std::set<std::string> labels;
    for (const auto& record : Records(ReadFileBytes(ShortcutsFile("all.dvl")))) {
        if (record.first.compare(0, 5, "ICON_") == 0 && record.first.find("ICON_TEXT") != 0 &&
            record.first != "ICON_STYLE")
            labels.insert(Fields(record.second)[0]);
    }
    for (const char* label : {"Editor", "Registry", "Notes.txt", "Projects"})
        EXPECT_EQ(1u, labels.count(label)) << label;
}

TEST_F(HookShortcutsTest, LoadingTwiceRemovesThenRestoresTheLinks)
{
    MoveItem("Editor", 400, 300);
    MoveItem("Registry", 500, 300);
    SelectOnly({"Editor", "Registry"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "links.dvl"));
    ASSERT_EQ(2u, Records(ReadFileBytes(ShortcutsFile("links.dvl"))).size() - 7);

    m_program.Forget();
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "links.dvl"));
    ASSERT_EQ(1u, m_program.Notifications().size());
    EXPECT_EQ(HOOKMSG_SHORTCUTS_LOADED, m_program.Notifications()[0].first);
    EXPECT_EQ("links.dvl", m_program.Notifications()[0].second);
    EXPECT_EQ("0", Records(ReadFileBytes(ShortcutsFile("links.dvl")))["LOADED"]);
    EXPECT_TRUE(WaitForItem("Editor", false));
    EXPECT_TRUE(WaitForItem("Registry", false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(LinkPath("Editor").c_str()));
    EXPECT_TRUE(HasItem("Notes.txt"));
    MoveItem("Notes.txt", 400, 300);  // the old place is taken meanwhile

    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "links.dvl"));
    EXPECT_EQ("1", Records(ReadFileBytes(ShortcutsFile("links.dvl")))["LOADED"]);
    ASSERT_TRUE(WaitForItem("Editor"));
    ASSERT_TRUE(WaitForItem("Registry"));
    EXPECT_EQ(400, ItemNamed("Editor").x);
    EXPECT_EQ(300, ItemNamed("Editor").y);
    EXPECT_EQ(500, ItemNamed("Registry").x);
    const LinkInfo editor = ReadLink(LinkPath("Editor"));
    ASSERT_TRUE(editor.ok);
    EXPECT_EQ(0, _stricmp("C:\\windows\\notepad.exe", editor.target.c_str())) << editor.target;
    EXPECT_EQ("/p todo.txt", editor.arguments);
    EXPECT_EQ("Plain text", editor.description);
}

// A link named, described and with arguments in Cyrillic, in the desktop's
// process of the system's code page (1252): saved, removed and made again
// with every text whole.
TEST_F(HookShortcutsTest, LinkInAnotherScriptIsRemovedAndMadeAgainWhole)
{
    ASSERT_TRUE(m_desktop.AddShortcut("Редактор", "C:\\windows\\notepad.exe", "/p заметки.txt", "Простой текст"));
    ASSERT_TRUE(WaitForItem("Редактор"));
    MoveItem("Редактор", 420, 310);
    SelectOnly({"Редактор"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "cyrillic.dvl"));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "cyrillic.dvl"));
    EXPECT_TRUE(WaitForItem("Редактор", false));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(LinkPath("Редактор").c_str()));

    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "cyrillic.dvl"));
    ASSERT_TRUE(WaitForItem("Редактор"));
    EXPECT_EQ(420, ItemNamed("Редактор").x);
    EXPECT_EQ(310, ItemNamed("Редактор").y);
    const LinkInfo link = ReadLink(LinkPath("Редактор"));
    ASSERT_TRUE(link.ok);
    EXPECT_EQ("/p заметки.txt", link.arguments);
    EXPECT_EQ("Простой текст", link.description);
}

// Removing a layout takes away only the links it describes: a link of the
// same name pointed elsewhere, or at the same program with other arguments,
// is the user's and stays.
TEST_F(HookShortcutsTest, ALinkOfTheNameWithAnotherTargetOrArgumentsIsKeptWhenItsLayoutIsRemoved)
{
    ASSERT_TRUE(m_desktop.AddShortcut("Help", "C:\\windows\\winhlp32.exe"));
    ASSERT_TRUE(WaitForItem("Help"));
    SelectOnly({"Editor", "Registry", "Help"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "links.dvl"));
    ASSERT_TRUE(m_desktop.AddShortcut("Editor", "C:\\windows\\winhlp32.exe"));
    ASSERT_TRUE(m_desktop.AddShortcut("Registry", "C:\\windows\\regedit.exe", "/s other.reg"));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "links.dvl"));
    EXPECT_TRUE(WaitForItem("Help", false));
    EXPECT_TRUE(HasItem("Editor"));
    EXPECT_TRUE(HasItem("Registry"));
    const LinkInfo editor = ReadLink(LinkPath("Editor"));
    ASSERT_TRUE(editor.ok);
    EXPECT_EQ(0, _stricmp("C:\\windows\\winhlp32.exe", editor.target.c_str())) << editor.target;
    EXPECT_EQ("/s other.reg", ReadLink(LinkPath("Registry")).arguments);
}

TEST_F(HookShortcutsTest, PlainFilesOfALayoutAreNeitherRemovedNorMadeLinks)
{
    SelectOnly({"Notes.txt", "Projects"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "files.dvl"));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "files.dvl"));
    EXPECT_EQ(FILE_ATTRIBUTE_ARCHIVE,
              GetFileAttributesA(m_desktop.PathOf("Notes.txt").c_str()) &
                  (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_NE(0u, GetFileAttributesA(m_desktop.PathOf("Projects").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(m_desktop.Remove("Notes.txt"));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "files.dvl"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_desktop.PathOf("Notes.txt").c_str()))
        << "a record without a target makes no link";
}

TEST_F(HookShortcutsTest, ShortRecordsAreMovedAsTheyStand)
{
    ASSERT_TRUE(WriteLayout(ShortcutsFile("system.dvl"),
                            {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", "LOADED\t1",
                             "ICON_TEXT_COLOR_FG\t16777215", "ICON_TEXT_COLOR_BG\t0", "ICON_TEXT_BG\t0",
                             "ICON_STYLE\t0", "ICON_0\tRecycle Bin\t700,500", "ICON_1\tMy Computer\t-40,30"}));
    for (int round = 0; round < 2; ++round) {
        MoveItem("Recycle Bin", 10, 10);
        ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "system.dvl"));
        EXPECT_EQ(700, ItemNamed("Recycle Bin").x) << "round " << round;
        EXPECT_EQ(500, ItemNamed("Recycle Bin").y);
        EXPECT_EQ(-40, ItemNamed("My Computer").x) << "no clamping";
    }
}

TEST_F(HookShortcutsTest, LoadedStateThatCannotBeToggledIsReported)
{
    SelectOnly({"Registry"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "ten.dvl"));
    std::string bytes = ReadFileBytes(ShortcutsFile("ten.dvl"));
    bytes.replace(bytes.find("LOADED\t1\r\n"), 10, "LOADED\t10\r\n");
    ASSERT_TRUE(WriteFileBytes(ShortcutsFile("ten.dvl"), bytes));
    EXPECT_EQ(0ul, Send(HOOKMSG_LOAD_SHORTCUTS, "ten.dvl"));
    EXPECT_TRUE(WaitForItem("Registry", false)) << "state 10 is a loaded state: its links go";
    EXPECT_EQ(bytes, ReadFileBytes(ShortcutsFile("ten.dvl"))) << "the file keeps its old state";

    // Without a state record the links are made, as for state 0.
    bytes.erase(bytes.find("LOADED\t10\r\n"), 11);
    ASSERT_TRUE(WriteFileBytes(ShortcutsFile("none.dvl"), bytes));
    EXPECT_EQ(0ul, Send(HOOKMSG_LOAD_SHORTCUTS, "none.dvl"));
    EXPECT_TRUE(WaitForItem("Registry"));
    EXPECT_EQ(bytes, ReadFileBytes(ShortcutsFile("none.dvl")));
    const auto lines = ReadErrorLog(m_folder);
    EXPECT_EQ(2, CountLines(lines, "WARNING: Could not toggle loaded status of layout file: "));
}

TEST_F(HookShortcutsTest, RecordsNeverTouchFilesOutsideTheDesktop)
{
    // A real link outside the desktop, named by a record as if it were one of the layout's.
    const std::string outside = m_folder + "\\victim.lnk";
    CopyFileA(LinkPath("Registry").c_str(), outside.c_str(), FALSE);
    ASSERT_TRUE(ReadLink(outside).ok);
    const std::string target = ReadLink(outside).target;
    const std::string tail = "\t0\t" + target + "\t\t\t\t\t0\t1\t0";
    const std::string dotted = m_desktop.Folder() + "\\..\\victim.lnk";
    CopyFileA(outside.c_str(), dotted.c_str(), FALSE);
    for (const char* state : {"1", "0"}) {
        ASSERT_TRUE(WriteLayout(ShortcutsFile("evil.dvl"),
                                {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", std::string("LOADED\t") + state,
                                 "ICON_STYLE\t0", "ICON_0\tRegistry\t1,1\t" + outside + tail,
                                 "ICON_1\tRegistry\t1,1\t" + dotted + tail,
                                 "ICON_2\tMade\t1,1\t" + m_folder + "\\made.lnk" + tail}));
        EXPECT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "evil.dvl")) << "state " << state;
    }
    EXPECT_TRUE(ReadLink(outside).ok);
    EXPECT_TRUE(ReadLink(dotted).ok);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((m_folder + "\\made.lnk").c_str()));
    const auto lines = ReadErrorLog(m_folder);
    EXPECT_EQ(3, CountLines(lines, "WARNING: Refused to remove a file outside the desktop: "));
    EXPECT_EQ(3, CountLines(lines, "WARNING: Refused to create a shortcut outside the desktop: "));
    DeleteFileA(dotted.c_str());
}

TEST_F(HookShortcutsTest, IconifyMakesALayoutShortcutWithTheLayoutsState)
{
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_POSITIONS, "Home.dvl"));
    const std::string home = PositionsFile("Home.dvl");
    ASSERT_EQ(1ul, Send(HOOKMSG_ICONIFY_POSITIONS, home));
    ASSERT_TRUE(WaitForItem("Home"));
    LinkInfo link = ReadLink(LinkPath("Home"));
    ASSERT_TRUE(link.ok);
    EXPECT_EQ(home, link.target);
    EXPECT_EQ(m_folder, link.workingFolder);
    EXPECT_EQ("Home", link.description);
    EXPECT_EQ(m_folder + "\\Dervane.exe", link.iconFile);
    EXPECT_EQ(3, link.iconIndex);

    // One of that name is there already: kept as it is.
    ASSERT_TRUE(WriteLayout(ShortcutsFile("Home.dvl"), {"KTX_FILE\tDERVANE ICON SHORTCUTS", "LOADED\t1"}));
    EXPECT_EQ(0ul, Send(HOOKMSG_ICONIFY_SHORTCUTS, ShortcutsFile("Home.dvl")));
    EXPECT_EQ(home, ReadLink(LinkPath("Home")).target);
    EXPECT_EQ(3, ReadLink(LinkPath("Home")).iconIndex);

    // Unreadable or of the other kind: the program's own icon, and a log line.
    ASSERT_EQ(1ul, Send(HOOKMSG_ICONIFY_SHORTCUTS, ShortcutsFile("Gone.dvl")));
    EXPECT_EQ(0, ReadLink(LinkPath("Gone")).iconIndex);
    ASSERT_TRUE(WriteLayout(PositionsFile("Trip.dvl"), {"KTX_FILE\tDERVANE ICON SHORTCUTS"}));
    ASSERT_EQ(1ul, Send(HOOKMSG_ICONIFY_POSITIONS, PositionsFile("Trip.dvl")));
    EXPECT_EQ(0, ReadLink(LinkPath("Trip")).iconIndex);
    const auto lines = ReadErrorLog(m_folder);
    EXPECT_EQ(1, CountLines(lines, "WARNING: Cannot open icon layout file: "));
    EXPECT_EQ(1, CountLines(lines, "WARNING: Invalid icon layout file: "));
}

TEST_F(HookShortcutsTest, LayoutShortcutIconFollowsEachLoad)
{
    ASSERT_TRUE(WriteLayout(ShortcutsFile("Trip.dvl"),
                            {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", "LOADED\t1", "ICON_STYLE\t0"}));
    ASSERT_EQ(1ul, Send(HOOKMSG_ICONIFY_SHORTCUTS, ShortcutsFile("Trip.dvl")));
    ASSERT_TRUE(WaitForItem("Trip"));
    EXPECT_EQ(1, ReadLink(LinkPath("Trip")).iconIndex) << "its shortcuts are on the desktop";
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "Trip.dvl"));
    LinkInfo link = ReadLink(LinkPath("Trip"));
    EXPECT_EQ(2, link.iconIndex);
    EXPECT_EQ(m_folder + "\\Dervane.exe", link.iconFile);
    EXPECT_EQ(ShortcutsFile("Trip.dvl"), link.target);
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "Trip.dvl"));
    EXPECT_EQ(1, ReadLink(LinkPath("Trip")).iconIndex);
}

TEST_F(HookShortcutsTest, ItemOfTheLayoutsNameThatIsNoLinkToItStays)
{
    ASSERT_TRUE(WriteLayout(ShortcutsFile("Projects.dvl"),
                            {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", "LOADED\t1", "ICON_STYLE\t0"}));
    ASSERT_TRUE(WriteFileBytes(m_desktop.PathOf("Projects") + "\\plan.txt", "plan"));
    ASSERT_TRUE(WriteLayout(ShortcutsFile("Registry.dvl"),
                            {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", "LOADED\t1", "ICON_STYLE\t0"}));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "Projects.dvl"));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "Registry.dvl"));
    EXPECT_NE(0u, GetFileAttributesA(m_desktop.PathOf("Projects").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("plan", ReadFileBytes(m_desktop.PathOf("Projects") + "\\plan.txt"));
    const LinkInfo registry = ReadLink(LinkPath("Registry"));
    EXPECT_EQ(0, _stricmp("C:\\windows\\regedit.exe", registry.target.c_str())) << "a link elsewhere is kept";
    EXPECT_NE(m_folder + "\\Dervane.exe", registry.iconFile);

    // The shortcut of the positions layout of the same name keeps its icon.
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_POSITIONS, "Trip.dvl"));
    ASSERT_EQ(1ul, Send(HOOKMSG_ICONIFY_POSITIONS, PositionsFile("Trip.dvl")));
    ASSERT_EQ(3, ReadLink(LinkPath("Trip")).iconIndex);
    ASSERT_TRUE(WriteLayout(ShortcutsFile("Trip.dvl"),
                            {"KTX_FILE\tDERVANE ICON SHORTCUTS", "VERSION\t1.0", "LOADED\t1", "ICON_STYLE\t0"}));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "Trip.dvl"));
    EXPECT_EQ(3, ReadLink(LinkPath("Trip")).iconIndex);
    EXPECT_EQ(PositionsFile("Trip.dvl"), ReadLink(LinkPath("Trip")).target);
}

// A link named name on the desktop to the shell object of csidl; answers its
// item identifier list (free with CoTaskMemFree), null on failure.
LPITEMIDLIST MakeObjectLink(const std::string& path, int csidl)
{
    LPITEMIDLIST object = nullptr;
    if (SHGetSpecialFolderLocation(nullptr, csidl, &object) != S_OK)
        return nullptr;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetIDList(object)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    if (!saved) {
        CoTaskMemFree(object);
        return nullptr;
    }
    return object;
}

// The item identifier list a link file points at, or null.
LPITEMIDLIST LinkTarget(const std::string& path)
{
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    LPITEMIDLIST list = nullptr;
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ)) && link->GetIDList(&list) != S_OK) {
        list = nullptr;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    return list;
}

// A link to a shell object that is no file (here the control panel): saved
// as a path of display names, made again pointing at the same object.
TEST_F(HookShortcutsTest, LinkToAShellObjectIsSavedByNamesAndMadeAgain)
{
    LPITEMIDLIST object = MakeObjectLink(LinkPath("Settings"), CSIDL_CONTROLS);
    ASSERT_NE(nullptr, object);
    ASSERT_TRUE(WaitForItem("Settings"));
    SelectOnly({"Settings"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "panel.dvl"));
    const auto fields = Fields(Records(ReadFileBytes(ShortcutsFile("panel.dvl")))["ICON_0"]);
    ASSERT_EQ(12u, fields.size());
    EXPECT_EQ("1", fields[3]) << "a path of names";
    EXPECT_EQ("My Computer\\Control Panel", fields[4]);

    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "panel.dvl"));
    ASSERT_TRUE(WaitForItem("Settings", false));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "panel.dvl"));
    ASSERT_TRUE(WaitForItem("Settings"));
    LPITEMIDLIST made = LinkTarget(LinkPath("Settings"));
    ASSERT_NE(nullptr, made);
    EXPECT_TRUE(ILIsEqual(object, made)) << "points at the same object";
    CoTaskMemFree(made);
    CoTaskMemFree(object);
}

// The names of a shell object that the folders above it do not list cannot
// be followed: no link is made rather than one that points nowhere.
TEST_F(HookShortcutsTest, NamesThatLeadNowhereMakeNoLink)
{
    LPITEMIDLIST object = MakeObjectLink(LinkPath("Printers"), CSIDL_PRINTERS);
    ASSERT_NE(nullptr, object);
    CoTaskMemFree(object);
    ASSERT_TRUE(WaitForItem("Printers"));
    SelectOnly({"Printers"});
    ASSERT_EQ(1ul, Send(HOOKMSG_SAVE_SHORTCUTS, "printers.dvl"));
    EXPECT_EQ("1", Fields(Records(ReadFileBytes(ShortcutsFile("printers.dvl")))["ICON_0"])[3]);
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "printers.dvl"));
    ASSERT_TRUE(WaitForItem("Printers", false));
    ASSERT_EQ(1ul, Send(HOOKMSG_LOAD_SHORTCUTS, "printers.dvl"));
    EXPECT_EQ("1", Records(ReadFileBytes(ShortcutsFile("printers.dvl")))["LOADED"]);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(LinkPath("Printers").c_str()));
}

// The payload holds a layout path of 255 characters; the shortcut points at all of it.
TEST_F(HookShortcutsTest, IconifyTakesTheWholeOfTheLongestPath)
{
    const std::string head = m_folder + "\\Positions\\";
    const std::string path = head + std::string(255 - head.size() - 4, 'p') + ".dvl";
    ASSERT_EQ(255u, path.size());
    ASSERT_EQ(1ul, Send(HOOKMSG_ICONIFY_POSITIONS, path));
    const std::string name = path.substr(head.size(), path.size() - head.size() - 4);
    const LinkInfo link = ReadLink(LinkPath(name));
    ASSERT_TRUE(link.ok);
    EXPECT_EQ(path, link.target);
    const auto lines = ReadErrorLog(m_folder);
    ASSERT_EQ(1, CountLines(lines, "WARNING: Cannot open icon layout file: "));
    EXPECT_EQ(("Cannot open icon layout file: " + path).substr(0, 99),
              lines.back().substr(lines.back().find("WARNING: ") + 9));
}

}  // namespace
