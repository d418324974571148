#include "files/Win32WalkSystem.h"

#include "common/Utf8.h"
#include "framework/ErrorReport.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cwchar>

extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apc, PVOID apcContext,
                                              PIO_STATUS_BLOCK io, PVOID buffer, ULONG length,
                                              FILE_INFORMATION_CLASS infoClass, BOOLEAN single,
                                              PUNICODE_STRING mask, BOOLEAN restart);

namespace {

constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006L);
constexpr NTSTATUS kCannotDelete = static_cast<NTSTATUS>(0xC0000121L);
constexpr NTSTATUS kAccessDenied = static_cast<NTSTATUS>(0xC0000022L);

HANDLE AsHandle(IWalkSystem::Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

IWalkSystem::Handle FromHandle(HANDLE handle)
{
    return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<IWalkSystem::Handle>(handle);
}

uint32_t ErrorOf(NTSTATUS status)
{
    return RtlNtStatusToDosError(status);
}

// The wide form of a whole path that reaches exactly the name it spells
// ("\\?\C:\..."), or the path as it is when it is not whole.
std::wstring ExactWide(const std::string& path)
{
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        return L"\\\\?\\" + Utf8ToWide(path);
    if (path.compare(0, 2, "\\\\") == 0 && path.compare(0, 4, "\\\\?\\") != 0 && path.compare(0, 4, "\\\\.\\") != 0)
        return L"\\\\?\\UNC\\" + Utf8ToWide(path.substr(2));
    return Utf8ToWide(path);
}

ACCESS_MASK AccessFor(IWalkSystem::Access access, bool folder)
{
    ACCESS_MASK mask = FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    mask |= folder ? FILE_LIST_DIRECTORY : FILE_READ_DATA;
    if (access == IWalkSystem::Access::kDelete)
        mask = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE | (folder ? FILE_LIST_DIRECTORY : 0);
    return mask;
}

// A folder is held without delete sharing (nobody renames it while it is
// walked); a file shares everything, as the system's own delete does.
ULONG SharingFor(bool folder)
{
    return folder ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
}

bool HasLoneSurrogate(const wchar_t* name, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && name[i + 1] >= 0xDC00 && name[i + 1] <= 0xDFFF)
            ++i;
        else if (c >= 0xD800 && c <= 0xDFFF)
            return true;
    }
    return false;
}

bool SetReadOnly(HANDLE handle, uint32_t attributes)
{
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic) != 0;
}

bool MarkForDeletion(HANDLE handle, NTSTATUS& status)
{
    // The record is one flag (its field's name is taken by a macro).
    BOOLEAN deleteFile = TRUE;
    IO_STATUS_BLOCK io = {};
    status = NtSetInformationFile(handle, &io, &deleteFile, sizeof deleteFile,
                                  static_cast<FILE_INFORMATION_CLASS>(13));  // FileDispositionInformation
    return NT_SUCCESS(status);
}

}  // namespace

uint32_t CWin32WalkSystem::PathAttributes(const std::string& path, uint32_t& error)
{
    const DWORD attributes = GetFileAttributesW(ExactWide(path).c_str());
    error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
    return attributes == INVALID_FILE_ATTRIBUTES ? kWalkNoAttributes : attributes;
}

IWalkSystem::Handle CWin32WalkSystem::OpenPath(const std::string& path, Access access, bool folder, uint32_t& error)
{
    const std::wstring wide = ExactWide(path);
    const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
    HANDLE handle =
        CreateFileW(wide.c_str(), AccessFor(access, folder), SharingFor(folder), nullptr, OPEN_EXISTING, flags, nullptr);
    error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    // A folder another program holds (its current folder, say) is still
    // walked; only its own removal will fail.
    if (handle == INVALID_HANDLE_VALUE && folder && access == Access::kDelete &&
        (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED)) {
        handle = CreateFileW(wide.c_str(), AccessFor(Access::kRead, true), SharingFor(true), nullptr, OPEN_EXISTING,
                             flags, nullptr);
        error = handle == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    return FromHandle(handle);
}

namespace {

// Opens name relative to folder's handle, never following a link.
NTSTATUS OpenRelative(HANDLE folder, const std::wstring& exact, ACCESS_MASK access, ULONG sharing, ULONG options,
                      HANDLE& handle, ULONG disposition = FILE_OPEN, bool* created = nullptr)
{
    handle = nullptr;
    if (exact.empty() || exact.size() > 32767)
        return static_cast<NTSTATUS>(0xC0000033L);  // STATUS_OBJECT_NAME_INVALID
    UNICODE_STRING name;
    name.Buffer = const_cast<PWSTR>(exact.c_str());
    name.Length = static_cast<USHORT>(exact.size() * sizeof(wchar_t));
    name.MaximumLength = name.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io = {};
    options |= FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT;
    const NTSTATUS status = NtCreateFile(&handle, access, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, sharing,
                                         disposition, options, nullptr, 0);
    if (created)
        *created = NT_SUCCESS(status) && io.Information == FILE_CREATED;
    return status;
}

}  // namespace

IWalkSystem::Handle CWin32WalkSystem::OpenChild(Handle folder, const std::wstring& exact, Access access,
                                                bool isFolder, uint32_t& error)
{
    HANDLE handle = nullptr;
    // The kind is asked for too: a folder swapped in for a file (or the other
    // way round) is not opened at all.
    const ULONG kind = isFolder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE;
    NTSTATUS status =
        OpenRelative(AsHandle(folder), exact, AccessFor(access, isFolder), SharingFor(isFolder), kind, handle);
    // As for OpenPath: a folder held by another program is walked all the same.
    if (!NT_SUCCESS(status) && isFolder && access == Access::kDelete &&
        (ErrorOf(status) == ERROR_SHARING_VIOLATION || ErrorOf(status) == ERROR_ACCESS_DENIED))
        status = OpenRelative(AsHandle(folder), exact, AccessFor(Access::kRead, true), SharingFor(true), kind, handle);
    if (!NT_SUCCESS(status)) {
        error = ErrorOf(status);
        return 0;
    }
    error = 0;
    return reinterpret_cast<Handle>(handle);
}

bool CWin32WalkSystem::RemoveChildFile(Handle folder, const std::wstring& exact, uint32_t& error)
{
    // One open that deletes on close, as the system's own DeleteFile does;
    // a read-only file refuses that and is dealt with through Remove.
    HANDLE handle = nullptr;
    NTSTATUS status = OpenRelative(AsHandle(folder), exact, DELETE | SYNCHRONIZE, SharingFor(false),
                                   FILE_NON_DIRECTORY_FILE | FILE_DELETE_ON_CLOSE, handle);
    if (NT_SUCCESS(status)) {
        CloseHandle(handle);
        error = 0;
        return true;
    }
    if (status != kCannotDelete && status != kAccessDenied) {
        error = ErrorOf(status);
        return false;
    }
    const Handle opened = OpenChild(folder, exact, Access::kDelete, false, error);
    if (!opened)
        return false;
    const bool removed = Remove(opened, error);
    Close(opened);
    return removed;
}

bool CWin32WalkSystem::Query(Handle handle, WalkInfo& info, bool withVolume, uint32_t& error)
{
    // The native queries: the volume's serial, which the system finds only
    // through the volume's own device, is asked for only when wanted.
    IO_STATUS_BLOCK io = {};
    FILE_BASIC_INFORMATION basic = {};
    NTSTATUS status = NtQueryInformationFile(AsHandle(handle), &io, &basic, sizeof basic,
                                             static_cast<FILE_INFORMATION_CLASS>(4));  // FileBasicInformation
    FILE_STANDARD_INFORMATION standard = {};
    if (NT_SUCCESS(status))
        status = NtQueryInformationFile(AsHandle(handle), &io, &standard, sizeof standard,
                                        static_cast<FILE_INFORMATION_CLASS>(5));  // FileStandardInformation
    uint64_t index = 0;
    if (!NT_SUCCESS(status) || !QueryIndex(handle, index, error)) {
        if (!NT_SUCCESS(status))
            error = ErrorOf(status);
        return false;
    }
    info.attributes = basic.FileAttributes;
    info.id.index = index;
    info.size = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
    info.writeTime = static_cast<uint64_t>(basic.LastWriteTime.QuadPart);
    info.creationTime = static_cast<uint64_t>(basic.CreationTime.QuadPart);
    info.id.volume = 0;
    if (withVolume) {
        BY_HANDLE_FILE_INFORMATION data = {};
        if (!GetFileInformationByHandle(AsHandle(handle), &data)) {
            error = GetLastError();
            return false;
        }
        info.id.volume = data.dwVolumeSerialNumber;
    }
    error = 0;
    return true;
}

bool CWin32WalkSystem::QueryIndex(Handle handle, uint64_t& index, uint32_t& error)
{
    IO_STATUS_BLOCK io = {};
    FILE_INTERNAL_INFORMATION internal = {};
    const NTSTATUS status = NtQueryInformationFile(AsHandle(handle), &io, &internal, sizeof internal,
                                                   static_cast<FILE_INFORMATION_CLASS>(6));  // FileInternalInformation
    if (!NT_SUCCESS(status)) {
        error = ErrorOf(status);
        return false;
    }
    index = static_cast<uint64_t>(internal.IndexNumber.QuadPart);
    error = 0;
    return true;
}

bool CWin32WalkSystem::List(Handle folder, std::vector<WalkEntry>& entries, uint32_t& error)
{
    // One large buffer per call, as the directory search's large fetch does.
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    const ULONG bytes = static_cast<ULONG>(buffer.size() * sizeof(LONGLONG));
    BOOLEAN restart = TRUE;
    for (;;) {
        IO_STATUS_BLOCK io = {};
        const NTSTATUS status =
            NtQueryDirectoryFile(AsHandle(folder), nullptr, nullptr, nullptr, &io, buffer.data(), bytes,
                                 FileIdFullDirectoryInformation, FALSE, nullptr, restart);
        restart = FALSE;
        if (status == kNoMoreFiles)
            break;
        if (!NT_SUCCESS(status)) {
            error = ErrorOf(status);
            return false;
        }
        const char* at = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            const auto* record = reinterpret_cast<const FILE_ID_FULL_DIR_INFORMATION*>(at);
            const wchar_t* name = record->FileName;
            const size_t length = record->FileNameLength / sizeof(wchar_t);
            const bool dots = (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.');
            if (!dots) {
                WalkEntry entry;
                entry.exact.assign(name, length);
                entry.name = WideToUtf8(entry.exact);
                entry.unreadable = HasLoneSurrogate(name, length);
                entry.info.attributes = record->FileAttributes;
                entry.info.id.index = static_cast<uint64_t>(record->FileId.QuadPart);
                entry.info.size = static_cast<uint64_t>(record->EndOfFile.QuadPart);
                entry.info.writeTime = static_cast<uint64_t>(record->LastWriteTime.QuadPart);
                entry.info.creationTime = static_cast<uint64_t>(record->CreationTime.QuadPart);
                entries.push_back(std::move(entry));
            }
            if (!record->NextEntryOffset)
                break;
            at += record->NextEntryOffset;
        }
    }
    error = 0;
    return true;
}

bool CWin32WalkSystem::Remove(Handle handle, uint32_t& error)
{
    NTSTATUS status = 0;
    if (MarkForDeletion(AsHandle(handle), status)) {
        error = 0;
        return true;
    }
    WalkInfo info;
    uint32_t ignored = 0;
    if ((status == kCannotDelete || status == kAccessDenied) && Query(handle, info, false, ignored) &&
        (info.attributes & kWalkReadOnly) && !info.IsFolder() &&
        SetReadOnly(AsHandle(handle), info.attributes & ~kWalkReadOnly)) {
        if (MarkForDeletion(AsHandle(handle), status)) {
            error = 0;
            return true;
        }
        SetReadOnly(AsHandle(handle), info.attributes);  // still there: as it was
    }
    error = ErrorOf(status);
    return false;
}

void CWin32WalkSystem::Close(Handle handle)
{
    if (handle)
        CloseHandle(AsHandle(handle));
}

std::string CWin32WalkSystem::ErrorText(uint32_t error)
{
    return SystemErrorText(error);
}

CWin32WalkSystem& WalkSystem()
{
    static CWin32WalkSystem system;
    return system;
}

void* OpenSubfolder(void* folder, const std::wstring& name, bool make, bool& made, unsigned long& error)
{
    HANDLE handle = nullptr;
    const ACCESS_MASK access = FILE_LIST_DIRECTORY | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_TRAVERSE |
        FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    const NTSTATUS status = OpenRelative(static_cast<HANDLE>(folder), name, access, SharingFor(true),
                                         FILE_DIRECTORY_FILE, handle, make ? FILE_OPEN_IF : FILE_OPEN, &made);
    error = NT_SUCCESS(status) ? 0 : ErrorOf(status);
    return NT_SUCCESS(status) ? handle : nullptr;
}

void* CreateFileIn(void* folder, const std::wstring& name, unsigned long& error)
{
    HANDLE handle = nullptr;
    const NTSTATUS status =
        OpenRelative(static_cast<HANDLE>(folder), name, GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE | SYNCHRONIZE, 0,
                     FILE_NON_DIRECTORY_FILE, handle, FILE_CREATE);
    error = NT_SUCCESS(status) ? 0 : ErrorOf(status);
    return NT_SUCCESS(status) ? handle : nullptr;
}

void* OpenFileIn(void* folder, const std::wstring& name, unsigned long& error)
{
    HANDLE handle = nullptr;
    const NTSTATUS status =
        OpenRelative(static_cast<HANDLE>(folder), name, FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                     SharingFor(false), FILE_NON_DIRECTORY_FILE, handle);
    if (!NT_SUCCESS(status)) {
        error = ErrorOf(status);
        return nullptr;
    }
    error = 0;
    return handle;
}

bool RenameInto(void* file, void* folder, const std::wstring& name, unsigned long& error)
{
    std::vector<char> record(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(record.data());
    rename->ReplaceIfExists = TRUE;
    rename->RootDirectory = static_cast<HANDLE>(folder);
    rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
    std::copy(name.begin(), name.end(), rename->FileName);
    // The native call: the system's own wrapper refuses a folder handle
    // under Wine.
    IO_STATUS_BLOCK io = {};
    const NTSTATUS status = NtSetInformationFile(static_cast<HANDLE>(file), &io, rename,
                                                 static_cast<ULONG>(record.size()),
                                                 static_cast<FILE_INFORMATION_CLASS>(10));  // FileRenameInformation
    error = NT_SUCCESS(status) ? 0 : ErrorOf(status);
    return NT_SUCCESS(status);
}

std::string FinalPathOf(void* handle)
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(static_cast<HANDLE>(handle), &path[0], MAX_PATH, VOLUME_NAME_DOS);
    if (length >= MAX_PATH) {
        path.assign(length, L'\0');
        length = GetFinalPathNameByHandleW(static_cast<HANDLE>(handle), &path[0], length, VOLUME_NAME_DOS);
        if (length >= path.size())
            return "";
    }
    path.resize(length);
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0)
        path.erase(2, 6);
    else if (path.size() >= 7 && path.compare(0, 4, L"\\\\?\\") == 0 && path[5] == L':' && path[6] == L'\\')
        path.erase(0, 4);
    return WideToUtf8(path);
}
