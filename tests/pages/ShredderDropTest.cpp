// Which dropped paths the File Shredder deletes and which it refuses.
#include <gtest/gtest.h>

#include <windows.h>

#include "autodelete/ShredderIconWnd.h"

TEST(ShredderDrop, RootsSystemFoldersDevicePathsAndDotsAreRefusedTheRestDeleted)
{
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    const std::string program = "C:\\Program Files\\Dervane";
    const std::vector<std::string> dropped = {
        "C:\\Work\\old.tmp",
        "C:\\",
        windows,
        program,
        "C:\\Program Files",
        "\\\\?\\unix\\etc",
        "\\\\?\\C:\\Work",
        "C:\\Work\\..",
        "C:\\Work\\Drafts",
    };
    std::string refused;
    const std::vector<std::string> accepted = CShredderIconWnd::AcceptedPaths(dropped, program, &refused);
    EXPECT_EQ((std::vector<std::string>{"C:\\Work\\old.tmp", "C:\\Work\\Drafts"}), accepted);
    for (size_t i = 1; i + 1 < dropped.size(); ++i)
        EXPECT_NE(std::string::npos, refused.find(dropped[i] + " (")) << dropped[i] << " not refused:\n" << refused;
}
