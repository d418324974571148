// The Backup window in the running program: what is dropped on it is backed
// up by the configurations of Backup.txt, and a drop no configuration covers
// asks to configure. Run only in a prefix whose drives stay inside it and the
// build folder (tests/harness/session.sh): these tests copy files.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/ProgramFixture.h"
#include "tests/harness/Wait.h"

namespace {

class ProgramBackupTest : public ProgramTestBase {
protected:
    void SetUp() override
    {
        ProgramTestBase::SetUp();
        char temp[MAX_PATH] = {};
        ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
        ASSERT_EQ('C', temp[0]) << "the source lies in the prefix";
        m_source = std::string(temp) + TestFolderName() + ".source";
        m_target = std::string(temp) + TestFolderName() + ".target";
        CreateDirectoryA(m_source.c_str(), nullptr);
    }
    void TearDown() override
    {
        ProgramTestBase::TearDown();
        for (const std::string& folder : {m_source, m_target}) {
            DeleteFileA((folder + "\\report.txt").c_str());
            RemoveDirectoryA(folder.c_str());
        }
    }
    // One configuration from the source to the target, every file.
    void StoreConfig()
    {
        const std::string text = "KTX_FILE\tDERVANE BACKUP\nVERSION\t1.0\nCUSTOM\t0\nCUSTOM_COMMAND\t\t\n"
                                 "POST_COMMAND\t\t\t0\nENTRY_0\tReports\t1\t0\nENTRY_0_SOURCE\t" +
            m_source + "\nENTRY_0_DEST\t" + m_target + "\nENTRY_0_TYPE_0\t*.*\nENTRY_0_TYPE_1\t#%#\n";
        ASSERT_TRUE(m_folder.WriteFile("Backup.txt", text));
    }
    HWND BackupWindow() const { return Shown(m_program.FindWindowOf(nullptr, "Dervane Backup Icon")); }
    static std::string Place(HWND window)
    {
        RECT rect = {};
        GetWindowRect(window, &rect);
        return std::to_string(rect.left) + "," + std::to_string(rect.top);
    }

    std::string m_source;
    std::string m_target;
};

std::string FileText(const std::string& path)
{
    std::string text;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

}  // namespace

TEST_F(ProgramBackupTest, AFirstStartShowsTheWindowAt50By0AndADroppedFileIsCopiedToTheTarget)
{
    StoreKnownLook();
    StoreConfig();
    const std::string report = m_source + "\\report.txt";
    {
        HANDLE file = CreateFileA(report.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        WriteFile(file, "quarterly", 9, &written, nullptr);
        CloseHandle(file);
    }
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = BackupWindow()) != nullptr; }, 10000));
    EXPECT_EQ("50,0", Place(window));
    HWND shredder = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] { return (shredder = Shown(m_program.FindWindowOf(nullptr, "Dervane Delete Icon"))) != nullptr; }, 10000));
    EXPECT_EQ("0,0", Place(shredder));

    ASSERT_TRUE(DropOn(m_program.Pid(), window, {report}));
    EXPECT_TRUE(WaitFor([&] { return FileText(m_target + "\\report.txt") == "quarterly"; }, 10000));
    EXPECT_TRUE(WaitFor([&] { return m_program.FindWindowOf("#32770", "Backing Up Files...") == nullptr; }, 10000))
        << "the dialog closes by itself when nothing failed";
    EXPECT_EQ("quarterly", FileText(report)) << "the source stays";
}

TEST_F(ProgramBackupTest, ADropNoConfigurationCoversAsksAndYesOpensTheSheetAtTheBackupPage)
{
    StoreKnownLook();
    const std::string stray = m_source + "\\report.txt";
    ASSERT_TRUE(MakeEmptyFile(stray));
    ASSERT_TRUE(m_session.Start());
    ASSERT_TRUE(StartReady(m_program));
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (window = BackupWindow()) != nullptr; }, 10000));
    ASSERT_TRUE(DropOn(m_program.Pid(), window, {stray}));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = m_program.FindWindowOf("#32770", "Question")) != nullptr; }, 10000));
    PostMessageA(box, WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitFor([&] { return m_program.SheetVisible(); }, 10000));
    const HWND sheet = m_program.Sheet();
    const HWND page = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    EXPECT_NE(nullptr, GetDlgItem(page, 1261)) << "the Backup page is shown";
    EXPECT_TRUE(WaitFor([&] { return m_program.FindWindowOf("#32770", "Backing Up Files...") == nullptr; }, 10000));
    EXPECT_FALSE(PathExists(m_target + "\\report.txt"));
}
