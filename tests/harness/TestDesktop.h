#pragma once
#include <windows.h>

#include <string>

// The desktop folder (CSIDL_DESKTOPDIRECTORY) of the test's Wine prefix,
// emptied for each test and filled with the files the test asks for. Names
// are plain file names: nothing outside the folder is ever touched.
//
// Under Wine the folder must be a real folder inside the prefix (the harness
// makes it one). On Windows the tests would work on the user's real desktop,
// so Open refuses unless DERVANE_TEST_DESKTOP=1 is set.
class CTestDesktop {
public:
    CTestDesktop() = default;
    ~CTestDesktop();
    CTestDesktop(const CTestDesktop&) = delete;
    CTestDesktop& operator=(const CTestDesktop&) = delete;

    // Finds the folder and empties it. Needs COM on this thread for shortcuts.
    int Open();
    const std::string& Folder() const { return m_folder; }
    std::string PathOf(const std::string& name) const;

    int AddFile(const std::string& name, const std::string& content = std::string());
    int AddFolder(const std::string& name);
    // Creates name + ".lnk" pointing at target.
    int AddShortcut(const std::string& name, const std::string& target, const std::string& arguments = std::string(),
                    const std::string& description = std::string());
    int Remove(const std::string& name);
    int Rename(const std::string& from, const std::string& to);
    // Deletes everything inside the folder.
    int Clear();

    // A plain file name: not empty, no folder separators, not "." or "..".
    static bool IsPlainName(const std::string& name);

private:
    static int RemoveTree(const std::string& path);

    std::string m_folder;
};
