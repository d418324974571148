// The folder macros with this machine's values, the folder search below the
// second browser's installation, and the ready-made tasks shipped with the
// program.
#include "autodelete/DeletionTaskList.h"
#include "autodelete/FolderMacros.h"
#include "files/TaskFolderCheck.h"

#include "tests/common/TempDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const char kNavigatorKey[] = "Software\\Netscape\\Netscape Navigator\\Main";

std::string Expanded(std::string text)
{
    ExpandFolderMacros(text);
    return text;
}

void MakeFolder(const std::string& path)
{
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
}

// The browser's installation key for one test, removed afterwards.
class NavigatorKey {
public:
    explicit NavigatorKey(const std::string& installDirectory)
    {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, kNavigatorKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
        RegSetValueExA(key, "Install Directory", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDirectory.c_str()),
                       static_cast<DWORD>(installDirectory.size() + 1));
        RegCloseKey(key);
    }
    ~NavigatorKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kNavigatorKey); }
};

std::string LogonName()
{
    char name[64] = "";
    DWORD size = sizeof name;
    GetUserNameA(name, &size);
    return name;
}

}  // namespace

TEST(FolderMacrosTest, ExpandToThisMachinesFolders)
{
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_EQ(std::string(windows) + "\\TEMP", Expanded("%WINDOWS%\\TEMP"));
    EXPECT_EQ(std::string(windows, 2) + "\\TEMP", Expanded("%WINDOWS_DRIVE%\\TEMP"));
    EXPECT_EQ(std::string(windows) + ";" + windows, Expanded("%WINDOWS%;%WINDOWS%"));
    const std::string temp = Expanded("%WINDOWS_TEMP%");
    ASSERT_FALSE(temp.empty());
    EXPECT_NE('\\', temp.back());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(temp.c_str()));
    const std::string recent = Expanded("%RECENT_FILES%");
    EXPECT_NE(std::string::npos, recent.find("Recent")) << recent;
    EXPECT_EQ("%windows%\\TEMP", Expanded("%windows%\\TEMP"));
}

TEST(FolderMacrosTest, TheSecondBrowsersCacheIsTheLogonUsersOwn)
{
    std::string text = "%NAVIGATOR_TEMP%";
    RegDeleteKeyA(HKEY_CURRENT_USER, kNavigatorKey);
    EXPECT_FALSE(ExpandFolderMacros(text));
    EXPECT_EQ("", text);

    TempDir dir;
    const std::string root = dir.File("Navigator");
    MakeFolder(root);
    MakeFolder(root + "\\Program");
    MakeFolder(root + "\\Users");
    MakeFolder(root + "\\Users\\someone");
    MakeFolder(root + "\\Users\\someone\\Cache");
    NavigatorKey key(root + "\\Program");
    // No folder for the logon name: empty, though a Cache lies below Users.
    text = "%NAVIGATOR_TEMP%";
    EXPECT_FALSE(ExpandFolderMacros(text));
    EXPECT_EQ("", text);

    MakeFolder(root + "\\Users\\" + LogonName());
    MakeFolder(root + "\\Users\\" + LogonName() + "\\Cache");
    EXPECT_EQ(root + "\\Users\\" + LogonName() + "\\Cache", Expanded("%NAVIGATOR_TEMP%"));
}

TEST(FolderMacrosTest, FindFolderByNameSearchesDepthFirstInAnyLetterCase)
{
    TempDir dir;
    MakeFolder(dir.File("a"));
    MakeFolder(dir.File("a\\deep"));
    MakeFolder(dir.File("a\\deep\\CACHE"));
    MakeFolder(dir.File("b"));
    EXPECT_EQ(dir.File("a\\deep\\CACHE"), FindFolderByName(dir.Path(), "cache"));
    EXPECT_EQ("", FindFolderByName(dir.Path(), "missing"));
    EXPECT_EQ("", FindFolderByName(dir.File("none"), "a"));
}

TEST(FolderMacrosTest, TheShippedCommonTasksReadWithTheirFoldersExpanded)
{
    const std::vector<DeletionTask> tasks = CDeletionTaskList::LoadCommonFolders("..\\AutoDeleteCommon.txt",
                                                                                 &ExpandFolderMacros);
    ASSERT_GE(tasks.size(), 5u);
    EXPECT_EQ("Temporary files", tasks[0].name);
    EXPECT_EQ(Expanded("%WINDOWS_TEMP%"), tasks[0].folder);
    EXPECT_EQ(std::vector<std::string>{"*.*"}, tasks[0].fileTypes);
    EXPECT_EQ(1, tasks[0].olderThanDays);  // what a running program just made stays
    EXPECT_TRUE(CheckTaskFolderHere(tasks[0].folder, "C:\\Program Files\\Dervane").Ok());
    for (const DeletionTask& task : tasks) {
        EXPECT_FALSE(task.name.empty());
        EXPECT_EQ(std::string::npos, task.folder.find('%')) << task.folder;
        if (!task.missingMacro) {
            EXPECT_TRUE(CheckTaskFolderHere(task.folder, "C:\\Program Files\\Dervane").Ok()) << task.folder;
        }
    }
}
