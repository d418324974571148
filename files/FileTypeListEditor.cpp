#include "files/FileTypeListEditor.h"

#include "files/TaskFolderCheck.h"

#include <vector>

CFileTypeListEditor::CFileTypeListEditor(CDialog& dialog, const Controls& controls)
    : m_dialog(dialog), m_ids(controls), m_messageBox(&SystemMessageBox)
{
}

void CFileTypeListEditor::Fill(const std::vector<std::string>& patterns)
{
    m_dialog.SendItem(m_ids.list, LB_RESETCONTENT);
    for (const std::string& pattern : patterns)
        AddPattern(pattern);
    m_dialog.EnableItem(m_ids.add, false);
    EnableSelectionButtons(false);
}

std::vector<std::string> CFileTypeListEditor::Patterns() const
{
    std::vector<std::string> patterns;
    const int count = static_cast<int>(m_dialog.SendItem(m_ids.list, LB_GETCOUNT));
    for (int i = 0; i < count; i++) {
        const LRESULT length = m_dialog.SendItem(m_ids.list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        if (length < 0)
            continue;
        std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
        m_dialog.SendItem(m_ids.list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        patterns.emplace_back(text.data());
    }
    return patterns;
}

bool CFileTypeListEditor::IsEmpty() const
{
    return m_dialog.SendItem(m_ids.list, LB_GETCOUNT) <= 0;
}

void CFileTypeListEditor::AddPattern(const std::string& pattern)
{
    m_dialog.SendItem(m_ids.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pattern.c_str()));
}

bool CFileTypeListEditor::OnCommand(UINT id, UINT code)
{
    if (static_cast<int>(id) == m_ids.field && code == EN_CHANGE) {
        m_dialog.EnableItem(m_ids.add, !m_dialog.GetItemText(m_ids.field).empty());
    } else if (static_cast<int>(id) == m_ids.list && code == LBN_SELCHANGE) {
        OnSelectionChange();
    } else if (code != BN_CLICKED) {
        return false;
    } else if (static_cast<int>(id) == m_ids.add) {
        OnAdd();
    } else if (static_cast<int>(id) == m_ids.replace) {
        OnReplace();
    } else if (static_cast<int>(id) == m_ids.remove) {
        OnDelete();
    } else {
        return false;
    }
    return true;
}

int CFileTypeListEditor::Selected() const
{
    return static_cast<int>(m_dialog.SendItem(m_ids.list, LB_GETCURSEL));
}

void CFileTypeListEditor::EnableSelectionButtons(bool enabled)
{
    m_dialog.EnableItem(m_ids.replace, enabled);
    m_dialog.EnableItem(m_ids.remove, enabled);
}

std::string CFileTypeListEditor::AcceptedField()
{
    const std::string pattern = m_dialog.GetItemText(m_ids.field);
    const std::string problem = FileTypeProblem(pattern);
    if (problem.empty())
        return pattern;
    m_messageBox(m_dialog.GetHwnd(), problem.c_str(), "Error", MB_OK | MB_ICONWARNING);
    return "";
}

void CFileTypeListEditor::OnSelectionChange()
{
    const int selected = Selected();
    if (selected == LB_ERR) {
        EnableSelectionButtons(false);
        return;
    }
    const LRESULT length = m_dialog.SendItem(m_ids.list, LB_GETTEXTLEN, static_cast<WPARAM>(selected));
    std::vector<char> text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    m_dialog.SendItem(m_ids.list, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text.data()));
    m_dialog.SetItemText(m_ids.field, text.data());
    m_dialog.EnableItem(m_ids.add, true);
    EnableSelectionButtons(true);
}

void CFileTypeListEditor::OnAdd()
{
    const std::string pattern = AcceptedField();
    if (!pattern.empty())
        AddPattern(pattern);
}

void CFileTypeListEditor::OnReplace()
{
    const int selected = Selected();
    if (selected == LB_ERR)
        return;
    const std::string pattern = AcceptedField();
    if (pattern.empty())
        return;
    m_dialog.SendItem(m_ids.list, LB_DELETESTRING, static_cast<WPARAM>(selected));
    AddPattern(pattern);
    EnableSelectionButtons(false);
}

void CFileTypeListEditor::OnDelete()
{
    const int selected = Selected();
    if (selected == LB_ERR)
        return;
    m_dialog.SendItem(m_ids.list, LB_DELETESTRING, static_cast<WPARAM>(selected));
    EnableSelectionButtons(false);
    m_dialog.SetItemText(m_ids.field, "");
}
