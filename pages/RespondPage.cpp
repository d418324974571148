#include "pages/RespondPage.h"

#include "common/Utf8.h"
#include "pages/PageHost.h"
#include "pages/RespondResource.h"
#include "respond/RespondEntryDlg.h"
#include "settings/SettingsStore.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <utility>

namespace {

const char kSort[] = "Property Respond List Sort";
const char kWidths[] = "Property Respond List Column Widths";
constexpr int kDefaultWidth = 162;
constexpr int kWidestColumn = 4000;

CFeaturePage::PageArgs RespondPageArgs()
{
    CFeaturePage::PageArgs args;
    args.templateId = IDD_RESPOND;
    args.buttons.ok = IDC_RESPOND_PAGE_OK;
    args.buttons.cancel = IDC_RESPOND_PAGE_CANCEL;
    args.buttons.apply = IDC_RESPOND_PAGE_APPLY;
    args.picture = IDB_RESPOND;
    args.lowColourPicture = IDB_RESPOND_16;
    args.picturePlace = IDC_RESPOND_PICTURE;
    return args;
}

// The default width in pixels of the screen: the list grows with the screen's
// scale, and a column of 96-dpi pixels would leave half of it empty.
int ScaledDefaultWidth()
{
    int dpi = 96;
    if (HDC screen = GetDC(nullptr)) {
        dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    return dpi > 96 ? MulDiv(kDefaultWidth, dpi, 96) : kDefaultWidth;
}

// "%d,%d"; anything else, or two zeros, gives the default widths.
void ParseWidths(const std::string& text, int* title, int* body)
{
    int a = 0;
    int b = 0;
    char rest = 0;
    if (sscanf(text.c_str(), "%d,%d%c", &a, &b, &rest) != 2 || a < 0 || b < 0 || a > kWidestColumn ||
        b > kWidestColumn || (a == 0 && b == 0)) {
        a = ScaledDefaultWidth();
        b = a;
    }
    *title = a;
    *body = b;
}

struct SortContext {
    const CRespondRuleList* rules;
    uint8_t sort;
};

int CALLBACK CompareRules(LPARAM first, LPARAM second, LPARAM context)
{
    const SortContext& c = *reinterpret_cast<const SortContext*>(context);
    const RespondEntry& a = c.rules->Rule(static_cast<int>(first));
    const RespondEntry& b = c.rules->Rule(static_cast<int>(second));
    return c.sort == 1 ? CompareNoCase(a.windowTitle.c_str(), b.windowTitle.c_str())
                       : CompareNoCase(a.windowText.c_str(), b.windowText.c_str());
}

bool OpenWithSystem(HWND owner, const std::string& path)
{
    return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}

}  // namespace

CRespondPage::CRespondPage(IPageHost& host, IAutoRespond& respond)
    : CFeaturePage(RespondPageArgs(), host), m_respond(respond), m_openFile(&OpenWithSystem)
{
}

CRespondPage::~CRespondPage() = default;

void CRespondPage::LoadSettings()
{
    const CSettingsStore& store = Host().Store();
    m_settings = RespondListSettings();
    store.ReadValue(kSort, &m_settings.sort);
    if (m_settings.sort > 2)
        m_settings.sort = 0;
    std::string widths;
    store.ReadText(kWidths, &widths);
    ParseWidths(widths, &m_settings.titleWidth, &m_settings.textWidth);
}

void CRespondPage::SaveSettings()
{
    const CSettingsStore& store = Host().Store();
    store.WriteBinary(kSort, &m_settings.sort, 1);
    char widths[32];
    snprintf(widths, sizeof widths, "%d,%d", m_settings.titleWidth, m_settings.textWidth);
    store.WriteText(kWidths, widths);
}

void CRespondPage::TellResult(ListSaveResult result)
{
    if (result == ListSaveResult::kFailed && GetHwnd())
        TellListNotWritten(GetHwnd(), m_messageBox, "Respond.txt");
}

bool CRespondPage::OnActivate()
{
    HWND list = GetItem(IDC_RESPOND_LIST);
    if (m_firstActivation) {
        m_firstActivation = false;
        LoadSettings();
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        const char* names[2] = {"Window Title", "Window Text"};
        const int widths[2] = {m_settings.titleWidth, m_settings.textWidth};
        for (int i = 0; i < 2; i++) {
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<char*>(names[i]);
            column.cx = widths[i];
            column.iSubItem = i;
            SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
    }
    SetModified(false);
    CheckItem(IDC_RESPOND_ENABLED, m_respond.Enabled());
    FillList();
    m_respond.RulesShown();
    return true;
}

void CRespondPage::OnDeactivate()
{
    HWND list = GetItem(IDC_RESPOND_LIST);
    m_settings.titleWidth = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    m_settings.textWidth = static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
    SaveSettings();
    TellResult(m_respond.Save());
}

int CRespondPage::OnApply()
{
    SetModified(false);
    SaveSettings();
    TellResult(m_respond.Apply(IsItemChecked(IDC_RESPOND_ENABLED)));
    return 1;
}

int CRespondPage::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_RESPOND_ENABLED:
        if (code == BN_CLICKED)
            SetModified(true);
        return 1;
    case IDC_RESPOND_ADD: AddRule(); return 1;
    case IDC_RESPOND_EDIT: EditRule(); return 1;
    case IDC_RESPOND_REMOVE: RemoveRule(); return 1;
    case IDC_RESPOND_VIEW_LOG: ViewLog(); return 1;
    default: return CFeaturePage::OnCommand(id, code, control);
    }
}

int CRespondPage::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.idFrom != IDC_RESPOND_LIST)
        return CFeaturePage::OnNotify(header, result);
    switch (header.code) {
    case LVN_COLUMNCLICK:
        m_settings.sort = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem == 0 ? 1 : 2;
        SortList();
        return 1;
    case LVN_ITEMCHANGED: UpdateButtons(); return 1;
    case NM_DBLCLK: EditRule(); return 1;
    default: return CFeaturePage::OnNotify(header, result);
    }
}

// ---- The list ----

void CRespondPage::FillList()
{
    HWND list = GetItem(IDC_RESPOND_LIST);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const CRespondRuleList& rules = m_respond.Rules();
    for (int i = 0; i < rules.Count(); i++) {
        const RespondEntry& rule = rules.Rule(i);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        item.pszText = const_cast<char*>(rule.windowTitle.c_str());
        item.lParam = i;
        const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        LVITEMA text = {};
        text.iSubItem = 1;
        text.pszText = const_cast<char*>(rule.windowText.c_str());
        SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text));
    }
    UpdateButtons();
    SortList();
}

void CRespondPage::SortList()
{
    if (m_settings.sort != 1 && m_settings.sort != 2)
        return;
    SortContext context = {&m_respond.Rules(), m_settings.sort};
    SendItem(IDC_RESPOND_LIST, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
             reinterpret_cast<LPARAM>(&CompareRules));
}

void CRespondPage::UpdateButtons()
{
    const bool selected = SelectedRule() >= 0;
    EnableItem(IDC_RESPOND_EDIT, selected);
    EnableItem(IDC_RESPOND_REMOVE, selected);
}

int CRespondPage::SelectedRule() const
{
    HWND list = GetItem(IDC_RESPOND_LIST);
    const int row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0)
        return -1;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    const int index = static_cast<int>(item.lParam);
    return index >= 0 && index < m_respond.Rules().Count() ? index : -1;
}

void CRespondPage::AddRule()
{
    RespondEntry rule;
    CRespondEntryDlg dialog(GetHwnd(), rule, Host().ProgramFolder() + "\\RespondCommon.txt");
    dialog.SetMessageBox(m_messageBox);
    if (dialog.Run() != IDOK)
        return;
    if (m_respond.Rules().IsDuplicateRule(rule)) {
        m_messageBox(GetHwnd(), "A rule for this window title and text exists already; the new rule was not added.",
                     "Notice", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const ListSaveResult result = m_respond.AddRule(std::move(rule));
    FillList();
    SetModified(true);
    TellResult(result);
}

void CRespondPage::EditRule()
{
    const int index = SelectedRule();
    if (index < 0)
        return;
    RespondEntry copy = m_respond.Rules().Rule(index);
    CRespondEntryDlg dialog(GetHwnd(), copy, Host().ProgramFolder() + "\\RespondCommon.txt");
    dialog.SetMessageBox(m_messageBox);
    if (dialog.Run() != IDOK || index >= m_respond.Rules().Count())
        return;
    const ListSaveResult result = m_respond.ReplaceRule(index, std::move(copy));
    FillList();
    SetModified(true);
    TellResult(result);
}

void CRespondPage::RemoveRule()
{
    if (m_messageBox(GetHwnd(), "Are you sure you want to delete this task?", "Confirm",
                     MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    const int index = SelectedRule();
    if (index < 0)
        return;
    const ListSaveResult result = m_respond.RemoveRule(index);
    FillList();
    TellResult(result);
    EnableItem(IDC_RESPOND_EDIT, false);
    EnableItem(IDC_RESPOND_REMOVE, false);
}

void CRespondPage::ViewLog()
{
    const std::string log = Host().ProgramFolder() + "\\Respond.log";
    if (GetFileAttributesA(log.c_str()) == INVALID_FILE_ATTRIBUTES) {
        m_messageBox(GetHwnd(), "No window has been answered yet: Respond.log does not exist.", "Notice",
                     MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!m_openFile(GetHwnd(), log))
        m_messageBox(GetHwnd(), ("Cannot open " + log + ".").c_str(), "Error", MB_OK | MB_ICONWARNING);
}
