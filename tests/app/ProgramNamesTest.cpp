// Names in every script in the running program: what is dropped on the File
// Shredder and the Backup window is deleted or copied under its own name and
// nothing beside it is touched, and the whole program works from a folder
// whose name the system's code page (1252 in the test prefixes) cannot
// write. Names are checked through the wide calls, whatever the code page.
// Run only in a prefix whose drives stay inside it and the build folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/ChildProcess.h"
#include "tests/harness/Wait.h"
#include "tests/harness/WideText.h"

namespace {

using WideNames_ = std::vector<std::wstring>;

bool WriteWide(const std::wstring& path, const std::string& content)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    CloseHandle(file);
    return ok;
}

std::string ReadWide(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string text;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

// Removes a tree through the wide calls (links as links).
void RemoveWide(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const std::wstring& name : WideNames(path))
            RemoveWide(path + L"\\" + name);
        RemoveDirectoryW(path.c_str());
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

// Names a code page of Western Europe cannot write, and look-alikes of
// "..\" in fullwidth forms that a listing in that code page made into the
// real thing.
const std::wstring kRussian = L"\u041F\u0440\u0438\u0432\u0435\u0442";  // Привет
const std::wstring kJapanese = L"\u65E5\u672C";  // 日本
const std::wstring kChinese = L"\u4E2D\u56FD";  // 中国
const std::wstring kEmoji = L"\U0001F600";
const std::wstring kDotsUp = L"\uFF0E\uFF0E\uFF3C";  // ．．＼

class ProgramNamesTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        wchar_t temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        ASSERT_EQ(L'C', temp[0]) << "the files lie in the prefix";
        m_tree = std::wstring(temp) + Wide(TestFolderName());
        RemoveWide(m_tree);
        ASSERT_TRUE(CreateDirectoryW(m_tree.c_str(), nullptr));
    }
    void TearDown() override
    {
        ProgramTestBase::TearDown();
        RemoveWide(m_tree);
    }
    std::wstring In(const std::wstring& relative) const { return m_tree + L"\\" + relative; }

    std::wstring m_tree;
};

}  // namespace

TEST_F(ProgramNamesTest, TheShredderDeletesEachDroppedNameAndNothingTheLookAlikesSeemToName)
{
    // dropped\．．＼Victim read in the old code page was dropped\..\Victim.
    const std::wstring dropped = In(L"dropped");
    ASSERT_TRUE(CreateDirectoryW(dropped.c_str(), nullptr));
    for (const std::wstring& name : WideNames_{kRussian + L".tmp", kJapanese + L".tmp", kEmoji + L".tmp", L"a.tmp"})
        ASSERT_TRUE(WriteWide(dropped + L"\\" + name, "x"));
    ASSERT_TRUE(CreateDirectoryW((dropped + L"\\" + kDotsUp + L"Victim").c_str(), nullptr));
    ASSERT_TRUE(WriteWide(dropped + L"\\" + kDotsUp + L"Victim\\inside.txt", "x"));
    ASSERT_TRUE(CreateDirectoryW(In(L"Victim").c_str(), nullptr));
    ASSERT_TRUE(WriteWide(In(L"Victim\\keep.txt"), "keep"));
    ASSERT_TRUE(WriteWide(In(kChinese + L".txt"), "x"));
    ASSERT_TRUE(WriteWide(In(kJapanese + L".txt"), "keep"));  // the same length as the dropped 中国.txt

    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND shredder = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (shredder = m_program.FindWindowOf(nullptr, "Dervane Delete Icon")) != nullptr; }, 10000));
    ASSERT_TRUE(DropOn(m_program.Pid(), shredder, {Utf8(dropped), Utf8(In(kChinese + L".txt"))}));
    EXPECT_TRUE(WaitFor(
        [&] {
            return WideNames(m_tree) == WideNames_{L"Victim", kJapanese + L".txt"};
        },
        10000))
        << "left: " << Utf8(WideNames(m_tree).empty() ? L"" : WideNames(m_tree).front());
    EXPECT_EQ("keep", ReadWide(In(L"Victim\\keep.txt")));
    EXPECT_EQ("keep", ReadWide(In(kJapanese + L".txt")));
    EXPECT_EQ(nullptr, m_program.FindWindowOf("#32770", "Error")) << "nothing failed";
}

TEST_F(ProgramNamesTest, TheBackupWindowCopiesEachDroppedNameIntoTheTargetAndNowhereElse)
{
    const std::wstring source = In(L"source");
    const std::wstring target = In(L"target");
    ASSERT_TRUE(CreateDirectoryW(source.c_str(), nullptr));
    // source\．．＼Outside\f.txt read in the old code page was source\..\Outside\f.txt,
    // and its copy target\..\Outside\f.txt: the same file outside the target.
    ASSERT_TRUE(CreateDirectoryW(In(L"Outside").c_str(), nullptr));
    ASSERT_TRUE(WriteWide(In(L"Outside\\f.txt"), "original"));
    ASSERT_TRUE(CreateDirectoryW((source + L"\\" + kDotsUp + L"Outside").c_str(), nullptr));
    ASSERT_TRUE(WriteWide(source + L"\\" + kDotsUp + L"Outside\\f.txt", "copied"));
    const WideNames_ files = {kRussian + L".txt", kJapanese + L".txt", kChinese + L".txt", kEmoji + L".txt"};
    for (const std::wstring& name : files)
        ASSERT_TRUE(WriteWide(source + L"\\" + name, Utf8(name)));
    const std::string config = "KTX_FILE\tDERVANE BACKUP\nVERSION\t1.0\nCUSTOM\t0\nCUSTOM_COMMAND\t\t\n"
                               "POST_COMMAND\t\t\t0\nENTRY_0\tReports\t1\t0\nENTRY_0_SOURCE\t" +
        Utf8(source) + "\nENTRY_0_DEST\t" + Utf8(target) + "\nENTRY_0_TYPE_0\t*.*\nENTRY_0_TYPE_1\t#%#\n";
    ASSERT_TRUE(m_folder.WriteFile("Backup.txt", config));

    StoreKnownLook();
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND window = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (window = m_program.FindWindowOf(nullptr, "Dervane Backup Icon")) != nullptr; }, 10000));
    std::vector<std::string> drop;
    for (const std::wstring& name : files)
        drop.push_back(Utf8(source + L"\\" + name));
    drop.push_back(Utf8(source + L"\\" + kDotsUp + L"Outside"));
    ASSERT_TRUE(DropOn(m_program.Pid(), window, drop));
    WideNames_ expected = files;
    expected.push_back(kDotsUp + L"Outside");
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(WaitFor([&] { return WideNames(target) == expected; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return m_program.FindWindowOf("#32770", "Backing Up Files...") == nullptr; }, 10000))
        << "nothing failed";
    for (const std::wstring& name : files)
        EXPECT_EQ(Utf8(name), ReadWide(target + L"\\" + name)) << Utf8(name);
    EXPECT_EQ("copied", ReadWide(target + L"\\" + kDotsUp + L"Outside\\f.txt"));
    EXPECT_EQ("original", ReadWide(In(L"Outside\\f.txt"))) << "nothing outside the target is written";
    EXPECT_EQ(expected, WideNames(source)) << "the source stays";
}

// Setup takes any folder: the hook library finds its files, positions
// layouts are saved and loaded with labels the shell's code page cannot
// write, and the engine reads its rules from there.
TEST_F(ProgramNamesTest, FromAFolderNamedInCyrillicTheHookTheLayoutsAndTheEngineWork)
{
    const std::string folderName = Utf8(L"\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B "
                                        L"\u0414\u0435\u0440\u0432\u0430\u043D\u0435");  // Программы Дерване
    ASSERT_TRUE(m_folder.Create(folderName));
    const WideNames_ siblings = WideNames(Wide(m_folder.Path() + "\\.."));
    ASSERT_NE(siblings.end(), std::find(siblings.begin(), siblings.end(), L"program." + Wide(folderName)))
        << "the folder has its name in Cyrillic";
    const std::wstring wideFolder = Wide(m_folder.Path());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wideFolder + L"\\Dervane.exe").c_str()));
    StoreKnownLook();
    const uint8_t on = 1;
    ASSERT_TRUE(WriteProgramBinary("Property Respond Enabled", &on, 1));
    ASSERT_TRUE(m_folder.WriteFile("Respond.txt",
                                   "KTX_FILE\tDERVANE RESPOND\r\nVERSION\t1.0\r\n"
                                   "ENTRY_0\tReplace\t1\treplace it\t3\t0\r\n"
                                   "ENTRY_0_ACTION_0\t1\tYes\t0\t0\r\nENTRY_0_ACTION_1\t#%#\r\n"));
    const std::string japanese = Utf8(kJapanese + L".txt");
    const std::string chinese = Utf8(kChinese + L".txt");
    ASSERT_TRUE(m_desktop.AddFile(japanese));
    ASSERT_TRUE(m_desktop.AddFile(chinese));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));

    // The desktop as found, written by the hook library in the shell's process.
    ASSERT_TRUE(WaitFor([&] { return m_folder.Exists("Positions\\[original].dvl"); }, 10000));
    const std::string original = m_folder.ReadFile("Positions\\[original].dvl");
    EXPECT_NE(std::string::npos, original.find("\t" + japanese + "\t")) << original;
    EXPECT_NE(std::string::npos, original.find("\t" + chinese + "\t")) << original;

    // A named layout, handed over by a second start: each label to its own place.
    const std::wstring layoutName = L"B\u00FCro " + kJapanese + L".dvl";  // Büro 日本.dvl
    char colours[128] = {};
    snprintf(colours, sizeof colours, "ICON_TEXT_COLOR_FG\t%ld\r\nICON_TEXT_COLOR_BG\t%ld\r\n",
             static_cast<long>(kText), static_cast<long>(kBack));
    ASSERT_TRUE(m_folder.WriteFile("Positions\\" + Utf8(layoutName),
                                   "KTX_FILE\tDERVANE ICON POSITIONS\r\nVERSION\t1.0\r\n" + std::string(colours) +
                                       "ICON_TEXT_BG\t1\r\nICON_STYLE\t0\r\nICON_0\t" + japanese +
                                       "\t300,200\r\nICON_1\t" + chinese + "\t420,260\r\n"));
    ASSERT_TRUE(m_second.Start(m_folder, "\"" + m_folder.PathOf("Positions\\" + Utf8(layoutName)) + "\""));
    EXPECT_EQ(0, m_second.WaitExit(15000));
    CDesktopHostClient::ItemRecord first = {}, second = {};
    EXPECT_TRUE(WaitFor(
        [&] {
            return Host().FindItem(japanese, first) && Host().FindItem(chinese, second) && first.x == 300 &&
                first.y == 200 && second.x == 420 && second.y == 260;
        },
        10000))
        << japanese << " at " << first.x << "," << first.y << "; " << chinese << " at " << second.x << "," << second.y;

    // The engine, loaded into another program, reads the rules from here.
    CChildProcess box;
    ASSERT_TRUE(box.Start("\"" + CChildProcess::ModuleFolder() +
                          "RespondTarget.exe\" msgbox \"Replace File\" \"Do you want to replace it?\""));
    EXPECT_EQ(IDYES, box.WaitExit(8000)) << "answered by the rule";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((wideFolder + L"\\Respond.log").c_str()));
}
