#include "pages/BackupPage.h"

#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"
#include "common/AppMessages.h"
#include "framework/PropertySheet.h"
#include "pages/BackupResource.h"
#include "pages/PageHost.h"
#include "pages/PageSupport.h"
#include "settings/SettingsStore.h"

#include <cstring>

namespace {

const char kShowIcon[] = "Property Backup Desktop Icon";
const char kIconPos[] = "Property Backup Desktop Icon Pos";

CFeaturePage::PageArgs BackupPageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_BACKUP;
    args.buttons.ok = IDC_BACKUP_OK;
    args.buttons.cancel = IDC_BACKUP_CANCEL;
    args.buttons.apply = IDC_BACKUP_APPLY;
    args.picture = IDB_BACKUP;
    args.lowColourPicture = IDB_BACKUP_16;
    args.picturePlace = IDC_BACKUP_PICTURE;
    return args;
}

// The stored bytes of a value of the table, or its default when it is
// missing or stored with another size or type.
void ReadBytes(const CSettingsStore& store, const char* name, void* out, size_t size)
{
    uint8_t bytes[kMaxPropertySize] = {};
    const PropertyValue* value = FindPropertyValue(name);
    if (!value || value->size != size)
        return;
    store.ReadProperty(*value, bytes);
    memcpy(out, bytes, size);
}

}  // namespace

CBackupPage::CBackupPage(IPageHost& host)
    : CFeaturePage(BackupPageArgs(), host),
      m_window(
          "Backup", {m_settings.showIcon, m_settings.iconLeft, m_settings.iconTop},
          [this] { return std::make_unique<CBackupIconWnd>(m_configs, [this] { ConfigureNow(); }); },
          [this] { SaveBackupSettings(); })
{
    m_window.SetWindows(Host().OwnerWindow(), nullptr);
}

int CBackupPage::OnInitDialog()
{
    CFeaturePage::OnInitDialog();
    m_window.SetWindows(Host().OwnerWindow(), GetHwnd());
    return 1;
}

INT_PTR CBackupPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WMAPP_DESKTOP_DROP_DONE) {
        // Out of the window's own handler: now it may go if it should.
        m_window.DropDone();
        return TRUE;
    }
    return CFeaturePage::DialogProc(msg, wp, lp);
}

CBackupPage::~CBackupPage() = default;

std::string CBackupPage::ConfigFile() const
{
    return Host().ProgramFolder() + "\\Backup.txt";
}

void CBackupPage::LoadBackupSettings()
{
    m_configs.LoadConfigs(ConfigFile());
    m_settings = BackupSettings();
    const CSettingsStore& store = Host().Store();
    ReadBytes(store, kShowIcon, &m_settings.showIcon, sizeof m_settings.showIcon);
    int32_t position[2] = {m_settings.iconLeft, m_settings.iconTop};
    ReadBytes(store, kIconPos, position, sizeof position);
    m_settings.iconLeft = position[0];
    m_settings.iconTop = position[1];
    if (m_settings.showIcon)
        m_window.Show();
}

void CBackupPage::SaveBackupSettings()
{
    const CSettingsStore& store = Host().Store();
    const int32_t position[2] = {m_settings.iconLeft, m_settings.iconTop};
    store.WriteBinary(kShowIcon, &m_settings.showIcon, 1);
    store.WriteBinary(kIconPos, position, sizeof position);
    m_configs.SaveConfigs(ConfigFile());
}

bool CBackupPage::OnActivate()
{
    // The list's modified flag stays as it is: it is set here only when its
    // last save failed, and then the next chance writes the list.
    CheckItem(IDC_BACKUP_SHOW_ICON, m_settings.showIcon != 0);
    m_window.Match();
    RefreshConfigList();
    return true;
}

void CBackupPage::OnDeactivate()
{
    m_configs.SaveConfigs(ConfigFile());
}

int CBackupPage::OnApply()
{
    SetModified(false);
    m_settings.showIcon = IsItemChecked(IDC_BACKUP_SHOW_ICON) ? 1 : 0;
    SaveBackupSettings();
    if (m_configs.IsModified())
        TellListNotWritten(GetHwnd(), m_messageBox, "Backup.txt");
    CheckItem(IDC_BACKUP_SHOW_ICON, m_settings.showIcon != 0);
    m_window.Match();
    return 1;
}

int CBackupPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_BACKUP_SHOW_ICON:
        if (code == BN_CLICKED)
            SetModified(true);
        return 1;
    case IDC_BACKUP_CONFIGS:
        if (code == LBN_DBLCLK)
            EditConfig();
        else if (code == LBN_SELCHANGE || code == LBN_SELCANCEL)
            UpdateConfigButtons();
        return 1;
    case IDC_BACKUP_ADD_CONFIG: AddConfig(); return 1;
    case IDC_BACKUP_EDIT_CONFIG: EditConfig(); return 1;
    case IDC_BACKUP_REMOVE_CONFIG: RemoveConfig(); return 1;
    case IDC_BACKUP_ADVANCED: EditCommands(); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}

// ---- The Backup window ----

void CBackupPage::ConfigureNow()
{
    CPropertySheet* sheet = GetSheet();
    for (int i = 0; sheet && i < sheet->GetPageCount(); ++i) {
        if (sheet->GetPage(i) == this) {
            Host().ShowSheet(i);
            return;
        }
    }
}

void CBackupPage::ShutDown()
{
    m_window.Hide();
    SaveBackupSettings();
}

// ---- The configuration list ----

void CBackupPage::RefreshConfigList()
{
    std::vector<std::string> sources;
    for (const BackupConfig& config : m_configs.Configs())
        sources.push_back(config.source);
    FillFolderList(GetItem(IDC_BACKUP_CONFIGS), sources);
    UpdateConfigButtons();
}

void CBackupPage::UpdateConfigButtons()
{
    const bool selected = SelectedConfig() >= 0;
    EnableItem(IDC_BACKUP_EDIT_CONFIG, selected);
    EnableItem(IDC_BACKUP_REMOVE_CONFIG, selected);
}

int CBackupPage::SelectedConfig() const
{
    std::string source;
    return SelectedListText(GetItem(IDC_BACKUP_CONFIGS), &source) ? m_configs.FindConfigBySource(source) : -1;
}

void CBackupPage::ListChanged()
{
    m_configs.SetModified(true);
    RefreshConfigList();
}

void CBackupPage::AddConfig()
{
    BackupConfig config;
    CBackupConfigDlg dialog(GetHwnd(), config);
    dialog.SetMessageBox(m_messageBox);
    dialog.SetSourceTaken([this](const std::string& source) { return m_configs.FindSameSource(source) != -1; });
    if (dialog.Run() != IDOK || !m_configs.AddConfig(config))
        return;
    ListChanged();
    SetModified(true);
}

void CBackupPage::EditConfig()
{
    const int index = SelectedConfig();
    if (index < 0)
        return;
    BackupConfig copy = m_configs.Configs()[static_cast<size_t>(index)];
    CBackupConfigDlg dialog(GetHwnd(), copy);
    dialog.SetMessageBox(m_messageBox);
    dialog.SetSourceTaken(
        [this, index](const std::string& source) { return m_configs.FindSameSource(source, index) != -1; });
    if (dialog.Run() != IDOK || !m_configs.ReplaceConfig(index, copy))
        return;
    ListChanged();
    SetModified(true);
}

void CBackupPage::RemoveConfig()
{
    if (!CBackupConfigDlg::ConfirmRemoval(GetHwnd(), m_messageBox))
        return;
    const int index = SelectedConfig();
    if (index < 0)
        return;
    m_configs.RemoveConfig(index);
    ListChanged();
}

void CBackupPage::EditCommands()
{
    BackupCommands commands = m_configs.Commands();
    CAdvancedBackupDlg dialog(GetHwnd(), commands);
    dialog.SetMessageBox(m_messageBox);
    if (dialog.Run() != IDOK)
        return;
    m_configs.SetCommands(commands);
    SetModified(true);
}
