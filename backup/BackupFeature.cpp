#include "backup/BackupFeature.h"

#include "backup/BackupIconWnd.h"
#include "common/AppMessages.h"
#include "common/FeatureHost.h"
#include "common/Log.h"
#include "settings/SettingsStore.h"

#include <memory>

namespace {

const char kShowIcon[] = "Property Backup Desktop Icon";
const char kIconPos[] = "Property Backup Desktop Icon Pos";

}  // namespace

CBackupFeature::CBackupFeature(IFeatureHost& host, int backupPage)
    : m_host(host), m_backupPage(backupPage), m_messages([this](UINT msg, WPARAM, LPARAM) {
          if (msg != WMAPP_DESKTOP_DROP_DONE)
              return false;
          // Out of the window's own handler: now it may go if it should.
          m_window.DropDone();
          return true;
      }),
      m_window(
          "Backup", {m_settings.showIcon, m_settings.iconLeft, m_settings.iconTop},
          [this] { return std::make_unique<CBackupIconWnd>(m_configs, [this] { m_host.ShowSheet(m_backupPage); }); },
          [this] { SaveSettings(); })
{
}

CBackupFeature::~CBackupFeature() = default;

std::string CBackupFeature::ConfigFile() const
{
    return m_host.ProgramFolder() + "\\Backup.txt";
}

void CBackupFeature::Start()
{
    if (!m_messages.GetHwnd() && !m_messages.CreateMessageOnly())
        LogWarning("Cannot create the backup's window");
    m_window.SetWindows(m_host.OwnerWindow(), m_messages.GetHwnd());
    Load();
    m_started = true;
}

void CBackupFeature::Load()
{
    m_configs.Load(ConfigFile());
    m_settings = BackupSettings();
    m_window.ReadValues(m_host.Store(), kShowIcon, kIconPos);
}

void CBackupFeature::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_window.Hide();
    // Written whether or not the window was shown.
    SaveSettings();
    m_messages.Destroy();
}

void CBackupFeature::SaveSettings()
{
    m_window.WriteValues(m_host.Store(), kShowIcon, kIconPos);
    SaveConfigs();
}

bool CBackupFeature::SaveConfigs()
{
    m_configs.Save(ConfigFile());
    return !m_configs.IsModified();
}

void CBackupFeature::ApplySettings(const BackupSettings& settings)
{
    m_settings.showIcon = settings.showIcon;
    SaveSettings();
    m_window.Match();
}

CBackupIconWnd* CBackupFeature::BackupWindow() const
{
    return static_cast<CBackupIconWnd*>(m_window.Window());
}
