// The program's settings in the registry: the program key of the current
// user (every "Property ..." value), the machine key ("Path"), the Run key
// (the start-with-Windows entry) and the ".dvl" file association.
//
// Where the machine-wide keys cannot be written (a user without administrator
// rights), the Run entry goes to the current user's Run key and the
// association to the current user's classes, which Windows reads the same way.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "settings/PropertyValues.h"
#include "framework/MessageBoxes.h"
#include "framework/ScopedHandles.h"

// The roots the store opens its keys under. Tests point them at keys of their own.
struct SettingsRoots {
    HKEY currentUser = HKEY_CURRENT_USER;
    HKEY localMachine = HKEY_LOCAL_MACHINE;
    HKEY classes = HKEY_CLASSES_ROOT;
};

using StoreWarningFn = void (*)(const char* text);

class CSettingsStore {
public:
    explicit CSettingsStore(const SettingsRoots& roots = SettingsRoots());

    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    // Where the "Options Error" box and the warnings go (MessageBoxA and
    // LogWarning unless set).
    void SetMessageBox(MessageBoxFn messageBox) { messageBox_ = messageBox; }
    void SetWarning(StoreWarningFn warning) { warning_ = warning; }

    // Opens the program key (created if missing), the machine key with "Path"
    // and the Run key; each failure is logged and the store goes on without it.
    void OpenKeys();
    void CloseKeys();

    bool HasUserKey() const { return static_cast<bool>(userKey_); }
    bool HasMachineKey() const { return static_cast<bool>(machineKey_); }
    bool HasRunKey() const { return static_cast<bool>(runKey_); }
    // Set when the Run entry lives in the current user's Run key.
    bool RunKeyIsPerUser() const { return runKeyPerUser_; }
    // "Path" of the machine key as read or stored at opening; empty without it.
    const char* MachinePath() const { return machinePath_.c_str(); }

    // Reads a binary value of exactly size bytes from the program key; 0 (and
    // data untouched) if it is missing, of another size or not binary.
    int ReadBinary(const char* name, void* data, uint32_t size) const;
    // Reads a text value of whatever length is stored; 0 (text untouched) on failure.
    int ReadText(const char* name, std::string* text) const;
    int WriteBinary(const char* name, const void* data, uint32_t size) const;
    int WriteText(const char* name, const char* text) const;

    // Table values: the stored bytes or text, or the default when the read fails.
    // The answer tells whether the stored value was used.
    int ReadProperty(const PropertyValue& value, uint8_t out[kMaxPropertySize]) const;
    int ReadProperty(const PropertyValue& value, std::string* text) const;
    // A binary value of the table read into *out, which must be exactly as
    // large as the table says; false, *out untouched, when the name is not in
    // the table, the sizes differ, or the stored value is missing or of
    // another size or type. The caller's own default stays in *out then.
    template <class T> bool ReadValue(const char* name, T* out) const
    {
        static_assert(std::is_trivially_copyable<T>::value, "a stored value is its bytes");
        const PropertyValue* value = FindPropertyValue(name);
        return value && value->kind == PropertyKind::kBinary && value->size == sizeof(T) &&
            ReadBinary(value->name, out, sizeof(T)) != 0;
    }

    // Sets a group's block fields to their defaults, then reads each stored value over them.
    void LoadGroup(PropertyGroup group, SettingsBlock* block) const;
    // Writes a group's values from the block, in the group's order; 1 if all were written.
    int WriteGroup(PropertyGroup group, const SettingsBlock& block) const;
    // Every block value: defaults, then First Time, the General and the Icons values.
    void LoadSettingsBlock(SettingsBlock* block) const;

    // Writes (runOnBoot set) or deletes the start-with-Windows value "Dervane"
    // = programFolder + "\Dervane.exe". A failed write shows the system's text
    // in an "Options Error" box over owner. 1 on success.
    int UpdateStartEntry(bool runOnBoot, const char* programFolder, HWND owner = nullptr);

    // Makes ".dvl" open the program; with force clear an existing association is
    // left alone, with force set it is deleted and made again. 1 on success.
    int EnsureFileAssociation(bool force, const char* programFolder) const;

private:
    void Warn(const char* text) const;
    void ReadMachinePath();
    void OpenRunKey();
    int SetStartEntry(const std::string& command, HWND owner);
    void DeleteUserStartEntry() const;
    void ShowSystemError(HWND owner, LONG code) const;
    int CreateAssociation(HKEY root, const char* rootName, const char* programFolder, LONG* dvlError) const;

    SettingsRoots roots_;
    MessageBoxFn messageBox_;
    StoreWarningFn warning_;
    ScopedKey userKey_;
    ScopedKey machineKey_;
    ScopedKey runKey_;
    bool runKeyPerUser_ = false;
    std::string machinePath_;
};
