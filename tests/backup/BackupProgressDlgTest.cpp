// The backup of a drop under its progress dialog, run modally as the Backup
// window runs it, on folders of the test's own temporary tree.
#include "files/FilesResource.h"
#include "backup/BackupProgressDlg.h"
#include "framework/ErrorReport.h"  // SystemErrorText
#include "framework/ScopedHandles.h"
#include "tests/files/FilesTestSupport.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Strings = std::vector<std::string>;

// The number of files in folder.
size_t FileCount(const std::string& folder)
{
    return Exists(folder) ? Names(folder).size() : 0;
}

// The dialog as the test sees it; with cancelAfter set, Cancel is pressed as
// soon as cancelAfter files stand in cancelFolder.
class WatchedBackupDlg : public CBackupProgressDlg {
public:
    using CBackupProgressDlg::CBackupProgressDlg;
    ProgressFold whileWorking;
    size_t cancelAfter = 0;
    std::string cancelFolder;

protected:
    void PumpOneMessage() override
    {
        if (cancelAfter > 0 && FileCount(cancelFolder) >= cancelAfter) {
            cancelAfter = 0;
            PostMessageA(GetHwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetItem(IDCANCEL)));
        }
        CBackupProgressDlg::PumpOneMessage();
    }
    void RunWork() override
    {
        whileWorking = ReadProgressFold(GetHwnd());
        CBackupProgressDlg::RunWork();
    }
};

// What the expanded dialog showed.
struct Expanded {
    std::string status;
    ProgressFold fold;
    Strings listed;
    LRESULT extent = 0;
    LRESULT expectedExtent = -1;
};

// Reads the expanded dialog once "Close" shows, then presses it.
bool ReadAndClose(HWND hwnd, Expanded& seen)
{
    if (WindowText(GetDlgItem(hwnd, IDCANCEL)) != "Close")
        return false;
    seen.fold = ReadProgressFold(hwnd);
    seen.status = WindowText(GetDlgItem(hwnd, IDC_PROGRESS_STATUS));
    seen.listed = ListItems(hwnd, IDC_PROGRESS_FAILURES);
    HWND list = GetDlgItem(hwnd, IDC_PROGRESS_FAILURES);
    seen.extent = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
    if (!seen.listed.empty()) {
        ScopedGetDC dc(hwnd);
        ScopedSelect font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
        SIZE size = {};
        const std::string& text = seen.listed.front();
        if (GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size))
            seen.expectedExtent = size.cx * 3 / 2;
    }
    ClickButton(hwnd, IDCANCEL);
    return true;
}

class BackupProgressDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        BackupConfig config;
        config.source = dir.File("Data");
        config.target = dir.File("Save");
        config.fileTypes = {"*.*"};
        configs = {config};
        MakeFolder(config.source);
        before = CreateWindowExA(0, "STATIC", "before", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                                 nullptr);
        SetForegroundWindow(before);
        ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == before; }));
        BoxRecorder::Reset();
    }
    void TearDown() override { DestroyWindow(before); }

    TempDir dir;
    std::vector<BackupConfig> configs;
    BackupCommands commands;
    HWND before = nullptr;
};

}  // namespace

TEST_F(BackupProgressDlgTest, AFileThatCannotBeCopiedExpandsTheDialogWithItsListAndTheForegroundComesBack)
{
    const std::string locked = configs[0].source + "\\locked file.txt";
    WriteBytes(locked, "locked");
    WriteBytes(configs[0].source + "\\free.txt", "free");
    HANDLE held = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    WatchedBackupDlg dialog(nullptr, configs, commands, {configs[0].source}, nullptr);
    Expanded seen;
    INT_PTR result = -1;
    EXPECT_TRUE(WhileModal([&] { result = dialog.Run(); }, "Backing Up Files...",
                           [&](HWND hwnd) { return ReadAndClose(hwnd, seen); }));
    CloseHandle(held);
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_LE(dialog.whileWorking.cancelBottom, dialog.whileWorking.clientBottom);
    EXPECT_EQ(dialog.whileWorking.listTop, dialog.whileWorking.clientBottom);
    EXPECT_EQ("Errors encountered during backup!", seen.status);
    EXPECT_LT(seen.fold.listBottom, seen.fold.clientBottom) << "the list whole";
    EXPECT_EQ(Strings{locked + " (" + SystemErrorText(ERROR_SHARING_VIOLATION) + ")"}, seen.listed);
    EXPECT_EQ(seen.expectedExtent, seen.extent);
    EXPECT_EQ(Strings{"free.txt"}, Names(configs[0].target));
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == before; }));
}

TEST_F(BackupProgressDlgTest, YesToConfiguringNowCopiesNothingAndLeavesTheForegroundToTheSheet)
{
    const std::string elsewhere = dir.File("Elsewhere");
    MakeFolder(elsewhere);
    WriteBytes(elsewhere + "\\x.txt", "x");
    WriteBytes(configs[0].source + "\\a.txt", "a");
    HWND sheet = nullptr;
    WatchedBackupDlg dialog(nullptr, configs, commands, {configs[0].source + "\\a.txt", elsewhere + "\\x.txt"}, [&] {
        sheet = CreateWindowExA(0, "STATIC", "sheet", WS_POPUP | WS_VISIBLE, 60, 0, 50, 50, nullptr, nullptr, nullptr,
                                nullptr);
        SetForegroundWindow(sheet);
    });
    dialog.SetMessageBox(&BoxRecorder::Show);
    BoxRecorder::answers = {IDYES};
    EXPECT_EQ(IDOK, dialog.Run());
    ASSERT_EQ(1u, BoxRecorder::boxes.size());
    EXPECT_EQ("Some dragged files are not configured for backing up. Configure now?\n( " + elsewhere + "\\x.txt )",
              BoxRecorder::boxes[0].text);
    EXPECT_EQ("Question", BoxRecorder::boxes[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONWARNING), BoxRecorder::boxes[0].type);
    EXPECT_FALSE(Exists(configs[0].target));
    ASSERT_NE(nullptr, sheet);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == sheet; }));
    DestroyWindow(sheet);
}

TEST_F(BackupProgressDlgTest, CancelWhileCopyingLeavesOnlyWholeCopiesAndTheOriginalsUntouched)
{
    const std::string& source = configs[0].source;
    const std::string& target = configs[0].target;
    std::string large(4 << 20, '\0');
    for (size_t i = 0; i < large.size(); i++)
        large[i] = static_cast<char>(i * 7 + i / 4096);
    WriteBytes(source + "\\large.bin", large);
    const size_t kFiles = 120;
    for (size_t i = 0; i < kFiles; i++)
        WriteBytes(source + "\\small " + std::to_string(i) + ".txt",
                   std::string(100 + i, static_cast<char>('a' + i % 26)));
    const Strings originals = Names(source);
    std::vector<std::string> contents;
    for (const std::string& name : originals)
        contents.push_back(ReadBytes(source + "\\" + name));

    WatchedBackupDlg dialog(nullptr, configs, commands, {source}, nullptr);
    dialog.cancelAfter = 30;
    dialog.cancelFolder = target;
    EXPECT_EQ(IDCANCEL, dialog.Run());
    EXPECT_TRUE(dialog.IsCancelled());
    EXPECT_TRUE(dialog.Failures().empty());

    const Strings copies = Names(target);
    EXPECT_GE(copies.size(), 30u);
    EXPECT_LT(copies.size(), originals.size()) << "the run went on after Cancel";
    for (const std::string& name : copies) {
        EXPECT_EQ(std::string::npos, name.find(".dvb~")) << name;
        const auto original = std::find(originals.begin(), originals.end(), name);
        ASSERT_NE(originals.end(), original) << name << " is no source file";
        EXPECT_EQ(contents[static_cast<size_t>(original - originals.begin())], ReadBytes(target + "\\" + name))
            << name << " is not a whole copy";
    }
    ASSERT_EQ(originals, Names(source));
    for (size_t i = 0; i < originals.size(); i++)
        EXPECT_EQ(contents[i], ReadBytes(source + "\\" + originals[i])) << originals[i];
}
