#include "respond/RespondEntryDlg.h"

#include "framework/CommonDialogs.h"
#include "respond/RespondEntryResource.h"
#include "respond/RespondRuleList.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

const char kCommonFirstLine[] = "[Common windows & tasks for auto-responding]";

RespondAction NewAction()
{
    return RespondAction();
}

// The actions that do something; one new action when none is left.
std::vector<RespondAction> WorkingActions(const std::vector<RespondAction>& actions)
{
    std::vector<RespondAction> working;
    for (const RespondAction& a : actions) {
        if (a.kind != kActionNone)
            working.push_back(a);
    }
    if (working.empty())
        working.push_back(NewAction());
    return working;
}

bool UsesLabel(int kind)
{
    return kind == kActionPushButton || kind == kActionSelectMenu;
}

// The delay edit's text: not a number gives 0, beyond 32 bits its end.
int32_t DelayOf(const std::string& text)
{
    const long long n = strtoll(text.c_str(), nullptr, 10);
    return static_cast<int32_t>(n < INT32_MIN ? INT32_MIN : n > INT32_MAX ? INT32_MAX : n);
}

}  // namespace

CRespondEntryDlg::CRespondEntryDlg(HWND parent, RespondEntry& rule, std::string commonRules)
    : CDialog(IDD_RESPOND_ENTRY), m_parent(parent), m_rule(rule), m_commonFile(std::move(commonRules)),
      m_messageBox(&SystemMessageBox)
{
}

int CRespondEntryDlg::Selected(int id) const
{
    return static_cast<int>(SendItem(id, CB_GETCURSEL));
}

void CRespondEntryDlg::Select(int id, int index)
{
    SendItem(id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

void CRespondEntryDlg::FillList(int id, const char* (*text)(int), int count)
{
    for (int i = 0; i < count; i++)
        SendItem(id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text(i)));
}

int CRespondEntryDlg::OnInitDialog()
{
    m_filling = true;
    FillList(IDC_RESPOND_TITLE_MATCH, MatchKindText, kMatchKindCount);
    FillList(IDC_RESPOND_TEXT_MATCH, MatchKindText, kMatchKindCount);
    FillList(IDC_RESPOND_LABEL_MATCH, MatchKindText, kMatchKindCount);
    FillList(IDC_RESPOND_KIND, ActionKindText, kActionKindCount);
    SetItemText(IDC_RESPOND_TITLE, m_rule.windowTitle.c_str());
    Select(IDC_RESPOND_TITLE_MATCH, m_rule.titleMatch);
    SetItemText(IDC_RESPOND_TEXT, m_rule.windowText.c_str());
    Select(IDC_RESPOND_TEXT_MATCH, m_rule.textMatch);
    CheckItem(IDC_RESPOND_ONCE, m_rule.oncePerWindow);
    SetActions(m_rule.actions);
    SetText(m_rule.windowTitle.empty() ? "Add Respond Entry" : "Edit Respond Entry");

    CRespondRuleList common;
    common.Load(m_commonFile, true);
    m_common = common.Rules();
    SendItem(IDC_RESPOND_COMMON, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kCommonFirstLine));
    for (const RespondEntry& rule : m_common)
        SendItem(IDC_RESPOND_COMMON, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rule.name.c_str()));
    Select(IDC_RESPOND_COMMON, 0);
    m_filling = false;
    m_edited = false;
    return 1;
}

void CRespondEntryDlg::SetActions(const std::vector<RespondAction>& actions)
{
    m_actions = WorkingActions(actions);
    m_current = 0;
    ShowAction();
}

void CRespondEntryDlg::ShowKindControls(int kind)
{
    const int label = UsesLabel(kind) ? SW_SHOW : SW_HIDE;
    const int sound = kind == kActionPlaySound ? SW_SHOW : SW_HIDE;
    for (int id : {IDC_RESPOND_LABEL_CAPTION, IDC_RESPOND_LABEL_MATCH, IDC_RESPOND_LABEL})
        ::ShowWindow(GetItem(id), label);
    for (int id : {IDC_RESPOND_SOUND_CAPTION, IDC_RESPOND_SOUND, IDC_RESPOND_BROWSE})
        ::ShowWindow(GetItem(id), sound);
}

void CRespondEntryDlg::ShowAction()
{
    const bool filling = m_filling;
    m_filling = true;
    const RespondAction& a = m_actions[m_current];
    Select(IDC_RESPOND_KIND, a.kind);
    ShowKindControls(a.kind);
    SetItemText(IDC_RESPOND_LABEL, UsesLabel(a.kind) ? a.label.c_str() : "");
    Select(IDC_RESPOND_LABEL_MATCH, UsesLabel(a.kind) ? a.labelMatch : 0);
    SetItemText(IDC_RESPOND_SOUND, a.kind == kActionPlaySound ? a.label.c_str() : "");
    SetItemText(IDC_RESPOND_DELAY, std::to_string(a.delay).c_str());
    char caption[64];
    snprintf(caption, sizeof caption, "Action %zu of %zu", m_current + 1, m_actions.size());
    SetItemText(IDC_RESPOND_ACTION_GROUP, caption);
    EnableItem(IDC_RESPOND_PREVIOUS, m_current > 0);
    m_filling = filling;
}

void CRespondEntryDlg::StoreAction()
{
    RespondAction& a = m_actions[m_current];
    const int kind = Selected(IDC_RESPOND_KIND);
    a.kind = kind >= 0 && kind < kActionKindCount ? static_cast<ActionKind>(kind) : kActionNone;
    a.label.clear();
    a.labelMatch = kMatchExactly;
    if (UsesLabel(a.kind)) {
        a.label = GetItemText(IDC_RESPOND_LABEL);
        const int match = Selected(IDC_RESPOND_LABEL_MATCH);
        a.labelMatch = match >= 0 && match < kMatchKindCount ? static_cast<MatchKind>(match) : kMatchExactly;
    } else if (a.kind == kActionPlaySound) {
        a.label = GetItemText(IDC_RESPOND_SOUND);
    }
    a.delay = DelayOf(GetItemText(IDC_RESPOND_DELAY));
}

void CRespondEntryDlg::Next()
{
    StoreAction();
    if (++m_current >= m_actions.size())
        m_actions.push_back(NewAction());
    ShowAction();
}

void CRespondEntryDlg::Previous()
{
    if (m_current == 0)
        return;
    StoreAction();
    m_current--;
    ShowAction();
}

void CRespondEntryDlg::Insert()
{
    // What was typed into the shown action is kept: it moves one place on.
    StoreAction();
    m_actions.insert(m_actions.begin() + static_cast<std::ptrdiff_t>(m_current), NewAction());
    m_edited = true;
    ShowAction();
}

void CRespondEntryDlg::DeleteAction()
{
    if (m_messageBox(GetHwnd(), "Are you sure you want to remove this action?", "Confirm", MB_YESNO | MB_ICONWARNING) !=
        IDYES)
        return;
    m_actions.erase(m_actions.begin() + static_cast<std::ptrdiff_t>(m_current));
    if (m_actions.empty())
        m_actions.push_back(NewAction());
    if (m_current >= m_actions.size())
        m_current = m_actions.size() - 1;
    m_edited = true;
    ShowAction();
}

void CRespondEntryDlg::BrowseSound()
{
    std::vector<char> path(kUtf8PathBytes, '\0');
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = GetHwnd();
    open.lpstrFilter = "WAVE Files (*.wav)\0*.wav\0All Files (*.*)\0*.*\0";
    open.lpstrFile = path.data();
    open.nMaxFile = static_cast<DWORD>(path.size());
    // Without OFN_NOCHANGEDIR the dialog leaves the program in the chosen file's folder.
    open.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (ShowOpenFile(open))
        SetItemText(IDC_RESPOND_SOUND, path.data());
}

void CRespondEntryDlg::TakeCommonRule()
{
    const int line = Selected(IDC_RESPOND_COMMON);
    if (line <= 0 || static_cast<size_t>(line) > m_common.size())
        return;
    if (m_edited &&
        m_messageBox(GetHwnd(), "Your changes to this entry will be lost.\nDo you want to replace this entry anyway?",
                     "Confirm", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
        Select(IDC_RESPOND_COMMON, 0);
        return;
    }
    const RespondEntry& rule = m_common[static_cast<size_t>(line) - 1];
    m_filling = true;
    SetItemText(IDC_RESPOND_TITLE, rule.windowTitle.c_str());
    Select(IDC_RESPOND_TITLE_MATCH, rule.titleMatch);
    SetItemText(IDC_RESPOND_TEXT, rule.windowText.c_str());
    Select(IDC_RESPOND_TEXT_MATCH, rule.textMatch);
    CheckItem(IDC_RESPOND_ONCE, rule.oncePerWindow);
    SetActions(rule.actions);
    m_filling = false;
    m_edited = false;
}

int CRespondEntryDlg::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_RESPOND_OK: OnOK(); return 1;
    case IDC_RESPOND_CANCEL: OnCancel(); return 1;
    case IDC_RESPOND_NEXT: Next(); return 1;
    case IDC_RESPOND_PREVIOUS: Previous(); return 1;
    case IDC_RESPOND_INSERT: Insert(); return 1;
    case IDC_RESPOND_DELETE_ACTION: DeleteAction(); return 1;
    case IDC_RESPOND_BROWSE: BrowseSound(); return 1;
    case IDC_RESPOND_COMMON:
        if (code == CBN_SELCHANGE)
            TakeCommonRule();
        return 1;
    case IDC_RESPOND_KIND:
        if (code == CBN_SELCHANGE) {
            ShowKindControls(Selected(IDC_RESPOND_KIND));
            m_edited = true;
        }
        return 1;
    case IDC_RESPOND_TITLE:
    case IDC_RESPOND_TEXT:
    case IDC_RESPOND_LABEL:
    case IDC_RESPOND_SOUND:
    case IDC_RESPOND_DELAY:
        if (code == EN_CHANGE && !m_filling)
            m_edited = true;
        return 1;
    case IDC_RESPOND_TITLE_MATCH:
    case IDC_RESPOND_TEXT_MATCH:
    case IDC_RESPOND_LABEL_MATCH:
        if (code == CBN_SELCHANGE)
            m_edited = true;
        return 1;
    case IDC_RESPOND_ONCE:
        if (code == BN_CLICKED)
            m_edited = true;
        return 1;
    default: return CDialog::OnCommand(id, code, control);
    }
}

void CRespondEntryDlg::OnOK()
{
    StoreAction();
    RespondEntry edited = m_rule;
    edited.windowTitle = GetItemText(IDC_RESPOND_TITLE);
    edited.windowText = GetItemText(IDC_RESPOND_TEXT);
    const int titleMatch = Selected(IDC_RESPOND_TITLE_MATCH);
    const int textMatch = Selected(IDC_RESPOND_TEXT_MATCH);
    edited.titleMatch = titleMatch >= 0 && titleMatch < kMatchKindCount ? static_cast<MatchKind>(titleMatch)
                                                                        : kMatchExactly;
    edited.textMatch = textMatch >= 0 && textMatch < kMatchKindCount ? static_cast<MatchKind>(textMatch)
                                                                     : kMatchExactly;
    edited.oncePerWindow = IsItemChecked(IDC_RESPOND_ONCE);
    edited.actions.clear();
    for (const RespondAction& a : m_actions) {
        if (a.kind != kActionNone)
            edited.actions.push_back(a);
    }
    if (edited.windowTitle.empty() && edited.windowText.empty()) {
        m_messageBox(GetHwnd(), "You must specify at least a window title or text.", "Error", MB_OK | MB_ICONWARNING);
        return;
    }
    // One unreadable record would lose every later rule on the next read.
    std::vector<std::pair<const char*, const std::string*>> fields = {{"window title", &edited.windowTitle},
                                                                      {"window text", &edited.windowText}};
    for (const RespondAction& a : edited.actions)
        fields.push_back({a.kind == kActionPlaySound ? "sound file" : "item label", &a.label});
    for (const auto& field : fields) {
        if (const char* problem = CRespondRuleList::FieldProblem(*field.second)) {
            const std::string text = std::string("The ") + field.first + " " + problem + ".";
            m_messageBox(GetHwnd(), text.c_str(), "Error", MB_OK | MB_ICONWARNING);
            return;
        }
    }
    m_rule = std::move(edited);
    CDialog::OnOK();
}
