#include "backup/AdvancedBackupDlg.h"

#include "backup/BackupResource.h"
#include "framework/CommonDialogs.h"

#include <string>

namespace {

// "Program Files (*.exe)|*.exe|All Files (*.*)|*.*||" as the dialog takes it.
const char kProgramFilter[] = "Program Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";

bool HoldsSeparator(const std::string& text)
{
    return text.find_first_of("\t\r\n") != std::string::npos;
}

}  // namespace

CAdvancedBackupDlg::CAdvancedBackupDlg(HWND parent, BackupCommands& commands)
    : CDialog(IDD_ADVANCED_BACKUP), m_parent(parent), m_commands(commands), m_messageBox(&MessageBoxA)
{
}

int CAdvancedBackupDlg::OnInitDialog()
{
    const bool custom = m_commands.custom == 1;
    CheckItem(IDC_ADVANCED_STANDARD, !custom);
    CheckItem(IDC_ADVANCED_CUSTOM, custom);
    SetItemText(IDC_ADVANCED_CUSTOM_PROGRAM, m_commands.customProgram.c_str());
    SetItemText(IDC_ADVANCED_CUSTOM_ARGUMENTS, m_commands.customArguments.c_str());
    SetItemText(IDC_ADVANCED_POST_PROGRAM, m_commands.postProgram.c_str());
    SetItemText(IDC_ADVANCED_POST_ARGUMENTS, m_commands.postArguments.c_str());
    CheckItem(IDC_ADVANCED_REMOVE_COPIES, m_commands.removeCopies != 0);
    EnableCustom(custom);
    return 1;
}

void CAdvancedBackupDlg::EnableCustom(bool enabled)
{
    for (int id : {IDC_ADVANCED_CUSTOM_PROGRAM, IDC_ADVANCED_CUSTOM_SELECT, IDC_ADVANCED_CUSTOM_ARGUMENTS})
        EnableItem(id, enabled);
}

int CAdvancedBackupDlg::OnCommand(UINT id, UINT code, HWND control)
{
    if (code == BN_CLICKED) {
        switch (id) {
        case IDC_ADVANCED_STANDARD: EnableCustom(false); return 1;
        case IDC_ADVANCED_CUSTOM: EnableCustom(true); return 1;
        case IDC_ADVANCED_CUSTOM_SELECT: ChooseProgram(IDC_ADVANCED_CUSTOM_PROGRAM); return 1;
        case IDC_ADVANCED_POST_SELECT: ChooseProgram(IDC_ADVANCED_POST_PROGRAM); return 1;
        default: break;
        }
    }
    return CDialog::OnCommand(id, code, control);
}

void CAdvancedBackupDlg::ChooseProgram(int field)
{
    char file[MAX_PATH] = "";
    // The dialog starts at the program already chosen, if it is one.
    const std::string current = GetItemText(field);
    const DWORD attributes = GetFileAttributesA(current.c_str());
    if (current.size() < sizeof file && attributes != INVALID_FILE_ATTRIBUTES &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        current.copy(file, current.size());
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetHwnd();
    open.lpstrFilter = kProgramFilter;
    open.nFilterIndex = 1;
    open.lpstrFile = file;
    open.nMaxFile = sizeof file;
    open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (ShowOpenFile(open))
        SetItemText(field, file);
}

void CAdvancedBackupDlg::OnOK()
{
    BackupCommands edited;
    edited.custom = IsItemChecked(IDC_ADVANCED_CUSTOM) ? 1 : 0;
    edited.customProgram = GetItemText(IDC_ADVANCED_CUSTOM_PROGRAM);
    edited.customArguments = GetItemText(IDC_ADVANCED_CUSTOM_ARGUMENTS);
    edited.postProgram = GetItemText(IDC_ADVANCED_POST_PROGRAM);
    edited.postArguments = GetItemText(IDC_ADVANCED_POST_ARGUMENTS);
    edited.removeCopies = IsItemChecked(IDC_ADVANCED_REMOVE_COPIES) ? 1 : 0;
    // Every file would count as backed up by a program that is not there.
    if (edited.custom == 1 && edited.customProgram.find_first_not_of(' ') == std::string::npos) {
        m_messageBox(GetHwnd(), "Please specify the program of the custom backup command!", "Notice",
                     MB_OK | MB_ICONINFORMATION);
        return;
    }
    for (const std::string* text :
         {&edited.customProgram, &edited.customArguments, &edited.postProgram, &edited.postArguments}) {
        if (HoldsSeparator(*text)) {
            m_messageBox(GetHwnd(), "The programs and their arguments cannot contain tabs or line breaks.", "Error",
                         MB_OK | MB_ICONWARNING);
            return;
        }
    }
    m_commands = edited;
    CDialog::OnOK();
}
