#include "pages/BackupPage.h"

#include "backup/AdvancedBackupDlg.h"
#include "backup/BackupConfigDlg.h"
#include "backup/BackupConfigList.h"
#include "backup/BackupOwner.h"
#include "pages/BackupResource.h"
#include "pages/PageSupport.h"

namespace {

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

}  // namespace

CBackupPage::CBackupPage(IPageHost& host, IBackupOwner& owner)
    : CFeaturePage(BackupPageArgs(), host), m_owner(owner) { }

CBackupPage::~CBackupPage() = default;

bool CBackupPage::OnActivate()
{
    // The list's modified flag stays as it is: it is set here only when its
    // last save failed, and then the next chance writes the list.
    CheckItem(IDC_BACKUP_SHOW_ICON, m_owner.Settings().showIcon != 0);
    RefreshConfigList();
    return true;
}

void CBackupPage::OnDeactivate()
{
    m_owner.SaveConfigs();
}

int CBackupPage::OnApply()
{
    SetModified(false);
    BackupSettings settings = m_owner.Settings();
    settings.showIcon = IsItemChecked(IDC_BACKUP_SHOW_ICON) ? 1 : 0;
    m_owner.ApplySettings(settings);
    if (m_owner.Configs().IsModified())
        TellListNotWritten(GetHwnd(), m_messageBox, "Backup.txt");
    CheckItem(IDC_BACKUP_SHOW_ICON, m_owner.Settings().showIcon != 0);
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

// ---- The configuration list ----

void CBackupPage::RefreshConfigList()
{
    std::vector<std::string> sources;
    for (const BackupConfig& config : m_owner.Configs().Configs())
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
    return SelectedListText(GetItem(IDC_BACKUP_CONFIGS), &source) ? m_owner.Configs().Find(source) : -1;
}

void CBackupPage::ListChanged()
{
    m_owner.Configs().SetModified(true);
    RefreshConfigList();
}

void CBackupPage::AddConfig()
{
    BackupConfig config;
    CBackupConfigDlg dialog(GetHwnd(), config);
    dialog.SetMessageBox(m_messageBox);
    dialog.SetSourceTaken([this](const std::string& source) { return m_owner.Configs().FindSameSource(source) != -1; });
    if (dialog.Run() != IDOK || !m_owner.Configs().Add(config))
        return;
    ListChanged();
    SetModified(true);
}

void CBackupPage::EditConfig()
{
    const int index = SelectedConfig();
    if (index < 0)
        return;
    BackupConfig copy = m_owner.Configs().Configs()[static_cast<size_t>(index)];
    CBackupConfigDlg dialog(GetHwnd(), copy);
    dialog.SetMessageBox(m_messageBox);
    dialog.SetSourceTaken(
        [this, index](const std::string& source) { return m_owner.Configs().FindSameSource(source, index) != -1; });
    if (dialog.Run() != IDOK || !m_owner.Configs().Replace(index, copy))
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
    m_owner.Configs().Remove(index);
    ListChanged();
}

void CBackupPage::EditCommands()
{
    BackupCommands commands = m_owner.Configs().Commands();
    CAdvancedBackupDlg dialog(GetHwnd(), commands);
    dialog.SetMessageBox(m_messageBox);
    if (dialog.Run() != IDOK)
        return;
    m_owner.Configs().SetCommands(commands);
    SetModified(true);
}
