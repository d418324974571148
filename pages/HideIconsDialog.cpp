#include "pages/HideIconsDialog.h"

#include "common/Utf8.h"
#include "pages/PageHelp.h"

#include "framework/ScopedHandles.h"
#include "hook/HookProtocol.h"
#include "icons/DesktopIcons.h"
#include "pages/IconsResource.h"

#include <vector>

namespace {

const char* const kKindNames[] = {"ICON LABEL", "ICON REFERENCE"};
// The scroll width when the patterns cannot be measured.
const int kFallbackExtent = 500;

// The width of text in window's device context with font, or kFallbackExtent.
int TextExtent(HWND window, HGDIOBJ font, const std::string& text)
{
    const ScopedGetDC dc(window);
    if (!dc)
        return kFallbackExtent;
    const ScopedSelect select(dc.Get(), font);
    SIZE size = {};
    const std::wstring wide = Utf8ToWide(text);  // the A call reads the font's code page
    if (!GetTextExtentPoint32W(dc.Get(), wide.c_str(), static_cast<int>(wide.size()), &size))
        return kFallbackExtent;
    return size.cx;
}

}  // namespace

CHideIconsDialog::CHideIconsDialog(CDesktopIcons& icons)
    : CDialog(IDD_HIDE_ICONS), m_icons(icons), m_messageBox(&SystemMessageBox)
{
}

int CHideIconsDialog::Show(const char* text, const char* caption, UINT type)
{
    return m_messageBox(GetHwnd(), text, caption, type);
}

int CHideIconsDialog::OnInitDialog()
{
    m_rules = m_icons.HideRules();
    EnableItem(IDC_HIDE_ADD, false);
    EnableSelectionButtons(false);
    SendItem(IDC_HIDE_KIND, CB_RESETCONTENT);
    for (const char* name : kKindNames)
        SendItem(IDC_HIDE_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendItem(IDC_HIDE_KIND, CB_SETCURSEL, kHideByLabel);
    SendItem(IDC_HIDE_PATTERN, EM_LIMITTEXT, CHideRuleList::kMaxPatternChars);
    FillList();
    return 1;
}

void CHideIconsDialog::FillList()
{
    SendItem(IDC_HIDE_LIST, LB_RESETCONTENT);
    for (const HideRule& rule : m_rules.Rules())
        SendItem(IDC_HIDE_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(rule.pattern.c_str()));
    UpdateScrollExtent();
}

// The list scrolls sideways as far as the pattern with the most characters is wide.
void CHideIconsDialog::UpdateScrollExtent()
{
    const std::string* longest = nullptr;
    for (const HideRule& rule : m_rules.Rules()) {
        if (!longest || rule.pattern.size() > longest->size())
            longest = &rule.pattern;
    }
    int extent = kFallbackExtent;
    // No list, no measuring: GetDC(nullptr) would measure on the screen.
    if (HWND list = GetItem(IDC_HIDE_LIST)) {
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(GetHwnd(), WM_GETFONT, 0, 0));
        extent = TextExtent(list, font, longest ? *longest : std::string());
    }
    SendItem(IDC_HIDE_LIST, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent));
}

std::string CHideIconsDialog::SelectedPattern() const
{
    const LRESULT index = SendItem(IDC_HIDE_LIST, LB_GETCURSEL);
    if (index == LB_ERR)
        return std::string();
    const LRESULT length = SendItem(IDC_HIDE_LIST, LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendItem(IDC_HIDE_LIST, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data());
}

void CHideIconsDialog::EnableSelectionButtons(bool enabled)
{
    EnableItem(IDC_HIDE_REPLACE, enabled);
    EnableItem(IDC_HIDE_DELETE, enabled);
}

void CHideIconsDialog::OnSelectionChange()
{
    if (SendItem(IDC_HIDE_LIST, LB_GETCURSEL) == LB_ERR) {
        EnableSelectionButtons(false);
        return;
    }
    const std::string pattern = SelectedPattern();
    SetItemText(IDC_HIDE_PATTERN, pattern.c_str());
    const int index = m_rules.Find(pattern);
    if (index != -1)
        SendItem(IDC_HIDE_KIND, CB_SETCURSEL, static_cast<WPARAM>(m_rules.Rules()[index].kind));
    EnableItem(IDC_HIDE_ADD, true);
    EnableSelectionButtons(true);
}

bool CHideIconsDialog::PatternAccepted(const std::string& pattern)
{
    const HidePatternProblem problem = CHideRuleList::CheckPattern(pattern);
    if (problem == HidePatternProblem::kNone)
        return true;
    Show(CHideRuleList::PatternProblemText(problem), "Error", MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CHideIconsDialog::OnAdd()
{
    const std::string pattern = GetItemText(IDC_HIDE_PATTERN);
    if (!PatternAccepted(pattern))
        return;
    const LRESULT kind = SendItem(IDC_HIDE_KIND, CB_GETCURSEL);
    if (m_rules.Add(pattern, kind == CB_ERR ? kHideByLabel : static_cast<int>(kind))) {
        FillList();
        m_rules.SetModified(true);
    }
}

void CHideIconsDialog::OnReplace()
{
    const std::string selected = SelectedPattern();
    if (SendItem(IDC_HIDE_LIST, LB_GETCURSEL) == LB_ERR)
        return;
    const std::string pattern = GetItemText(IDC_HIDE_PATTERN);
    if (!PatternAccepted(pattern))
        return;
    const LRESULT kind = SendItem(IDC_HIDE_KIND, CB_GETCURSEL);
    m_rules.Replace(selected, pattern, kind == CB_ERR ? kHideByLabel : static_cast<int>(kind));
    FillList();
    EnableSelectionButtons(false);
    m_rules.SetModified(true);
}

void CHideIconsDialog::OnDelete()
{
    if (SendItem(IDC_HIDE_LIST, LB_GETCURSEL) == LB_ERR)
        return;
    m_rules.Remove(SelectedPattern());
    FillList();
    EnableSelectionButtons(false);
    SetItemText(IDC_HIDE_PATTERN, "");
    m_rules.SetModified(true);
}

void CHideIconsDialog::OnOK()
{
    if (m_rules.Rules().empty()) {
        if (Show("Do you want to hide all icons?", "Question", MB_YESNO | MB_ICONQUESTION) != IDYES) {
            Show("Please specify at least one icon to hide!", "Notice", MB_OK | MB_ICONINFORMATION);
            return;
        }
        m_rules.Add("*.*", kHideByLabel);
        FillList();
        m_rules.SetModified(true);
    }
    m_icons.SetHideRules(m_rules, GetHwnd());
    EndDialog(IDOK);
}

// Cancel leaves the rules as the dialog found them.
void CHideIconsDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

int CHideIconsDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_HIDE_PATTERN:
        if (code == EN_CHANGE)
            EnableItem(IDC_HIDE_ADD, !GetItemText(IDC_HIDE_PATTERN).empty());
        return 1;
    case IDC_HIDE_LIST:
        if (code == LBN_SELCHANGE)
            OnSelectionChange();
        return 1;
    case IDC_HIDE_ADD:
    case IDC_HIDE_REPLACE:
    case IDC_HIDE_DELETE:
    case IDC_HIDE_OK:
    case IDC_HIDE_CANCEL:
        if (code != BN_CLICKED)
            return 1;
        if (id == IDC_HIDE_ADD)
            OnAdd();
        else if (id == IDC_HIDE_REPLACE)
            OnReplace();
        else if (id == IDC_HIDE_DELETE)
            OnDelete();
        else if (id == IDC_HIDE_OK)
            OnOK();
        else
            OnCancel();
        return 1;
    default: return CDialog::OnCommand(id, code, control);
    }
}

INT_PTR CHideIconsDialog::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if ((msg == WM_HELP || msg == WM_CONTEXTMENU) && HandleContextHelp(GetHwnd(), GetTemplateId(), msg, wp, lp))
        return TRUE;
    return CDialog::DialogProc(msg, wp, lp);
}
