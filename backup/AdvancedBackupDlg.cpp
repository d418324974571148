#include "backup/AdvancedBackupDlg.h"

#include "backup/BackupResource.h"
#include "common/KeyedTextFile.h"
#include "framework/CommonDialogs.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// "Program Files (*.exe)|*.exe|All Files (*.*)|*.*||" as the dialog takes it.
const char kProgramFilter[] = "Program Files (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";

bool HoldsSeparator(const std::string& text)
{
    return text.find_first_of("\t\r\n") != std::string::npos;
}

}  // namespace

CAdvancedBackupDlg::CAdvancedBackupDlg(HWND parent, BackupCommands& commands)
    : CDialog(IDD_ADVANCED_BACKUP), m_parent(parent), m_commands(commands), m_messageBox(&SystemMessageBox)
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
    std::vector<char> file(kUtf8PathBytes, '\0');
    // The dialog starts at the program already chosen, if it is one.
    const std::string current = GetItemText(field);
    const DWORD attributes = GetFileAttributesA(current.c_str());
    if (current.size() < file.size() && attributes != INVALID_FILE_ATTRIBUTES &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        current.copy(file.data(), current.size());
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetHwnd();
    open.lpstrFilter = kProgramFilter;
    open.nFilterIndex = 1;
    open.lpstrFile = file.data();
    open.nMaxFile = static_cast<DWORD>(file.size());
    open.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_EXPLORER;
    if (ShowOpenFile(open))
        SetItemText(field, file.data());
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
    // Each command is one record of Backup.txt, which a line must hold; the
    // fields have no limit of their own, and text in another script takes
    // two or three bytes a character.
    const std::string custom = "CUSTOM_COMMAND\t" + edited.customProgram + '\t' + edited.customArguments;
    const std::string post = "POST_COMMAND\t" + edited.postProgram + '\t' + edited.postArguments + "\t0";
    if (std::max(custom.size(), post.size()) > static_cast<size_t>(CKeyedTextFile::kMaxLineChars)) {
        m_messageBox(GetHwnd(), "A program and its arguments are too long to be stored.", "Error",
                     MB_OK | MB_ICONWARNING);
        return;
    }
    m_commands = edited;
    CDialog::OnOK();
}
