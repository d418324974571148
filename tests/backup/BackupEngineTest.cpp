// The backup run on trees of the test's own temporary folder: where copies
// go and what they keep, what a failed copy leaves, the user's programs and
// their arguments, links inside dropped folders, and which copies a run
// removes again.
#include "backup/BackupEngine.h"
#include "backup/BackupRules.h"  // SameFolderText
#include "backup/LongFolderForm.h"
#include "tests/files/FilesTestSupport.h"
#include "framework/ErrorReport.h"  // SystemErrorText
#include "framework/FileVersion.h"  // ModuleFilePath
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

namespace {

using Strings = std::vector<std::string>;

class RecordingProgress : public IBackupProgress {
public:
    bool Pump() override
    {
        pumps++;
        return cancelWhen && cancelWhen();
    }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetRange(unsigned long total) override { range = total; }
    void Step() override { steps++; }
    void AddFailure(const std::string& path) override { failures.push_back(path); }
    bool AskConfigureNow(const std::string& path) override
    {
        asked.push_back(path);
        return configureNow;
    }

    bool configureNow = false;
    std::function<bool()> cancelWhen;  // Cancel is pressed once it holds
    unsigned long pumps = 0;
    Strings statuses;
    Strings failures;
    Strings asked;
    unsigned long range = 0;
    unsigned long steps = 0;
};

ULONGLONG WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Sets a file's modified time to a day in 2001 (and seconds after it).
void MakeOld(const std::string& path, int seconds = 0)
{
    SYSTEMTIME day = {};
    day.wYear = 2001;
    day.wMonth = 2;
    day.wDay = 3;
    day.wHour = 4;
    day.wSecond = static_cast<WORD>(seconds);
    FILETIME time = {};
    SystemTimeToFileTime(&day, &time);
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

Strings Lines(const std::string& text)
{
    Strings lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1)
                                                             : line);  // a batch file's echo
    return lines;
}

size_t IndexOf(const Strings& list, const std::string& item)
{
    return static_cast<size_t>(std::find(list.begin(), list.end(), item) - list.begin());
}

// The \\?\ form of a whole path: reaches a name ending in a dot or a blank,
// and paths of any length.
std::wstring Exact(const std::string& path)
{
    return L"\\\\?\\" + Wide(path);
}

void WriteExact(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

// The bytes of a file, or "(missing)".
std::string ReadExact(const std::string& path)
{
    HANDLE file = CreateFileW(Exact(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "(missing)";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    bytes.resize(got);
    return bytes;
}

class BackupEngineTest : public testing::Test {
protected:
    void SetUp() override
    {
        source = dir.File("Data");
        target = dir.File("Save");
        MakeFolder(source);
        BackupConfig config;
        config.source = source;
        config.target = target;
        config.name = "Daily";
        config.fileTypes = {"*.*"};
        configs = {config};
        record = dir.File("record.txt");
        SetEnvironmentVariableA("DERVANE_RECORD", record.c_str());
        SetEnvironmentVariableA("DERVANE_EXIT", nullptr);
    }
    void TearDown() override
    {
        SetEnvironmentVariableA("DERVANE_RECORD", nullptr);
        SetEnvironmentVariableA("DERVANE_EXIT", nullptr);
    }
    std::string In(const std::string& relative) const { return source + "\\" + relative; }
    std::string Out(const std::string& relative) const { return target + "\\" + relative; }

    // The recording program, installed under a folder and a name with
    // spaces.
    std::string InstallRecorder()
    {
        const std::string folder = dir.File("Program Files");
        MakeFolder(folder);
        MakeFolder(folder + "\\Rec Tool");
        const std::string program = folder + "\\Rec Tool\\record args.exe";
        const std::string tests = ModuleFilePath(nullptr);
        const std::string recorder = tests.substr(0, tests.rfind('\\')) + "\\backup_record_args.exe";
        EXPECT_TRUE(CopyFileA(recorder.c_str(), program.c_str(), TRUE));
        return program;
    }
    Strings Recorded()
    {
        const Strings lines = Lines(FileExists(record) ? ReadBytes(record) : "");
        DeleteFileA(record.c_str());
        return lines;
    }

    // One run over paths with a fresh record of what it reported.
    bool Run(const Strings& paths, bool configureNow = false)
    {
        progress = RecordingProgress();
        progress.configureNow = configureNow;
        progress.cancelWhen = cancelWhen;
        CBackupRun run(configs, commands, progress);
        if (fileSystem)
            run.SetFileSystemProbe([this](HANDLE folder) { return folder ? fileSystem : "(no folder)"; });
        const bool finished = run.Run(paths);
        copied = run.Copied();
        skipped = run.Skipped();
        return finished;
    }

    TempDir dir;
    std::string source;
    std::string target;
    std::string record;
    std::vector<BackupConfig> configs;
    BackupCommands commands;
    std::function<bool()> cancelWhen;
    const char* fileSystem = nullptr;  // what the target's volume is said to be; the system's without
    RecordingProgress progress;
    unsigned long copied = 0;
    unsigned long skipped = 0;
};

}  // namespace

TEST_F(BackupEngineTest, CopiesKeepTimeAndAttributesUnchangedFilesAreSkippedAndReadOnlyCopiesReplaced)
{
    MakeFolder(In("Mail"));
    WriteBytes(In("Mail\\a.txt"), "first");
    WriteBytes(In("b.txt"), "bee");
    MakeOld(In("Mail\\a.txt"));
    MakeOld(In("b.txt"));
    SetFileAttributesA(In("Mail\\a.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(In("b.txt").c_str(), FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(Run({In("Mail"), In("b.txt")}));
    EXPECT_EQ(Strings{}, progress.failures);
    EXPECT_EQ(3u, progress.range);
    EXPECT_EQ(3u, progress.steps);
    EXPECT_EQ(2u, copied);
    EXPECT_EQ((Strings{"Mail", "b.txt"}), Names(target));
    EXPECT_EQ(Strings{"a.txt"}, Names(Out("Mail")));  // no temporary file left
    EXPECT_EQ("first", ReadBytes(Out("Mail\\a.txt")));
    EXPECT_EQ(WriteTime(In("Mail\\a.txt")), WriteTime(Out("Mail\\a.txt")));
    EXPECT_EQ(WriteTime(In("b.txt")), WriteTime(Out("b.txt")));
    for (const char* name : {"Mail\\a.txt", "b.txt"})
        EXPECT_EQ(GetFileAttributesA(In(name).c_str()), GetFileAttributesA(Out(name).c_str())) << name;
    EXPECT_TRUE(GetFileAttributesA(Out("Mail\\a.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(GetFileAttributesA(Out("b.txt").c_str()) & FILE_ATTRIBUTE_READONLY);

    // Nothing changed: counted, not copied again.
    ASSERT_TRUE(Run({In("Mail"), In("b.txt")}));
    EXPECT_EQ(0u, copied);
    EXPECT_EQ(2u, skipped);
    EXPECT_EQ(3u, progress.steps);

    // A changed source replaces its read-only copy.
    SetFileAttributesA(In("b.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(In("b.txt"), "a new bee");
    ASSERT_TRUE(Run({In("Mail"), In("b.txt")}));
    EXPECT_EQ(Strings{}, progress.failures);
    EXPECT_EQ(1u, copied);
    EXPECT_EQ(1u, skipped);
    EXPECT_EQ("a new bee", ReadBytes(Out("b.txt")));
    EXPECT_EQ((Strings{"Mail", "b.txt"}), Names(target));

    // What an interrupted copy left beside its file goes with the next run
    // over that folder, the file copied or unchanged; a name that no file
    // beside it explains stays.
    WriteBytes(Out("b.txt.dvb~"), "half a copy");
    WriteBytes(Out("Mail\\a.txt.dvb~"), "half a copy");
    WriteBytes(Out("Mail\\gone.txt.dvb~"), "no file of that name");
    WriteBytes(In("b.txt"), "the third bee");
    ASSERT_TRUE(Run({In("Mail"), In("b.txt")}));
    EXPECT_EQ(Strings{}, progress.failures);
    EXPECT_EQ(1u, skipped);
    EXPECT_EQ("the third bee", ReadBytes(Out("b.txt")));
    EXPECT_EQ((Strings{"Mail", "b.txt"}), Names(target));
    EXPECT_EQ((Strings{"a.txt", "gone.txt.dvb~"}), Names(Out("Mail")));

    // Copies that are to be removed again are always made afresh.
    commands.removeCopies = 1;
    ASSERT_TRUE(Run({In("Mail"), In("b.txt")}));
    EXPECT_EQ(2u, copied);
    EXPECT_EQ(0u, skipped);
}

TEST_F(BackupEngineTest, OnlyPathsInsideASourceAreTakenAndAConfigurationThatMayNotRunCopiesNothing)
{
    const std::string database = dir.File("Database");
    MakeFolder(database);
    WriteBytes(database + "\\x.txt", "x");
    WriteBytes(In("a.txt"), "a");
    WriteBytes(In("c.txt"), "c");

    // C:\Database is not inside C:\Data: asked about once, then skipped.
    ASSERT_TRUE(Run({database + "\\x.txt", In("a.txt"), database + "\\x.txt"}));
    EXPECT_EQ(Strings{database + "\\x.txt"}, progress.asked);
    EXPECT_EQ(Strings{"a.txt"}, Names(target));
    EXPECT_FALSE(Exists(dir.File("Savebase")));
    EXPECT_EQ(1u, progress.range);

    // Yes to configuring now ends the run before anything is copied.
    EXPECT_FALSE(Run({In("c.txt"), database + "\\x.txt"}, true));
    EXPECT_EQ(Strings{"a.txt"}, Names(target));

    // A target inside its source: the configuration never runs.
    const std::string other = dir.File("Other");
    MakeFolder(other);
    WriteBytes(other + "\\y.txt", "y");
    BackupConfig inside = configs[0];
    inside.source = other;
    inside.target = other + "\\Copies";
    configs.push_back(inside);
    ASSERT_TRUE(Run({other + "\\y.txt", In("c.txt")}));
    EXPECT_EQ(Strings{other + "\\y.txt (The target folder cannot lie inside the source folder.)"}, progress.failures);
    EXPECT_EQ(Strings{"y.txt"}, Names(other));
    EXPECT_EQ((Strings{"a.txt", "c.txt"}), Names(target));

    // A path that climbs out of its source would climb out of the target.
    configs = {configs[0]};
    configs[0].target = dir.File("Out\\Save");
    ASSERT_TRUE(Run({In("..\\Other\\y.txt")}));
    EXPECT_EQ(Strings{In("..\\Other\\y.txt (It is not a whole path of a drive or a share.)")}, progress.failures);
    EXPECT_FALSE(Exists(dir.File("Out")));
}

TEST_F(BackupEngineTest, ACopyThatCannotReplaceItsTargetLeavesTheOldCopyWholeAndSaysWhy)
{
    WriteBytes(In("a.txt"), "old");
    ASSERT_TRUE(Run({In("a.txt")}));
    WriteBytes(In("a.txt"), "new and longer");
    HANDLE held = CreateFileA(Out("a.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(Run({In("a.txt")}));
    CloseHandle(held);
    ASSERT_EQ(1u, progress.failures.size());
    EXPECT_EQ(0u, progress.failures[0].find(In("a.txt") + " (")) << progress.failures[0];  // with the system's reason
    EXPECT_EQ("old", ReadBytes(Out("a.txt")));
    EXPECT_EQ(Strings{"a.txt"}, Names(target));
}

TEST_F(BackupEngineTest, TheCustomProgramUnderAFolderWithSpacesGetsItsArgumentsAndANonZeroExitIsAFailure)
{
    commands.custom = 1;
    commands.customProgram = InstallRecorder();
    commands.customArguments = "%SOURCEFILE in %SOURCEPATH -> %TARGET [%NAME]";
    WriteBytes(In("a.txt"), "a");
    WriteBytes(In("b.txt"), "b");
    ASSERT_TRUE(Run({In("a.txt"), In("b.txt")}));
    EXPECT_EQ(Strings{}, progress.failures);
    EXPECT_EQ((Strings{"a.txt in " + source + "\\ -> " + Out("a.txt") + " [Daily]",
                       "b.txt in " + source + "\\ -> " + Out("b.txt") + " [Daily]"}),
              Recorded());
    EXPECT_FALSE(Exists(target));

    SetEnvironmentVariableA("DERVANE_EXIT", "2");
    ASSERT_TRUE(Run({In("a.txt")}));
    EXPECT_EQ(Strings{In("a.txt") + " (the program ended with exit code 2)"}, progress.failures);
    EXPECT_EQ(1u, Recorded().size());

    commands.customProgram = dir.File("Program Files\\missing.exe");
    ASSERT_TRUE(Run({In("b.txt")}));
    EXPECT_EQ(Strings{In("b.txt") + " (" + SystemErrorText(ERROR_FILE_NOT_FOUND) + ")"}, progress.failures);
}

TEST_F(BackupEngineTest, TheAfterProgramRunsOnceAfterEachConfiguredDroppedItemWithItsMacros)
{
    commands.postProgram = InstallRecorder();
    commands.postArguments = "%ISDROPFOLDER(-r)%ISDROPFILE(-f) %DROPTARGETPATH|%DROPSOURCEPATH|%TARGETPATH|%NAME";
    MakeFolder(In("Mail"));
    WriteBytes(In("Mail\\m.txt"), "m");
    WriteBytes(In("a.txt"), "a");
    const std::string elsewhere = dir.File("Elsewhere");
    MakeFolder(elsewhere);
    WriteBytes(elsewhere + "\\u.txt", "u");

    // An unconfigured item between two configured ones.
    ASSERT_TRUE(Run({In("Mail"), elsewhere + "\\u.txt", In("a.txt")}));
    const std::string tail = "|" + source + "\\|" + target + "\\|Daily";
    const Strings lines = Recorded();
    EXPECT_EQ((Strings{"-r " + Out("Mail") + tail, "-f " + Out("a.txt") + tail}), lines);
    // Each ran after its own item was copied and before the next one.
    const std::string firstCommand = commands.postProgram + " -r " + Out("Mail") + tail;
    EXPECT_LT(IndexOf(progress.statuses, "Backing up m.txt"), IndexOf(progress.statuses, firstCommand));
    EXPECT_LT(IndexOf(progress.statuses, firstCommand), IndexOf(progress.statuses, "Backing up a.txt"));
    EXPECT_LT(IndexOf(progress.statuses, "Backing up a.txt"), progress.statuses.size());
    EXPECT_EQ(Strings{}, progress.failures);

    // Two files of one configuration: twice.
    WriteBytes(In("b.txt"), "b");
    ASSERT_TRUE(Run({In("a.txt"), In("b.txt")}));
    EXPECT_EQ((Strings{"-f " + Out("a.txt") + tail, "-f " + Out("b.txt") + tail}), Recorded());

    SetEnvironmentVariableA("DERVANE_EXIT", "1");
    ASSERT_TRUE(Run({In("a.txt")}));
    EXPECT_EQ(Strings{commands.postProgram + " -f " + Out("a.txt") + tail + " (the program ended with exit code 1)"},
              progress.failures);
}

TEST_F(BackupEngineTest, LinksToFoldersAreListedAsSkippedAndNeverFollowed)
{
    const std::string outside = dir.File("Outside");
    MakeFolder(outside);
    WriteBytes(outside + "\\secret.txt", "s");
    MakeFolder(In("Tree"));
    WriteBytes(In("Tree\\t.txt"), "t");
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(In("Tree"), "loop", "..\\Tree"));
    ASSERT_TRUE(links.Make(In("Tree"), "out", outside, true));
    ASSERT_TRUE(links.Make(source, "dropped", outside, true));

    ASSERT_TRUE(Run({In("Tree"), In("dropped")}));
    EXPECT_EQ(5u, progress.range);
    EXPECT_EQ(5u, progress.steps);
    Strings failures = progress.failures;
    std::sort(failures.begin(), failures.end());
    EXPECT_EQ((Strings{In("Tree\\loop") + " (folder link, skipped)", In("Tree\\out") + " (folder link, skipped)",
                       In("dropped") + " (folder link, skipped)"}),
              failures);
    EXPECT_EQ(Strings{"Tree"}, Names(target));
    EXPECT_EQ(Strings{"t.txt"}, Names(Out("Tree")));
    EXPECT_EQ(Strings{"secret.txt"}, Names(outside));
}

TEST_F(BackupEngineTest, RemovingCopiesTakesOnlyThisRunsCopiesAndNothingWhenTheAfterProgramFailed)
{
    commands.postProgram = InstallRecorder();
    commands.postArguments = "%DROPTARGETPATH";
    commands.removeCopies = 1;
    MakeFolder(target);
    WriteBytes(Out("old.txt"), "an older copy");
    WriteBytes(Out("locked.txt"), "older");
    MakeFolder(In("Box"));
    MakeFolder(In("Box\\Deep"));
    WriteBytes(In("Box\\n1.txt"), "1");
    WriteBytes(In("Box\\Deep\\n2.txt"), "2");
    WriteBytes(In("locked.txt"), "newer");
    HANDLE held = CreateFileA(In("locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(Run({In("Box"), In("locked.txt")}));
    CloseHandle(held);
    EXPECT_EQ(Strings{In("locked.txt") + " (" + SystemErrorText(ERROR_SHARING_VIOLATION) + ")"}, progress.failures);
    EXPECT_EQ((Strings{Out("Box"), Out("locked.txt")}), Recorded());
    EXPECT_EQ((Strings{"locked.txt", "old.txt"}), Names(target));
    EXPECT_EQ("older", ReadBytes(Out("locked.txt")));
    EXPECT_EQ((Strings{"Deep", "n1.txt"}), Names(In("Box")));
    EXPECT_EQ(Strings{"n2.txt"}, Names(In("Box\\Deep")));
    EXPECT_NE(IndexOf(progress.statuses, "Removing copied files..."), progress.statuses.size());

    SetEnvironmentVariableA("DERVANE_EXIT", "1");
    ASSERT_TRUE(Run({In("Box")}));
    EXPECT_EQ(Strings{commands.postProgram + " " + Out("Box") + " (the program ended with exit code 1)"},
              progress.failures);
    EXPECT_EQ((Strings{"Deep", "n1.txt"}), Names(Out("Box")));
    EXPECT_EQ(Strings{"n2.txt"}, Names(Out("Box\\Deep")));
}

TEST_F(BackupEngineTest, ATargetNamedThroughTheSourcesShortNameIsRefusedLikeItsLongForm)
{
    const std::string longSource = dir.File("Long Source Folder");
    MakeFolder(longSource);
    MakeFolder(longSource + "\\Inner Folder");
    const std::string shortSource = ShortFormOf(longSource);
    if (shortSource.empty())
        GTEST_SKIP() << "the file system gives " << longSource << " no short name";

    EXPECT_EQ(longSource + "\\Copies\\New", LongFolderForm(shortSource + "\\Copies\\New"));
    // A long name keeps the case it was written in (Wine) or takes the one on
    // the disk (Windows).
    EXPECT_TRUE(SameFolderText(longSource + "\\Inner Folder", LongFolderForm(shortSource + "\\INNER FOLDER")));
    BackupConfig config = configs[0];
    config.source = longSource;
    const struct {
        std::string source;
        std::string target;
        const char* problem;
    } cases[] = {
        {longSource, shortSource + "\\Copies", "The target folder cannot lie inside the source folder."},
        {shortSource, longSource + "\\Inner Folder\\Copies", "The target folder cannot lie inside the source folder."},
        {longSource, shortSource, "The target folder cannot be the source folder."},
        {shortSource + "\\Inner Folder", longSource, "The source folder cannot lie inside the target folder."},
        {longSource, dir.File("Long Source Folder Copies"), ""},
    };
    for (const auto& c : cases) {
        config.source = c.source;
        config.target = c.target;
        EXPECT_EQ(c.problem, ConfigProblemOnDisk(config)) << c.source << " -> " << c.target;
    }

    // The run refuses it too: listed, nothing copied, no folder made.
    WriteBytes(longSource + "\\a.txt", "a");
    config.source = longSource;
    config.target = shortSource + "\\Copies";
    configs = {config};
    ASSERT_TRUE(Run({longSource + "\\a.txt"}));
    EXPECT_EQ(Strings{longSource + "\\a.txt (The target folder cannot lie inside the source folder.)"},
              progress.failures);
    EXPECT_EQ((Strings{"Inner Folder", "a.txt"}), Names(longSource));
}

TEST_F(BackupEngineTest, AConfigurationWhoseTargetLeadsIntoItsSourceNeverRunsAndTheSourceStaysWhole)
{
    commands.postProgram = InstallRecorder();
    commands.postArguments = "%DROPTARGETPATH";
    commands.removeCopies = 1;
    WriteBytes(In("only.txt"), "the only copy");
    MakeFolder(dir.File("Links"));
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(dir.File("Links"), "ToData", "..\\Data"));
    SubstitutedDrive drive;
    ASSERT_TRUE(drive.Make('R', dir.Path()));
    const std::string same = " (The target folder cannot be the source folder.)";
    const std::string inside = " (The target folder cannot lie inside the source folder.)";
    const std::string link = " (The target folder cannot be a link to another folder.)";
    for (const auto& c :
         {std::make_pair(dir.File("Links\\ToData"), link), std::make_pair(dir.File("Links\\ToData\\Copies"), inside),
          std::make_pair(std::string("R:\\Data"), same)}) {
        const std::string& reached = c.first;
        configs[0].target = reached;
        ASSERT_TRUE(Run({In("only.txt")}));
        EXPECT_EQ(Strings{In("only.txt") + c.second}, progress.failures) << reached;
        EXPECT_EQ(Strings{}, Recorded()) << reached;
        EXPECT_EQ(Strings{"only.txt"}, Names(source)) << reached;
        EXPECT_EQ("the only copy", ReadBytes(In("only.txt")));
    }
}

TEST_F(BackupEngineTest, TheFileTypesSelectWhatADroppedFolderGivesButADroppedFileIsAlwaysTaken)
{
    configs[0].fileTypes = {"*.txt"};
    WriteBytes(In("a.txt"), "a");
    WriteBytes(In("b.doc"), "b");
    MakeFolder(In("Sub"));
    WriteBytes(In("Sub\\c.txt"), "c");
    WriteBytes(In("Sub\\d.doc"), "d");
    const struct {
        int exclude;
        int subfolders;
        Strings dropped;
        Strings top;
        Strings sub;
    } cases[] = {
        {0, 0, {source}, {"a.txt"}, {}},
        {0, 1, {source}, {"Sub", "a.txt"}, {"c.txt"}},
        // Excluded patterns take every folder, whatever the subfolder setting.
        {1, 0, {source}, {"Sub", "b.doc"}, {"d.doc"}},
        {1, 1, {source}, {"Sub", "b.doc"}, {"d.doc"}},
        {0, 0, {In("b.doc"), In("Sub\\d.doc")}, {"Sub", "b.doc"}, {"d.doc"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        configs[0].excludeFileTypes = static_cast<unsigned char>(c.exclude);
        configs[0].includeSubfolders = static_cast<unsigned char>(c.subfolders);
        configs[0].target = dir.File(("Save" + std::to_string(++n)).c_str());
        target = configs[0].target;
        ASSERT_TRUE(Run(c.dropped));
        EXPECT_EQ(Strings{}, progress.failures) << n;
        EXPECT_EQ(c.top, Names(target)) << n;
        EXPECT_EQ(c.sub, Names(Out("Sub"))) << n;
        EXPECT_EQ(progress.range, progress.steps) << n;
    }
}

TEST_F(BackupEngineTest, NamesEndingInADotOrABlankAndPathsOfAnyLengthAreCopiedAndRemovedExactly)
{
    for (const char* name : {"thesis.doc", "thesis.doc.", "thesis.doc "})
        WriteExact(In(name), std::string("bytes of ") + name);
    // About 1,000 characters: five folders of 190.
    std::string deep = source;
    std::string relative;
    for (char letter = 'p'; letter < 'u'; letter++) {
        relative += (relative.empty() ? "" : "\\") + std::string(190, letter);
        deep = In(relative);
        ASSERT_TRUE(CreateDirectoryW(Exact(deep).c_str(), nullptr));
    }
    WriteExact(deep + "\\deep.txt", "at the bottom");
    SetFileAttributesW(Exact(In("thesis.doc")).c_str(), FILE_ATTRIBUTE_READONLY);

    ASSERT_TRUE(Run({source}));
    EXPECT_EQ(Strings{}, progress.failures);
    const std::vector<std::wstring> names = {Wide(std::string(190, 'p')), L"thesis.doc", L"thesis.doc ",
                                             L"thesis.doc."};
    EXPECT_EQ(names, WideNames(Exact(target)));
    for (const char* name : {"thesis.doc", "thesis.doc.", "thesis.doc "})
        EXPECT_EQ(std::string("bytes of ") + name, ReadExact(Out(name))) << name;
    EXPECT_EQ("at the bottom", ReadExact(Out(relative + "\\deep.txt")));
    EXPECT_GT(Out(relative + "\\deep.txt").size(), 1000u);

    // Made again in a new target and removed, the read-only copy too, with
    // the folders this run made; the source as it was.
    configs[0].target = dir.File("Sent");
    commands.postProgram = InstallRecorder();
    commands.removeCopies = 1;
    ASSERT_TRUE(Run({source}));
    EXPECT_EQ(Strings{}, progress.failures);
    EXPECT_EQ(4u, copied);
    EXPECT_FALSE(Exists(configs[0].target));
    EXPECT_EQ(names, WideNames(Exact(source)));
    for (const char* name : {"thesis.doc", "thesis.doc.", "thesis.doc "})
        EXPECT_EQ(std::string("bytes of ") + name, ReadExact(In(name))) << name;
    EXPECT_EQ("at the bottom", ReadExact(deep + "\\deep.txt"));
}

TEST_F(BackupEngineTest, ALinkOrAFileWhereATargetFolderMustBeFailsItsItemsAndNothingElsewhereIsTouched)
{
    const std::string elsewhere = dir.File("Elsewhere");
    MakeFolder(elsewhere);
    WriteBytes(elsewhere + "\\m.txt", "not a copy");
    MakeFolder(target);
    FolderLinks links(dir.Path());
    ASSERT_TRUE(links.Make(target, "Mail", elsewhere, true));
    WriteBytes(Out("Box"), "a file named like a folder");
    MakeFolder(In("Mail"));
    WriteBytes(In("Mail\\m.txt"), "new mail");
    MakeFolder(In("Box"));
    WriteBytes(In("Box\\b.txt"), "b");
    WriteBytes(In("a.txt"), "a");
    commands.postProgram = InstallRecorder();
    commands.removeCopies = 1;

    ASSERT_TRUE(Run({source}));
    Strings failures = progress.failures;
    std::sort(failures.begin(), failures.end());
    EXPECT_EQ((Strings{In("Box\\b.txt") + " (a file where the folder " + Out("Box") + " must be)",
                       In("Mail\\m.txt") + " (a link on the target side: " + Out("Mail") + ")"}),
              failures);
    EXPECT_EQ(Strings{"m.txt"}, Names(elsewhere));
    EXPECT_EQ("not a copy", ReadBytes(elsewhere + "\\m.txt"));
    EXPECT_EQ((Strings{"Box", "Mail"}), Names(target));  // a.txt copied, then removed
    EXPECT_EQ("a file named like a folder", ReadBytes(Out("Box")));
}

TEST_F(BackupEngineTest, AProgramRunByTheCommandInterpreterIsNeverHandedANameItWouldReadAsACommand)
{
    // A batch file that records its arguments, under a folder with a blank.
    const std::string batch = dir.File("Program Files\\record.cmd");
    MakeFolder(dir.File("Program Files"));
    WriteBytes(batch, "@echo %*>>\"%DERVANE_RECORD%\"\r\n");
    commands.custom = 1;
    commands.customProgram = batch;
    commands.customArguments = "\"%SOURCE\" [%NAME]";
    const Strings turned = {"a&md C_pwned&b.txt", "%COMSPEC%.txt", "x^y.txt"};
    for (const std::string& name : turned)
        WriteBytes(In(name), "t");
    WriteBytes(In("plain name.txt"), "p");
    ASSERT_TRUE(Run({source}));
    Strings failures = progress.failures;
    std::sort(failures.begin(), failures.end());
    EXPECT_EQ((Strings{In("%COMSPEC%.txt") + " (not run: the command interpreter would take the % in \"" +
                           In("%COMSPEC%.txt") + "\" as a command)",
                       In("a&md C_pwned&b.txt") + " (not run: the command interpreter would take the & in \"" +
                           In("a&md C_pwned&b.txt") + "\" as a command)",
                       In("x^y.txt") + " (not run: the command interpreter would take the ^ in \"" + In("x^y.txt") +
                           "\" as a command)"}),
              failures);
    EXPECT_EQ(Strings{"\"" + In("plain name.txt") + "\" [Daily]"}, Recorded());

    // What a file name cannot hold, a configuration's name can; the
    // interpreter itself, named by COMSPEC, is refused the same.
    char comspec[MAX_PATH] = {};
    ASSERT_NE(0u, GetEnvironmentVariableA("COMSPEC", comspec, MAX_PATH));
    for (const char* name : {"a|b", "a<b", "a>b", "a\"b"}) {
        configs[0].name = name;
        for (const std::string& program : {batch, std::string(comspec)}) {
            commands.customProgram = program;
            ASSERT_TRUE(Run({In("plain name.txt")}));
            EXPECT_EQ(Strings{In("plain name.txt") + " (not run: the command interpreter would take the " +
                              std::string(1, name[1]) + " in \"" + name + "\" as a command)"},
                      progress.failures)
                << program;
        }
    }
    EXPECT_EQ(Strings{}, Recorded());

    // The after program: the dropped item is listed and nothing of it is
    // removed.
    configs[0].name = "Daily";
    commands.custom = 0;
    commands.postProgram = batch;
    commands.postArguments = "\"%DROPTARGETPATH\"";
    commands.removeCopies = 1;
    ASSERT_TRUE(Run({In("a&md C_pwned&b.txt"), In("plain name.txt")}));
    EXPECT_EQ(Strings{In("a&md C_pwned&b.txt") +
                      " (the after program was not run: the command interpreter would take "
                      "the & in \"" +
                      Out("a&md C_pwned&b.txt") + "\" as a command)"},
              progress.failures);
    EXPECT_EQ(Strings{"\"" + Out("plain name.txt") + "\""}, Recorded());
    EXPECT_EQ(Strings{"a&md C_pwned&b.txt"}, Names(target));
    EXPECT_FALSE(Exists(dir.File("C_pwned")));
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_FALSE(Exists(std::string(current) + "\\C_pwned"));
}

TEST_F(BackupEngineTest, CancelDuringASlowAfterProgramEndsTheRunAndItsCopiesStay)
{
    commands.postProgram = InstallRecorder();
    commands.postArguments = "%DROPTARGETPATH";
    commands.removeCopies = 1;
    WriteBytes(In("a.txt"), "a");
    WriteBytes(In("b.txt"), "b");
    const char* eventName = "DervaneBackupTestRelease";
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, eventName);
    ASSERT_NE(nullptr, release);
    SetEnvironmentVariableA("DERVANE_WAIT_EVENT", eventName);
    // Cancel is pressed once the program has started and said who it is.
    cancelWhen = [this] {
        return ReadBytes(record).find("\npid ") != std::string::npos && ReadBytes(record).back() == '\n';
    };
    ASSERT_TRUE(Run({In("a.txt"), In("b.txt")}));
    SetEnvironmentVariableA("DERVANE_WAIT_EVENT", nullptr);
    const Strings lines = Recorded();
    ASSERT_EQ(2u, lines.size());
    HANDLE program = OpenProcess(SYNCHRONIZE, FALSE, std::stoul(lines[1].substr(4)));
    ASSERT_NE(nullptr, program);
    // The run ended while the program still waits; it goes on by itself.
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(program, 0));
    SetEvent(release);
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(program, 20000));
    CloseHandle(program);
    CloseHandle(release);
    EXPECT_EQ(Out("a.txt"), lines[0]);
    EXPECT_EQ(Strings{commands.postProgram + " " + Out("a.txt") +
                      " (cancelled while the program ran, which goes on by itself)"},
              progress.failures);
    EXPECT_EQ(Strings{"a.txt"}, Names(target));  // not removed; b.txt never begun
}

TEST_F(BackupEngineTest, OnFatAndExFatTargetsTimesUpTo2SecondsApartAreTheSameElsewhereExactly)
{
    WriteBytes(In("f.txt"), "same size");
    MakeOld(In("f.txt"));
    ASSERT_TRUE(Run({source}));
    ASSERT_EQ(1u, copied);
    const struct {
        const char* fileSystem;  // nullptr: as the system names the test's volume
        int seconds;
        bool skipped;
    } cases[] = {{"FAT32", 1, true}, {"exFAT", 2, true}, {"FAT", 3, false}, {"NTFS", 1, false}, {nullptr, 1, false}};
    for (const auto& c : cases) {
        WriteBytes(Out("f.txt"), "SAME SIZE");
        MakeOld(Out("f.txt"), c.seconds);
        fileSystem = c.fileSystem;
        ASSERT_TRUE(Run({source}));
        const std::string which = c.fileSystem ? c.fileSystem : "the system's";
        EXPECT_EQ(Strings{}, progress.failures) << which;
        EXPECT_EQ(c.skipped ? 1u : 0u, skipped) << which;
        EXPECT_EQ(c.skipped ? "SAME SIZE" : "same size", ReadBytes(Out("f.txt"))) << which;
    }
}
