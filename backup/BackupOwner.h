// IBackupOwner: what the Backup page edits of backup. The page reads the
// settings and the configurations when it is shown, edits the configurations
// and the commands in place and hands its settings over on Apply; the owner
// (CBackupFeature) keeps them, writes them and holds the Backup window.
#pragma once

#include <cstdint>

class CBackupConfigList;
class CBackupIconWnd;

// The backup's registry values.
struct BackupSettings {
    uint8_t showIcon = 1;  // show the Backup window
    int32_t iconLeft = 50;  // its screen position
    int32_t iconTop = 0;
};

class IBackupOwner {
public:
    virtual ~IBackupOwner() = default;

    virtual const BackupSettings& Settings() const = 0;
    // The page's choice (the window shown; its place stays the owner's):
    // kept and written with a changed list, the window shown or hidden.
    virtual void ApplySettings(const BackupSettings& settings) = 0;

    // The configurations and commands, which the page changes in place.
    virtual CBackupConfigList& Configs() = 0;
    // Writes the list when it changed; false when a change could not be
    // written (it stays for the next save).
    virtual bool SaveConfigs() = 0;

    // The Backup window while it is shown, else nullptr.
    virtual CBackupIconWnd* BackupWindow() const = 0;
};
