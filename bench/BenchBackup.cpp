// The backup engine against the system's own copy on one tree in C:\bench
// (inside the prefix): 5,000 files of 4 KB in 50 folders and 10 files of
// 32 MB. The engine copies it to an empty target, then over its own copy
// (every file unchanged, so skipped) and over it again with every file
// copied; "xcopy /e /i /y /q" does the same to an empty target and over its
// copy; a plain CopyFile of each file, with none of the engine's checks,
// gives what the copying alone costs. Prints one line "name: seconds" per
// measure; bench/backup.sh runs it, adds Linux cp -a and the ratios. Run
// it only in a prefix whose drives lead nowhere outside it.
#include "autodelete/DeletionEngine.h"  // ListFolder
#include "backup/BackupEngine.h"
#include "bench/BenchTiming.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char kBench[] = "C:\\bench";
const char kSource[] = "C:\\bench\\src";
constexpr int kFolders = 50;
constexpr int kSmallPerFolder = 100;
constexpr DWORD kSmallBytes = 4096;
constexpr int kLarge = 10;
constexpr DWORD kLargeBytes = 32u << 20;

bool MakeFile(const std::string& path, DWORD bytes, const std::vector<char>& block)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (DWORD done = 0; ok && done < bytes;) {
        const DWORD part = bytes - done < block.size() ? bytes - done : static_cast<DWORD>(block.size());
        DWORD written = 0;
        ok = WriteFile(file, block.data(), part, &written, nullptr) && written == part;
        done += part;
    }
    CloseHandle(file);
    return ok;
}

bool MakeTree()
{
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); i++)
        block[i] = static_cast<char>('a' + i % 26);
    if (!CreateDirectoryA(kSource, nullptr))
        return false;
    for (int d = 0; d < kFolders; d++) {
        const std::string folder = std::string(kSource) + "\\folder" + std::to_string(d);
        if (!CreateDirectoryA(folder.c_str(), nullptr))
            return false;
        for (int f = 0; f < kSmallPerFolder; f++) {
            if (!MakeFile(folder + "\\file" + std::to_string(f) + ".dat", kSmallBytes, block))
                return false;
        }
    }
    for (int f = 0; f < kLarge; f++) {
        if (!MakeFile(std::string(kSource) + "\\large" + std::to_string(f) + ".bin", kLargeBytes, block))
            return false;
    }
    return true;
}

// Files below root.
long CountFiles(const std::string& root)
{
    long count = 0;
    std::vector<FolderEntry> entries;
    if (!ListFolder(root, entries))
        return 0;
    for (const FolderEntry& entry : entries)
        count += (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(root + "\\" + entry.name) : 1;
    return count;
}

class QuietProgress : public IBackupProgress {
public:
    bool Pump() override { return false; }
    void SetStatus(const std::string&) override { }
    void SetRange(unsigned long) override { }
    void Step() override { }
    void AddFailure(const std::string&) override { failures++; }
    bool AskConfigureNow(const std::string&) override { return false; }
    long failures = 0;
};

// The engine over the whole source folder; with copyAll, as when its copies
// are to be removed again, no unchanged file is skipped.
double TimeEngine(const std::string& target, bool copyAll, unsigned long& copied, unsigned long& skipped)
{
    BackupConfig config;
    config.source = kSource;
    config.target = target;
    config.fileTypes = {"*.*"};
    const std::vector<BackupConfig> configs = {config};
    BackupCommands commands;
    commands.removeCopies = copyAll ? 1 : 0;
    QuietProgress progress;
    CBackupRun run(configs, commands, progress);
    const double start = Now();
    run.Run({kSource});
    const double took = Now() - start;
    copied = run.Copied();
    skipped = run.Skipped();
    return progress.failures ? -1 : took;
}

// CopyFile of each file straight onto its target, folders made as met.
bool PlainCopy(const std::string& from, const std::string& to)
{
    if (!CreateDirectoryA(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    std::vector<FolderEntry> entries;
    if (!ListFolder(from, entries))
        return false;
    for (const FolderEntry& entry : entries) {
        const std::string source = from + "\\" + entry.name;
        const std::string target = to + "\\" + entry.name;
        const bool ok = (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            ? PlainCopy(source, target)
            : CopyFileA(source.c_str(), target.c_str(), FALSE);
        if (!ok)
            return false;
    }
    return true;
}

const long kAllFiles = static_cast<long>(kFolders) * kSmallPerFolder + kLarge;

// Times one measure; 2 when its result is not a whole copy.
int Time(const std::string& measure)
{
    const std::string bench = kBench;
    unsigned long copied = 0;
    unsigned long skipped = 0;
    if (measure == "engine_empty" || measure == "engine_skip" || measure == "engine_full") {
        const double took = TimeEngine(bench + "\\engine", measure == "engine_full", copied, skipped);
        Report(measure.c_str(), took);
        const unsigned long expected = measure == "engine_skip" ? skipped : copied;
        return took >= 0 && expected == static_cast<unsigned long>(kAllFiles) &&
                CountFiles(bench + "\\engine") == kAllFiles
            ? 0
            : 2;
    }
    if (measure == "plain_empty") {
        const double start = Now();
        const bool ok = PlainCopy(kSource, bench + "\\plain");
        Report("plain_empty", Now() - start);
        return ok && CountFiles(bench + "\\plain") == kAllFiles ? 0 : 2;
    }
    if (measure == "xcopy_empty" || measure == "xcopy_over") {
        Report(measure.c_str(), TimeCommand("xcopy.exe /e /i /y /q " + std::string(kSource) + " " + bench + "\\xcopy"));
        return CountFiles(bench + "\\xcopy") == kAllFiles ? 0 : 2;
    }
    if (measure == "cmd_start") {
        double best = 1e9;
        for (int i = 0; i < 3; i++) {
            const double t = TimeCommand("xcopy.exe /?");
            best = t < best ? t : best;
        }
        Report("xcopy_start", best);
        return 0;
    }
    return 1;
}

}  // namespace

// bench_backup make | time <measure>. The tree is made by one run and timed
// by the next, so that the script can have the system write it out first.
int main(int argc, char** argv)
{
    if (argc < 2 || (!CreateDirectoryA(kBench, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS))
        return 1;
    const std::string command = argv[1];
    if (command == "make" && argc == 2)
        return MakeTree() ? 0 : 1;
    if (command == "time" && argc == 3)
        return Time(argv[2]);
    return 1;
}
