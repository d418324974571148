#include "common/KeyedFileRewrite.h"

#include "common/Log.h"
#include "common/Utf8.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

// Puts from in the place of to, replacing it.
bool MoveOver(const std::string& from, const std::string& to, bool mayWait)
{
#ifdef _WIN32
    // Another program reading the old file for a moment (the auto-respond
    // engine reads Respond.txt) holds it open, and under Wine an open file
    // cannot be replaced whatever its sharing: a few short tries. Wide, as
    // the paths are UTF-8 whatever the process's code page.
    const std::wstring wideFrom = Utf8ToWide(from.c_str());
    const std::wstring wideTo = Utf8ToWide(to.c_str());
    for (int attempt = 0;; attempt++) {
        if (MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        const DWORD error = GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || !mayWait || attempt == 9)
            return false;
        Sleep(20);
    }
#else
    (void)mayWait;
    return rename(from.c_str(), to.c_str()) == 0;
#endif
}

// Puts what was written to the closed file at path on the disk: a crash
// after the move must not leave a list file that holds nothing.
bool FlushToDisk(const std::string& path)
{
#ifdef _WIN32
    HANDLE file = CreateFileW(Utf8ToWide(path.c_str()).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
#else
    const int file = open(path.c_str(), O_WRONLY);
    if (file < 0)
        return false;
    const bool flushed = fsync(file) == 0;
    return close(file) == 0 && flushed;
#endif
}

// The file's own name, for the log texts.
std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int RewriteKeyedTextFile(const std::string& path, const std::function<int(CKeyedTextFile&)>& writeRecords, bool mayWait)
{
    const std::string name = FileName(path);
    const std::string temporary = path + ".new";
    int written = 0;
    {
        CKeyedTextFile file(temporary.c_str());
        if (!file.Create()) {
            LogWarningFormat("Cannot create %s file", name.c_str());
            return 0;
        }
        written = writeRecords(file);
    }  // closed before it is moved
    // Code in another program's process does not wait for the disk.
    if (!written || (mayWait && !FlushToDisk(temporary)) || !MoveOver(temporary, path, mayWait)) {
        LogWarningFormat("Cannot write %s file", name.c_str());
        RemoveFileUtf8(temporary.c_str());
        return 0;
    }
    return 1;
}

bool KeepOldListFile(const std::string& path)
{
    const std::string name = FileName(path);
    const std::string kept = path + ".bak";
#ifdef _WIN32
    const std::wstring widePath = Utf8ToWide(path.c_str());
    if (CopyFileW(widePath.c_str(), Utf8ToWide(kept.c_str()).c_str(), FALSE)) {
        LogWarningFormat("The old %s file, not read whole, is kept as .bak beside it", name.c_str());
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND && GetFileAttributesW(widePath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return true;
#else
    FILE* from = OpenFileUtf8(path.c_str(), "rb");
    if (!from)
        return true;
    FILE* to = OpenFileUtf8(kept.c_str(), "wb");
    bool copied = to != nullptr;
    char chunk[16384];
    for (size_t got = 0; copied && (got = fread(chunk, 1, sizeof chunk, from)) > 0;)
        copied = fwrite(chunk, 1, got, to) == got;
    copied = copied && !ferror(from);
    if (to)
        copied = fclose(to) == 0 && copied;
    fclose(from);
    if (copied) {
        LogWarningFormat("The old %s file, not read whole, is kept as .bak beside it", name.c_str());
        return true;
    }
#endif
    LogWarningFormat("Cannot keep the old %s file as .bak: the list is not written", name.c_str());
    return false;
}

ListSaveResult SaveChangedList(const std::string& path, bool& changed, bool& keepOld, bool writable,
                               const std::function<int(CKeyedTextFile&)>& writeRecords)
{
    if (!changed)
        return ListSaveResult::kNotChanged;
    if (!writable) {
        LogWarningFormat("Cannot create %s file", FileName(path).c_str());
        return ListSaveResult::kFailed;
    }
    if (keepOld && !KeepOldListFile(path))
        return ListSaveResult::kFailed;
    if (!RewriteKeyedTextFile(path, writeRecords))
        return ListSaveResult::kFailed;
    changed = false;
    keepOld = false;
    return ListSaveResult::kWritten;
}
