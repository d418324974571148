// The backup configurations and their file, read and written as bytes, and
// the rules that need no file system: which configuration takes a dropped
// path, which configurations may run, and the programs' argument texts.
#include "backup/BackupConfigList.h"
#include "backup/BackupRules.h"

#include "common/Log.h"
#include "tests/common/LoggedFolderTest.h"
#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

const char kHeader[] = "KTX_FILE\tDERVANE BACKUP\r\nVERSION\t1.0\r\n";
const char kCommands[] = "CUSTOM\t0\r\nCUSTOM_COMMAND\t\t\r\nPOST_COMMAND\t\t\t0\r\n";

BackupConfig Config(const std::string& source, const std::string& target, Strings types = {"*.*"},
                    const std::string& name = "")
{
    BackupConfig c;
    c.source = source;
    c.target = target;
    c.name = name;
    c.fileTypes = std::move(types);
    return c;
}

Strings Sources(const CBackupConfigList& list)
{
    Strings sources;
    for (const BackupConfig& c : list.Configs())
        sources.push_back(c.source);
    return sources;
}

class BackupConfigListTest : public LoggedFolderTest {
protected:
    std::string file = dir.File("Backup.txt");
    CBackupConfigList list;
};

}  // namespace

TEST_F(BackupConfigListTest, WritesTheDocumentedRecordsReadsThemBackAndRefusesACaseDifferentDuplicate)
{
    BackupCommands commands;
    commands.custom = 1;
    commands.customProgram = "C:\\Tools\\pack.exe";
    commands.customArguments = "%SOURCE %TARGET";
    commands.postProgram = "C:\\Tools\\send.exe";
    commands.postArguments = "%DROPTARGETPATH";
    commands.removeCopies = 1;
    list.SetCommands(commands);
    BackupConfig mail = Config("C:\\Data\\Mail", "D:\\Save\\Mail", {"*.eml", "*.txt"}, "Mail");
    mail.excludeFileTypes = 1;
    ASSERT_EQ(1, list.Add(mail));
    BackupConfig data = Config("C:\\Data", "D:\\Save", {});
    data.includeSubfolders = 0;
    ASSERT_EQ(1, list.Add(data));
    EXPECT_EQ(0, list.Add(Config("c:\\DATA", "d:\\save")));
    EXPECT_EQ(0, list.Add(Config("C:\\Data", "E:\\Other")));  // one configuration per source

    EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
    EXPECT_FALSE(list.IsModified());
    EXPECT_EQ(std::string(kHeader) +
                  "CUSTOM\t1\r\nCUSTOM_COMMAND\tC:\\Tools\\pack.exe\t%SOURCE %TARGET\r\n"
                  "POST_COMMAND\tC:\\Tools\\send.exe\t%DROPTARGETPATH\t1\r\n"
                  "ENTRY_0\tMail\t1\t1\r\nENTRY_0_SOURCE\tC:\\Data\\Mail\r\nENTRY_0_DEST\tD:\\Save\\Mail\r\n"
                  "ENTRY_0_TYPE_0\t*.eml\r\nENTRY_0_TYPE_1\t*.txt\r\nENTRY_0_TYPE_2\t#%#\r\n"
                  "ENTRY_1\t\t0\t0\r\nENTRY_1_SOURCE\tC:\\Data\r\nENTRY_1_DEST\tD:\\Save\r\nENTRY_1_TYPE_0\t#%#\r\n",
              ReadBytes(file));
    EXPECT_FALSE(FileExists(file + ".new"));
    EXPECT_EQ(ListSaveResult::kNotChanged, list.Save(file));

    CBackupConfigList read;
    ASSERT_EQ(1, read.Load(file));
    EXPECT_FALSE(read.IsModified());
    const BackupCommands& c = read.Commands();
    EXPECT_EQ(1, c.custom);
    EXPECT_EQ("C:\\Tools\\pack.exe", c.customProgram);
    EXPECT_EQ("%SOURCE %TARGET", c.customArguments);
    EXPECT_EQ("C:\\Tools\\send.exe", c.postProgram);
    EXPECT_EQ("%DROPTARGETPATH", c.postArguments);
    EXPECT_EQ(1, c.removeCopies);
    ASSERT_EQ((Strings{"C:\\Data\\Mail", "C:\\Data"}), Sources(read));
    const BackupConfig& m = read.Configs()[0];
    EXPECT_EQ("Mail", m.name);
    EXPECT_EQ("D:\\Save\\Mail", m.target);
    EXPECT_EQ(1, m.includeSubfolders);
    EXPECT_EQ(1, m.excludeFileTypes);
    EXPECT_EQ((Strings{"*.eml", "*.txt"}), m.fileTypes);
    EXPECT_EQ(0, read.Configs()[1].includeSubfolders);
    EXPECT_TRUE(read.Configs()[1].fileTypes.empty());

    // An edited configuration moves to the end; the search by source is exact.
    read.Replace(read.Find("C:\\Data\\Mail"), Config("C:\\Data\\Mail", "D:\\M"));
    EXPECT_EQ((Strings{"C:\\Data", "C:\\Data\\Mail"}), Sources(read));
    EXPECT_EQ(-1, read.Find("c:\\data"));
    EXPECT_TRUE(read.IsModified());
}

TEST_F(BackupConfigListTest, CommandsAndConfigurationsAreReadWhereverTheCommandsStand)
{
    // The commands after the entries: both read.
    WriteBytes(file,
               std::string(kHeader) +
                   "ENTRY_0\tA\t1\t0\r\nENTRY_0_SOURCE\tC:\\A\r\nENTRY_0_DEST\tD:\\A\r\nENTRY_0_TYPE_0\t#%#\r\n" +
                   "CUSTOM\t1\r\nCUSTOM_COMMAND\tC:\\p.exe\t-x\r\nPOST_COMMAND\tC:\\q.exe\t-y\t1\r\n");
    ASSERT_EQ(1, list.Load(file));
    EXPECT_EQ(Strings{"C:\\A"}, Sources(list));
    EXPECT_EQ(1, list.Commands().custom);
    EXPECT_EQ("C:\\p.exe", list.Commands().customProgram);
    EXPECT_EQ("-y", list.Commands().postArguments);

    // No POST_COMMAND: its defaults. A file entry's missing flags are clear,
    // unlike a new configuration's.
    const std::string entry = "ENTRY_0\tA\r\nENTRY_0_SOURCE\tC:\\A\r\nENTRY_0_DEST\tD:\\A\r\nENTRY_0_TYPE_0\t#%#\r\n";
    WriteBytes(file, std::string(kHeader) + "CUSTOM\t0\r\nCUSTOM_COMMAND\t\t\r\n" + entry);
    ASSERT_EQ(1, list.Load(file));
    EXPECT_EQ(1u, list.Configs().size());
    EXPECT_EQ("", list.Commands().postProgram);
    EXPECT_FALSE(list.KeepsOldFile());
    WriteBytes(file, std::string(kHeader) + kCommands + entry);
    ASSERT_EQ(1, list.Load(file));
    ASSERT_EQ(1u, list.Configs().size());
    EXPECT_EQ(0, list.Configs()[0].includeSubfolders);
    EXPECT_EQ(1, BackupConfig().includeSubfolders);

    // Another title, then no file: defaults, each logged.
    WriteBytes(file, "KTX_FILE\tDERVANE AUTODELETE\r\nCUSTOM\t1\r\n");
    EXPECT_EQ(0, list.Load(file));
    EXPECT_EQ(0, list.Commands().custom);
    EXPECT_TRUE(list.KeepsOldFile());
    EXPECT_NE(std::string::npos, ErrorLog().find("Backup.txt not read: it is no DERVANE BACKUP file"));
    EXPECT_EQ(0, list.Load(dir.File("none.txt")));
    EXPECT_NE(std::string::npos, ErrorLog().find("> WARNING: Cannot read Backup.txt file"));
}

TEST_F(BackupConfigListTest, ASaveThatCannotBeWholeLeavesTheOldFileAndTheListModified)
{
    WriteBytes(file, std::string(kHeader) + kCommands);
    const std::string old = ReadBytes(file);
    list.Add(Config("C:\\A", "D:\\A", {}, "two\tfields"));
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    list.Remove(0);
    BackupCommands commands;
    commands.postArguments = "line\r\nbreak";
    list.SetCommands(commands);
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    list.SetCommands(BackupCommands());
    // A path too long for a record is never cut: nothing is written.
    list.Add(Config("C:\\" + std::string(1100, 'x'), "D:\\A"));
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(file));
    EXPECT_TRUE(list.IsModified());
    EXPECT_EQ(old, ReadBytes(file));
    EXPECT_FALSE(FileExists(file + ".new"));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot write Backup.txt file"));
    list.Remove(0);
    EXPECT_EQ(ListSaveResult::kFailed, list.Save(dir.File("no-such-folder/Backup.txt")));
    EXPECT_NE(std::string::npos, ErrorLog().find("Cannot create Backup.txt file"));
    EXPECT_EQ(ListSaveResult::kWritten, list.Save(file));
}

TEST_F(BackupConfigListTest, BadFilesLoadWithoutHarmAndTheirBadConfigurationsAreRefused)
{
    static const char kNulName[] = "ENTRY_0\tN\0ame\t1\t0\r\n";
    std::string bytes = std::string(kHeader) + kCommands;
    bytes += std::string(kNulName, sizeof kNulName - 1) + "ENTRY_0_SOURCE\tC:\\A\r\nENTRY_0_DEST\t..\\x\r\n";
    // A 5,000-character line is no record, nor is any piece of it.
    bytes += "JUNK\t" + std::string(5000, 'x') + "\r\nENTRY_0_TYPE_0\t" + std::string(300, '*') +
        "\r\nENTRY_0_TYPE_1\t#%#\r\n";
    for (int i = 1; i < 2999; i++) {
        const std::string n = std::to_string(i);
        bytes += "ENTRY_" + n + "\t\t1\t0\r\nENTRY_" + n + "_SOURCE\tC:\\S" + n + "\r\nENTRY_" + n + "_DEST\tD:\\T" +
            n + "\r\nENTRY_" + n + "_TYPE_0\t#%#\r\n";
    }
    // The last one lacks its source record (a line without a TAB is none).
    bytes += "ENTRY_2999\t%NAME%SOURCE\r\nENTRY_2999_SOURCE\r\nENTRY_2999_DEST\tD:\\B\r\nENTRY_2999_TYPE_0\t#%#\r\n";
    WriteBytes(file, bytes);
    ASSERT_EQ(1, list.Load(file));
    ASSERT_EQ(3000u, list.Configs().size());
    const BackupConfig& first = list.Configs()[0];
    EXPECT_EQ("N", first.name);  // a value reads up to its first NUL
    EXPECT_EQ(Strings{std::string(300, '*')}, first.fileTypes);
    EXPECT_NE("", ConfigProblem(first));
    EXPECT_EQ("C:\\S2998", list.Configs()[2998].source);
    EXPECT_EQ("", ConfigProblem(list.Configs()[2998]));
    EXPECT_EQ("%NAME%SOURCE", list.Configs().back().name);
    EXPECT_EQ("", list.Configs().back().source);
    EXPECT_EQ("D:\\B", list.Configs().back().target);
    EXPECT_EQ("Please specify both source and target folders!", ConfigProblem(list.Configs().back()));
    std::string target;
    EXPECT_EQ(2998, FindConfig(list.Configs(), "C:\\S2998\\x", &target));
    EXPECT_EQ("D:\\T2998\\x", target);
}

TEST(FindConfigTest, TakesTheLongestSourceThatHoldsThePathAtAFolderBoundary)
{
    const std::vector<BackupConfig> configs = {Config("C:\\Data", "D:\\Save"), Config("C:\\Data\\Mail", "D:\\Mail"),
                                               Config("c:\\data", "E:\\Second"), Config("F:\\Hand\\", "G:\\Out\\")};
    std::string target = "left over";
    EXPECT_EQ(1, FindConfig(configs, "C:\\Data\\Mail\\a.txt", &target));
    EXPECT_EQ("D:\\Mail\\a.txt", target);
    EXPECT_EQ(0, FindConfig(configs, "c:\\DATA\\Other\\b.txt", &target));
    EXPECT_EQ("D:\\Save\\Other\\b.txt", target);
    EXPECT_EQ(0, FindConfig(configs, "C:\\Data", &target));
    EXPECT_EQ("D:\\Save", target);
    EXPECT_EQ(0, FindConfig(configs, "C:\\Data\\Mailbox\\c.txt", &target));
    EXPECT_EQ(-1, FindConfig(configs, "C:\\Database\\x.txt", &target));
    EXPECT_EQ("", target);
    EXPECT_EQ(-1, FindConfig(configs, "C:\\Dat", nullptr));
    // Written by hand with trailing backslashes: taken without them.
    EXPECT_EQ(3, FindConfig(configs, "F:\\Hand\\x.txt", &target));
    EXPECT_EQ("G:\\Out\\x.txt", target);
    // A whole drive, as the editor keeps C:\ (without its backslash).
    EXPECT_EQ(0, FindConfig({Config("C:", "E:")}, "C:\\x.txt", &target));
    EXPECT_EQ("E:\\x.txt", target);
    // Letters of every script in any case; the rest of the path as it was.
    EXPECT_EQ(0,
              FindConfig({Config("C:\\\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5", "E:")},  // Данные
                         "c:/\xD0\xB4\xD0\x90\xD0\x9D\xD0\x9D\xD0\xAB\xD0\x95\\\xC3\xA9.txt", &target));
    EXPECT_EQ("E:\\\xC3\xA9.txt", target);
    EXPECT_EQ(-1, FindConfig({Config("C:\\\xC3\xA9", "E:")}, "C:\\e\\x.txt", nullptr));
}

TEST(ConfigProblemTest, RefusesFoldersThatCouldCopyIntoThemselvesOrNameMoreThanMeant)
{
    for (const BackupConfig& ok : {Config("C:\\Data", "D:\\Save"), Config("C:\\Data", "C:\\Database"),
                                   Config("C:", "D:\\Backup"), Config("\\\\server\\share\\x", "C:\\Copy")})
        EXPECT_EQ("", ConfigProblem(ok)) << ok.source << " -> " << ok.target;
    EXPECT_EQ("The target folder cannot lie inside the source folder.",
              ConfigProblem(Config("C:\\Data", "c:\\DATA\\Backup")));
    EXPECT_EQ("The target folder cannot lie inside the source folder.", ConfigProblem(Config("C:", "C:\\Backup")));
    EXPECT_EQ("The target folder cannot be the source folder.", ConfigProblem(Config("C:\\Data", "c:/data/")));
    EXPECT_EQ("The target folder cannot lie inside the source folder.",
              ConfigProblem(Config("C:\\\xCE\xA3\xCF\x87\xCE\xBF\xCE\xBB\xCE\xB5\xCE\xAF\xCE\xBF",  // Σχολείο
                                   "C:\\\xCF\x83\xCE\xA7\xCE\x9F\xCE\x9B\xCE\x95\xCE\x8A\xCE\x9F\\Copy")));
    EXPECT_EQ("The source folder cannot lie inside the target folder.",
              ConfigProblem(Config("C:\\Backup\\Data", "C:\\Backup")));
    EXPECT_EQ("Please specify both source and target folders!", ConfigProblem(Config("", "D:\\Save")));
    EXPECT_EQ("The source folder cannot be a device path (\\\\?\\ or \\\\.\\).",
              ConfigProblem(Config("\\\\?\\C:\\Data", "D:\\Save")));
    EXPECT_EQ("The target folder cannot be a device path (\\\\?\\ or \\\\.\\).",
              ConfigProblem(Config("C:\\Data", "\\\\.\\D:\\Save")));
    EXPECT_EQ("Please enter the full path of the target folder, with its drive (for example C:\\Data).",
              ConfigProblem(Config("C:\\Data", "..\\x")));
    EXPECT_EQ("The target folder cannot contain . or .. or a name ending in a dot or a space.",
              ConfigProblem(Config("C:\\Data", "C:\\Data\\..\\Data\\Copy")));
    EXPECT_EQ("The name cannot contain tabs or line breaks.", ConfigProblem(Config("C:\\A", "D:\\B", {}, "a\tb")));
    // The name's limit is in characters, whatever bytes they take (CJK: 3 each).
    std::string name;
    for (int i = 0; i < 260; ++i)
        name += "\xE5\x90\x8D";
    EXPECT_EQ("", ConfigProblem(Config("C:\\A", "D:\\B", {}, name)));
    EXPECT_EQ("The name is too long: at most 260 characters.", ConfigProblem(Config("C:\\A", "D:\\B", {}, name + "x")));
}

TEST(BackupArgumentsTest, MacrosAreReplacedInOrderOnceAndSectionsEndWithinTheText)
{
    BackupCommands commands;
    const BackupConfig config = Config("C:\\Data", "D:\\Save", {}, "Mail %SOURCE");
    commands.postArguments = "%ISDROPFOLDER(-r) %DROPTARGETPATH";
    EXPECT_EQ("-r D:\\Save\\Mail", PostArguments(commands, config, "C:\\Data\\Mail", "D:\\Save\\Mail", true));
    EXPECT_EQ(" D:\\Save\\a.txt", PostArguments(commands, config, "C:\\Data\\a.txt", "D:\\Save\\a.txt", false));
    commands.postArguments = "%ISDROPFILE(-f)%DROPSOURCEPATH|%TARGETPATH|%NAME";
    EXPECT_EQ("-fC:\\Data\\|D:\\Save\\|Mail %SOURCE",
              PostArguments(commands, config, "C:\\Data\\a.txt", "D:\\Save\\a.txt", false));

    commands.customArguments = "%SOURCEPATH|%SOURCEFILE|%SOURCE|%DROPTARGETPATH|%TARGETPATH|%NAME|%OTHER";
    EXPECT_EQ("C:\\Data\\%TARGET\\|a.txt|C:\\Data\\%TARGET\\a.txt|D:\\Save\\Sub\\|D:\\Save\\Sub\\a.txtPATH|"
              "Mail %SOURCE|%OTHER",
              CustomArguments(commands, config, "C:\\Data\\%TARGET\\a.txt", "D:\\Save\\Sub\\a.txt"));

    std::string text = "-x %ISDROPFOLDER";
    ApplyConditionalSection(text, "%ISDROPFOLDER", true);
    EXPECT_EQ("-x ", text);
    text = "%ISDROPFOLDER(";
    ApplyConditionalSection(text, "%ISDROPFOLDER", true);
    EXPECT_EQ("", text);
    text = "%ISDROPFOLDER(%ISDROPFOLDER(a)b) %ISDROPFOLDER(c";
    ApplyConditionalSection(text, "%ISDROPFOLDER", true);
    EXPECT_EQ("%ISDROPFOLDER(ab) c", text);
    ApplyConditionalSection(text, "%ISDROPFOLDER", false);
    EXPECT_EQ(" c", text);
}

TEST(BackupArgumentsTest, TheCommandInterpreterIsKnownHoweverItsProgramIsWritten)
{
    const std::string comspec = "C:\\windows\\system32\\cmd.exe";
    for (const char* program : {"C:\\Tools\\pack.bat", "\"C:\\Tools\\Pack.CMD\"", "C:\\Tools\\pack.bat. .",
                                "C:\\windows\\system32\\CMD.EXE", "cmd", "%COMSPEC%", "D:\\Shell\\cmd.exe"})
        EXPECT_TRUE(RunsThroughCommandInterpreter(program, comspec)) << program;
    EXPECT_TRUE(RunsThroughCommandInterpreter("D:\\Other Shell\\tcc.exe", "D:\\Other Shell\\TCC.exe"));
    for (const char* program : {"C:\\Tools\\pack.exe", "C:\\Tools\\cmd.exe.txt", "C:\\bat", "C:\\Tools\\x.batch", ""})
        EXPECT_FALSE(RunsThroughCommandInterpreter(program, comspec)) << program;
    EXPECT_FALSE(RunsThroughCommandInterpreter("C:\\Tools\\pack.exe", ""));

    // Read even inside quotes; a line break ends the command.
    for (const char* value : {"a&b", "a|b", "a<b", "a>b", "a^b", "a%b", "a\"b"})
        EXPECT_EQ(std::string(1, value[1]), InterpreterCharacterIn(value)) << value;
    EXPECT_EQ("a line break", InterpreterCharacterIn("a\nb"));
    EXPECT_EQ("a line break", InterpreterCharacterIn("a\rb"));
    EXPECT_EQ("", InterpreterCharacterIn("C:\\My Data\\report (final), v2!.txt"));
}
