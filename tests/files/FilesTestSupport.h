// Fixtures of the deletion and backup tests under Wine: files and folders
// made in the test's own temporary folder (which lies in the prefix's drive
// C:), links made there with the system's ln, waits for dialogs (message
// boxes and control glue: DialogDriving.h).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "tests/harness/DialogDriving.h"
#include "tests/harness/WideText.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Fails the test unless path lies inside folder (both full paths).
bool IsInside(const std::string& path, const std::string& folder);

void MakeFolder(const std::string& path);
void MakeFile(const std::string& path, bool readOnly = false);
bool Exists(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> Names(const std::string& folder);
// A file or folder made through the wide calls.
void MakeFileW(const std::wstring& path);
void MakeFolderW(const std::wstring& path);
// levels folders of 100 'n's, one in the other, below root, made through the
// "\\?\" form; answers that form of the deepest (empty if one failed).
std::wstring MakeDeepFolder(const std::string& root, int levels);
// A drop of these wide paths as the shell makes one (DROPFILES in a global
// block, which DragFinish frees); nullptr when it cannot be made.
HDROP MakeDrop(const std::vector<std::wstring>& paths);
// The 8.3 short form of an existing path, or empty when the file system
// gives it none (GetShortPathNameA answers the long form).
std::string ShortFormOf(const std::string& path);

// Links made in a test's temporary tree, removed (the links, never their
// targets) when the object goes.
class FolderLinks {
public:
    // tree: the test's own temporary folder; every link and target lies in it.
    explicit FolderLinks(std::string tree) : m_tree(std::move(tree)) { }
    ~FolderLinks();
    FolderLinks(const FolderLinks&) = delete;
    FolderLinks& operator=(const FolderLinks&) = delete;

    // A Linux symbolic link named name in folder, to target, a folder of the
    // tree given relative to folder ("..\\Sibling"), or, with absolute set,
    // by its full Linux path (as a junction names its target). Answers once
    // the system shows it as a linked folder.
    bool Make(const std::string& folder, const std::string& name, const std::string& target, bool absolute = false);
    // A link named name in folder to the prefix's Windows folder.
    bool MakeToWindowsFolder(const std::string& folder, const std::string& name);

private:
    bool MakeTo(const std::string& folder, const std::string& name, const std::string& linuxTarget);
    std::string m_tree;
    std::vector<std::string> m_links;
};

// A drive letter of the prefix leading to one of its folders, as a
// substituted drive does, taken away again when the object goes. Wine reads
// its drives from the prefix's dosdevices folder at every open.
class SubstitutedDrive {
public:
    SubstitutedDrive() = default;
    ~SubstitutedDrive();
    SubstitutedDrive(const SubstitutedDrive&) = delete;
    SubstitutedDrive& operator=(const SubstitutedDrive&) = delete;

    // letter: one the prefix does not have; folder: a folder of drive C:.
    // Tests run side by side in one prefix, so each test takes a letter of
    // its own (S and T: the task editor's, Q: the backup editor's, R: the
    // backup run's).
    // Answers once the drive shows the folder.
    bool Make(char letter, const std::string& folder);
    std::string Root() const { return m_root; }

private:
    std::string m_link;  // the Linux path of the drive's link
    std::string m_root;  // "S:\"
};

// Dispatches this thread's messages until done() holds or timeoutMs passed;
// answers done().
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches this thread's queued messages.
void PumpPending();

// Runs open, which shows a modal dialog of this thread; while it runs,
// act(dialog) is called every 20 ms with the thread's visible dialog titled
// caption, until it answers true (it has seen what it waited for and ended
// the dialog). After about 10 seconds the dialog is cancelled. Answers
// whether act finished.
bool WhileModal(const std::function<void()>& open, const char* caption, const std::function<bool(HWND)>& act);

// Where a progress dialog's Cancel and failure list lie against the bottom of
// its client area, in client pixels.
struct ProgressFold {
    int clientBottom = 0;
    int cancelBottom = 0;
    int listTop = 0;
    int listBottom = 0;
};
ProgressFold ReadProgressFold(HWND dialog);
