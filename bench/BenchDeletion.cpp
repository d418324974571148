// The deletion engine against the system's own commands on identical trees
// in C:\bench (inside the prefix): RunTask with "*.*" over 100 folders of
// 100 files against "cmd /c rmdir /s /q", flat folders of 10,000 and 20,000
// files (100,000 by hand: "make flat100000", then "time flat100000"), and
// the *.tmp half of a tree against "del /s /q". Prints one line
// "name: seconds" per measure; bench/deletion.sh runs it, adds Linux rm -rf
// and the ratios. Run it only in a prefix whose drives lead nowhere outside
// it.
#include "autodelete/DeletionEngine.h"
#include "bench/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const char kBench[] = "C:\\bench";

bool MakeFile(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    WriteFile(file, "data", 4, &written, nullptr);
    CloseHandle(file);
    return true;
}

// folders × files; with half set, every other file is a .tmp.
bool MakeTree(const std::string& root, int folders, int files, bool half)
{
    if (!CreateDirectoryA(root.c_str(), nullptr))
        return false;
    for (int d = 0; d < folders; d++) {
        const std::string folder = root + "\\folder" + std::to_string(d);
        if (!CreateDirectoryA(folder.c_str(), nullptr))
            return false;
        for (int f = 0; f < files; f++) {
            const char* ext = half && f % 2 ? ".tmp" : ".dat";
            if (!MakeFile(folder + "\\file" + std::to_string(f) + ext))
                return false;
        }
    }
    return true;
}

bool MakeFlat(const std::string& root, int files)
{
    if (!CreateDirectoryA(root.c_str(), nullptr))
        return false;
    for (int f = 0; f < files; f++) {
        if (!MakeFile(root + "\\file" + std::to_string(f) + ".dat"))
            return false;
    }
    return true;
}

// Files left below root.
long CountFiles(const std::string& root, const char* pattern = "*")
{
    long count = 0;
    std::vector<FolderEntry> entries;
    if (!ListFolder(root, entries))
        return 0;
    for (const FolderEntry& entry : entries) {
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            count += CountFiles(root + "\\" + entry.name, pattern);
        else if (std::string(pattern) == "*" || entry.name.find(".tmp") != std::string::npos)
            count++;
    }
    return count;
}

double TimeTask(const std::string& folder, const char* pattern, int subfolders)
{
    DeletionTask task;
    task.folder = folder;
    task.fileTypes = {pattern};
    task.includeSubfolders = static_cast<unsigned char>(subfolders);
    task.deleteEmptySubfolders = static_cast<unsigned char>(subfolders);
    const double start = Now();
    RunTask(folder, task);
    return Now() - start;
}

bool Make(const std::string& bench, const std::string& part)
{
    if (part == "tree")
        return MakeTree(bench + "\\tree-task", 100, 100, false) && MakeTree(bench + "\\tree-rmdir", 100, 100, false);
    if (part == "flat10000" || part == "flat20000" || part == "flat100000")
        return MakeFlat(bench + "\\" + part, std::stoi(part.substr(4))) &&
            MakeFlat(bench + "\\" + part + "-del", std::stoi(part.substr(4)));
    if (part == "half")
        return MakeTree(bench + "\\half-task", 100, 100, true) && MakeTree(bench + "\\half-del", 100, 100, true);
    return false;
}

// Times the part's deletions; 2 when one left what it should have deleted.
int Time(const std::string& bench, const std::string& part)
{
    if (part == "tree") {
        Report("runtask_tree", TimeTask(bench + "\\tree-task", "*.*", 1));
        double startup = 1e9;
        for (int i = 0; i < 3; i++) {
            const double t = TimeCommand("cmd.exe /c exit");
            startup = t < startup ? t : startup;
        }
        Report("cmd_start", startup);
        Report("rmdir_tree", TimeCommand("cmd.exe /c rmdir /s /q " + bench + "\\tree-rmdir"));
        return CountFiles(bench + "\\tree-task") == 0 ? 0 : 2;
    }
    if (part == "flat10000" || part == "flat20000" || part == "flat100000") {
        const std::string size = part.substr(4);
        Report(("flat_" + size).c_str(), TimeTask(bench + "\\" + part, "*.*", 0));
        // Wine's own deletion of the same folder tells how much of any
        // growth beyond linear is the system's.
        Report(("del_flat_" + size).c_str(),
               TimeCommand("cmd.exe /c del /q " + bench + "\\" + part + "-del\\*.* >NUL"));
        return CountFiles(bench + "\\" + part) == 0 && CountFiles(bench + "\\" + part + "-del") == 0 ? 0 : 2;
    }
    if (part == "half") {
        Report("runtask_half", TimeTask(bench + "\\half-task", "*.tmp", 1));
        Report("del_half", TimeCommand("cmd.exe /c del /s /q " + bench + "\\half-del\\*.tmp >NUL"));
        return CountFiles(bench + "\\half-task", "tmp") == 0 && CountFiles(bench + "\\half-task") == 5000 ? 0 : 2;
    }
    return 1;
}

}  // namespace

// bench_deletion make|time tree|flat10000|flat20000|flat100000|half. The trees are made
// by one run and timed by the next, so that the script can have the system
// write the new files out in between.
int main(int argc, char** argv)
{
    const std::string bench = kBench;
    if (argc != 3 || (!CreateDirectoryA(bench.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS))
        return 1;
    const std::string command = argv[1];
    if (command == "make")
        return Make(bench, argv[2]) ? 0 : 1;
    if (command == "time")
        return Time(bench, argv[2]);
    return 1;
}
