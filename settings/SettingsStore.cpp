#include "settings/SettingsStore.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/Log.h"

namespace {

constexpr char kProgramKeyPath[] = "Software\\Quillmere\\Dervane";
constexpr char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kUserClassesPath[] = "Software\\Classes";
constexpr char kUserClassesName[] = "HKEY_CURRENT_USER\\Software\\Classes";
constexpr char kClassesRootName[] = "HKEY_CLASSES_ROOT";
constexpr char kRunValueName[] = "Dervane";
constexpr char kPathValueName[] = "Path";
constexpr REGSAM kMachineAccess = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
// A text value larger than this is not ours: it is left unread.
constexpr DWORD kMaxTextBytes = 32768;

constexpr char kUserKeyFailed[] = "Cannot open/create registration key \"Software\\Quillmere\\Dervane\"";
constexpr char kMachineKeyFailed[] = "Cannot open machine registration key \"Software\\Quillmere\\Dervane\"";
constexpr char kRunKeyFailed[] = "Cannot open registration key \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\"";
constexpr char kRunKeyPerUser[] = "Cannot open machine key \"Software\\Microsoft\\Windows\\CurrentVersion\\Run\"; "
                                  "using HKEY_CURRENT_USER";
constexpr char kRunValueWriteFailed[] = "Cannot write value \"Dervane\" of the Run key";
constexpr char kRunValueDeleteFailed[] = "Cannot delete value \"Dervane\" of the Run key";
constexpr char kPathWriteFailed[] = "Cannot write value \"Path\" of the machine registration key";
constexpr char kAssociationPerUser[] =
    "Associating \".dvl\" for the current user (HKEY_CURRENT_USER\\Software\\Classes)";

// The error log keeps 99 characters of a warning.
static_assert(sizeof kRunKeyPerUser - 1 <= 99, "warning fits the log");
static_assert(sizeof kAssociationPerUser - 1 <= 99, "warning fits the log");
static_assert(sizeof kRunKeyFailed - 1 <= 99, "warning fits the log");

void DefaultWarning(const char* text)
{
    LogWarning(text);
}

bool QueryStored(HKEY key, const char* name, DWORD* type, DWORD* size)
{
    *type = REG_NONE;
    *size = 0;
    return key && name && RegQueryValueExA(key, name, nullptr, type, nullptr, size) == ERROR_SUCCESS;
}

// Reads a binary value that is stored with exactly size bytes.
int QueryBinary(HKEY key, const char* name, void* data, uint32_t size)
{
    DWORD type = REG_NONE;
    DWORD stored = 0;
    if (size == 0 || !QueryStored(key, name, &type, &stored) || stored != size)
        return 0;
    if (type != REG_BINARY && !(type == REG_DWORD && size == 4))
        return 0;
    std::vector<BYTE> buffer(size);
    DWORD got = size;
    if (RegQueryValueExA(key, name, nullptr, &type, buffer.data(), &got) != ERROR_SUCCESS || got != size) {
        return 0;
    }
    memcpy(data, buffer.data(), size);
    return 1;
}

// Asks the stored size first, then reads into a buffer one byte larger, so
// the text ends even when it was stored without its NUL. The size asked is
// the stored one, which for a text stored wide need not be its UTF-8 size: a
// read that needs more is made again with the size it answers.
int QueryText(HKEY key, const char* name, std::string* text, DWORD maxBytes)
{
    DWORD type = REG_NONE;
    DWORD stored = 0;
    if (!QueryStored(key, name, &type, &stored))
        return 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if ((type != REG_SZ && type != REG_EXPAND_SZ) || stored > maxBytes)
            return 0;
        std::vector<char> buffer(stored + 1, '\0');
        DWORD got = stored;
        const LONG rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (rc == ERROR_MORE_DATA && got > stored) {
            stored = got;
            continue;
        }
        if (rc != ERROR_SUCCESS || got > stored)
            return 0;
        buffer[got] = '\0';
        text->assign(buffer.data());
        return 1;
    }
    return 0;
}

LONG SetText(HKEY key, const char* name, const std::string& text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

// Takes the association's keys away, deepest first, as long as each goes.
void DeleteAssociation(HKEY root)
{
    if (RegDeleteKeyA(root, ".dvl\\shell\\open\\command") == ERROR_SUCCESS &&
        RegDeleteKeyA(root, ".dvl\\shell\\open") == ERROR_SUCCESS &&
        RegDeleteKeyA(root, ".dvl\\shell") == ERROR_SUCCESS) {
        RegDeleteKeyA(root, ".dvl");
    }
}

}  // namespace

CSettingsStore::CSettingsStore(const SettingsRoots& roots)
    : roots_(roots), messageBox_(&SystemMessageBox), warning_(DefaultWarning)
{
}

void CSettingsStore::Warn(const char* text) const
{
    if (warning_)
        warning_(text);
}

void CSettingsStore::OpenKeys()
{
    CloseKeys();
    if (CreateKey(roots_.currentUser, kProgramKeyPath, KEY_ALL_ACCESS, &userKey_) != ERROR_SUCCESS) {
        Warn(kUserKeyFailed);
    }
    if (OpenKey(roots_.localMachine, kProgramKeyPath, kMachineAccess, &machineKey_) == ERROR_SUCCESS) {
        ReadMachinePath();
    } else {
        Warn(kMachineKeyFailed);
    }
    OpenRunKey();
}

void CSettingsStore::CloseKeys()
{
    userKey_.Reset();
    machineKey_.Reset();
    runKey_.Reset();
    runKeyPerUser_ = false;
    machinePath_.clear();
}

// "Path" as stored (a path of at most MAX_PATH characters, in UTF-8 up to
// three bytes each), else the current folder, stored.
void CSettingsStore::ReadMachinePath()
{
    if (QueryText(machineKey_.Get(), kPathValueName, &machinePath_, 3 * MAX_PATH))
        return;
    machinePath_.clear();
    // Asked for the size it needs first: a UTF-8 path may not fit MAX_PATH bytes.
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0)
        return;
    std::vector<char> folder(needed + 1, '\0');
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
    if (length == 0 || length >= folder.size())
        return;
    machinePath_.assign(folder.data(), length);
    if (SetText(machineKey_.Get(), kPathValueName, machinePath_) != ERROR_SUCCESS) {
        Warn(kPathWriteFailed);
    }
}

// The machine's Run key, or the current user's where that cannot be opened.
void CSettingsStore::OpenRunKey()
{
    runKeyPerUser_ = false;
    if (OpenKey(roots_.localMachine, kRunKeyPath, kMachineAccess, &runKey_) == ERROR_SUCCESS)
        return;
    if (CreateKey(roots_.currentUser, kRunKeyPath, kMachineAccess, &runKey_) == ERROR_SUCCESS) {
        runKeyPerUser_ = true;
        Warn(kRunKeyPerUser);
        return;
    }
    Warn(kRunKeyFailed);
}

int CSettingsStore::ReadBinary(const char* name, void* data, uint32_t size) const
{
    return QueryBinary(userKey_.Get(), name, data, size);
}

int CSettingsStore::ReadText(const char* name, std::string* text) const
{
    return QueryText(userKey_.Get(), name, text, kMaxTextBytes);
}

int CSettingsStore::WriteBinary(const char* name, const void* data, uint32_t size) const
{
    if (!userKey_ || !name || !data)
        return 0;
    return RegSetValueExA(userKey_.Get(), name, 0, REG_BINARY, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

int CSettingsStore::WriteText(const char* name, const char* text) const
{
    if (!userKey_ || !name || !text)
        return 0;
    return SetText(userKey_.Get(), name, text) == ERROR_SUCCESS;
}

int CSettingsStore::ReadProperty(const PropertyValue& value, uint8_t out[kMaxPropertySize]) const
{
    PropertyDefaultBytes(value, out);
    if (value.kind != PropertyKind::kBinary || value.size > kMaxPropertySize)
        return 0;
    uint8_t stored[kMaxPropertySize] = {};
    if (!ReadBinary(value.name, stored, value.size))
        return 0;
    memcpy(out, stored, value.size);
    return 1;
}

int CSettingsStore::ReadProperty(const PropertyValue& value, std::string* text) const
{
    text->assign(value.defaultText ? value.defaultText : "");
    if (value.kind != PropertyKind::kText)
        return 0;
    return ReadText(value.name, text);
}

void CSettingsStore::LoadGroup(PropertyGroup group, SettingsBlock* block) const
{
    size_t count = 0;
    const PropertyValue* const* values = PropertyGroupValues(group, &count);
    for (size_t i = 0; i < count; ++i) {
        uint8_t bytes[kMaxPropertySize];
        SetPropertyDefault(*values[i], block);
        if (ReadProperty(*values[i], bytes))
            TakePropertyIntoBlock(*values[i], bytes, block);
    }
}

int CSettingsStore::WriteGroup(PropertyGroup group, const SettingsBlock& block) const
{
    size_t count = 0;
    const PropertyValue* const* values = PropertyGroupValues(group, &count);
    int written = 1;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* bytes = PropertyBytesInBlock(*values[i], block);
        if (!bytes || !WriteBinary(values[i]->name, bytes, values[i]->size))
            written = 0;
    }
    return written;
}

void CSettingsStore::LoadSettingsBlock(SettingsBlock* block) const
{
    LoadGroup(PropertyGroup::kFirstTime, block);
    LoadGroup(PropertyGroup::kGeneral, block);
    LoadGroup(PropertyGroup::kIcon, block);
}

int CSettingsStore::UpdateStartEntry(bool runOnBoot, const char* programFolder, HWND owner)
{
    // Without a Run key the entry is neither written nor deleted.
    if (!runKey_)
        return 0;
    if (runOnBoot) {
        // A path with blanks goes in quotes: unquoted, the system first tries
        // each shorter path that ends at a blank as a program of its own.
        std::string program = std::string(programFolder ? programFolder : "") + "\\Dervane.exe";
        if (program.find(' ') != std::string::npos)
            program = "\"" + program + "\"";
        return SetStartEntry(program, owner);
    }
    LONG rc = RegDeleteValueA(runKey_.Get(), kRunValueName);
    if (!runKeyPerUser_)
        DeleteUserStartEntry();
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND)
        return 1;
    Warn(kRunValueDeleteFailed);
    return 0;
}

int CSettingsStore::SetStartEntry(const std::string& command, HWND owner)
{
    LONG rc = SetText(runKey_.Get(), kRunValueName, command);
    if (rc != ERROR_SUCCESS) {
        Warn(kRunValueWriteFailed);
        ShowSystemError(owner, rc);
        return 0;
    }
    // One entry is enough: a per-user one from an earlier run would start a second copy.
    if (!runKeyPerUser_)
        DeleteUserStartEntry();
    return 1;
}

void CSettingsStore::DeleteUserStartEntry() const
{
    ScopedKey user;
    if (OpenKey(roots_.currentUser, kRunKeyPath, KEY_SET_VALUE, &user) == ERROR_SUCCESS) {
        RegDeleteValueA(user.Get(), kRunValueName);
    }
}

void CSettingsStore::ShowSystemError(HWND owner, LONG code) const
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<char*>(&text), 0, nullptr);
    char fallback[32] = {};
    snprintf(fallback, sizeof fallback, "Error %ld", static_cast<long>(code));
    if (messageBox_) {
        messageBox_(owner, length && text ? text : fallback, "Options Error", MB_OK | MB_ICONEXCLAMATION);
    }
    if (text)
        LocalFree(text);
}

int CSettingsStore::EnsureFileAssociation(bool force, const char* programFolder) const
{
    const char* folder = programFolder ? programFolder : "";
    ScopedKey userClasses;
    OpenKey(roots_.currentUser, kUserClassesPath, KEY_ALL_ACCESS, &userClasses);
    if (!force) {
        ScopedKey existing;
        if (OpenKey(roots_.classes, ".dvl", KEY_ALL_ACCESS, &existing) == ERROR_SUCCESS)
            return 1;
        if (userClasses && OpenKey(userClasses.Get(), ".dvl", KEY_ALL_ACCESS, &existing) == ERROR_SUCCESS) {
            return 1;
        }
    }
    // A per-user copy would hide the machine's on Windows: both go.
    DeleteAssociation(roots_.classes);
    if (userClasses)
        DeleteAssociation(userClasses.Get());

    LONG dvlError = ERROR_SUCCESS;
    if (CreateAssociation(roots_.classes, kClassesRootName, folder, &dvlError))
        return 1;
    // ".dvl" was made and a later step failed: that is logged and final.
    if (dvlError == ERROR_SUCCESS)
        return 0;

    // The machine-wide classes cannot be written: the user's classes key is read the same way.
    Warn(kAssociationPerUser);
    if (!userClasses &&
        CreateKey(roots_.currentUser, kUserClassesPath, KEY_ALL_ACCESS, &userClasses) != ERROR_SUCCESS) {
        Warn("Cannot create registry key \"HKEY_CURRENT_USER\\Software\\Classes\"");
        return 0;
    }
    return CreateAssociation(userClasses.Get(), kUserClassesName, folder, &dvlError);
}

// Creates root\.dvl\shell\open\command and sets the command. dvlError receives
// the error of creating ".dvl" itself (ERROR_SUCCESS once that worked).
int CSettingsStore::CreateAssociation(HKEY root, const char* rootName, const char* programFolder, LONG* dvlError) const
{
    static const char* const kNames[] = {".dvl", "shell", "open", "command"};
    static const char* const kPaths[] = {".dvl", ".dvl\\shell", ".dvl\\shell\\open", ".dvl\\shell\\open\\command"};
    char text[160] = {};
    ScopedKey keys[4];
    HKEY parent = root;
    *dvlError = ERROR_SUCCESS;
    for (int i = 0; i < 4; ++i) {
        LONG rc = CreateKey(parent, kNames[i], KEY_ALL_ACCESS, &keys[i]);
        if (rc != ERROR_SUCCESS) {
            if (i == 0)
                *dvlError = rc;
            snprintf(text, sizeof text, "Cannot create registry key \"%s\\%s\"", rootName, kPaths[i]);
            Warn(text);
            return 0;
        }
        parent = keys[i].Get();
    }
    std::string command = std::string(programFolder) + "\\dervane.exe \"%1\"";
    if (SetText(keys[3].Get(), nullptr, command) != ERROR_SUCCESS) {
        snprintf(text, sizeof text, "Cannot write registry value \"%s\\.dvl\\shell\\open\\command\"", rootName);
        Warn(text);
        return 0;
    }
    return 1;
}
