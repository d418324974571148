#include "framework/PropertySheet.h"

#include "framework/CommonControls.h"
#include "framework/ErrorReport.h"

#include <algorithm>

namespace {

// The sheet whose PropertySheetA call is running: the sheet callback has no
// user data, and all of this runs on the one user-interface thread.
CPropertySheet* g_sheetBeingCreated = nullptr;

// ID_APPLY_NOW in the common controls' sheet template.
const int kApplyButtonId = 0x3021;

// The head of an extended dialog template (DLGTEMPLATEEX).
struct ExtendedTemplateHead {
    WORD version;
    WORD signature;  // 0xFFFF
    DWORD helpId;
    DWORD exStyle;
    DWORD style;
};

}  // namespace

CPropertySheet::~CPropertySheet()
{
    // The pages' windows go with the sheet's, while the page objects live.
    HWND hwnd = GetHwnd();
    if (hwnd) {
        Unbind();
        if (::IsWindow(hwnd))
            DestroyWindow(hwnd);
    }
    m_pages.clear();
}

CPropertyPage* CPropertySheet::AddPage(std::unique_ptr<CPropertyPage> page)
{
    if (!page)
        return nullptr;
    page->m_sheet = this;
    if (GetHwnd()) {
        PROPSHEETPAGEA description = page->Describe();
        HPROPSHEETPAGE handle = CreatePropertySheetPageA(&description);
        if (!handle) {
            ReportLastError("CreatePropertySheetPageA");
            return nullptr;
        }
        if (!Send(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(handle))) {
            DestroyPropertySheetPage(handle);
            ReportError("PSM_ADDPAGE failed");
            return nullptr;
        }
    }
    m_pages.push_back(std::move(page));
    return m_pages.back().get();
}

int CPropertySheet::RemovePage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return 0;
    if (GetHwnd())
        Send(PSM_REMOVEPAGE, static_cast<WPARAM>(index), 0);  // destroys the page's window
    m_pages.erase(m_pages.begin() + index);
    return 1;
}

void CPropertySheet::RemoveAllPages()
{
    while (!m_pages.empty())
        RemovePage(GetPageCount() - 1);
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)].get() : nullptr;
}

int CPropertySheet::Create(const SheetArgs& args)
{
    if (GetHwnd() || g_sheetBeingCreated) {
        ReportError("CPropertySheet::Create: the sheet is open, or another is being made");
        return 0;
    }
    if (m_pages.empty()) {
        ReportError("CPropertySheet::Create: a sheet needs a page");
        return 0;
    }
    EnsureCommonControls();

    m_args = args;
    m_caption = args.caption ? args.caption : "";
    m_args.caption = m_caption.c_str();
    std::vector<PROPSHEETPAGEA> pages;
    for (auto& page : m_pages)
        pages.push_back(page->Describe());

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
    header.hwndParent = args.parent;
    header.hInstance = GetModule();
    header.pszCaption = m_caption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.nStartPage = static_cast<UINT>(std::clamp(args.startPage, 0, GetPageCount() - 1));
    header.ppsp = pages.data();
    header.pfnCallback = &SheetCallback;

    g_sheetBeingCreated = this;
    const INT_PTR result = PropertySheetA(&header);
    g_sheetBeingCreated = nullptr;
    if (result == 0 || result == -1) {
        ReportLastError("PropertySheetA");
        return 0;
    }
    if (!GetHwnd()) {
        ReportError("CPropertySheet::Create: the sheet's window could not be subclassed");
        DestroyWindow(reinterpret_cast<HWND>(result));
        return 0;
    }
    SetOwnsWindow(true);
    return 1;
}

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT msg, LPARAM lp)
{
    CPropertySheet* self = g_sheetBeingCreated;
    if (!self)
        return 0;
    return CallGuarded("property sheet callback", 0, [&] {
        if (msg == PSCB_PRECREATE && lp) {
            self->AdjustTemplate(reinterpret_cast<DLGTEMPLATE*>(lp));
        } else if (msg == PSCB_INITIALIZED) {
            if (!self->Subclass(hwnd))
                return 0;
            if (!self->m_args.standardButtons)
                self->HideStandardButtons();
            self->OnInitialized();
        }
        return 0;
    });
}

// The sheet's template is a writable copy at this point.
void CPropertySheet::AdjustTemplate(DLGTEMPLATE* dialogTemplate) const
{
    DWORD* style = &dialogTemplate->style;
    DWORD* exStyle = &dialogTemplate->dwExtendedStyle;
    auto* extended = reinterpret_cast<ExtendedTemplateHead*>(dialogTemplate);
    if (extended->signature == 0xFFFF) {
        style = &extended->style;
        exStyle = &extended->exStyle;
    }
    if (!m_args.visible)
        *style &= ~WS_VISIBLE;
    if (m_args.contextHelpButton)
        *exStyle |= WS_EX_CONTEXTHELP;
}

void CPropertySheet::HideStandardButtons()
{
    const int ids[] = {IDOK, IDCANCEL, kApplyButtonId, IDHELP};
    for (int id : ids) {
        if (HWND button = GetDlgItem(GetHwnd(), id)) {
            ShowWindow(button, SW_HIDE);
            EnableWindow(button, FALSE);
        }
    }
    // Below the tab control leave the margin that is above it.
    HWND tab = reinterpret_cast<HWND>(Send(PSM_GETTABCONTROL));
    RECT client = {};
    RECT tabRect = {};
    if (!tab || !GetClientRect(GetHwnd(), &client) || !GetWindowRect(tab, &tabRect))
        return;
    MapWindowPoints(nullptr, GetHwnd(), reinterpret_cast<POINT*>(&tabRect), 2);
    const LONG wanted = tabRect.bottom + tabRect.top;
    if (wanted >= client.bottom)
        return;
    RECT window = {};
    GetWindowRect(GetHwnd(), &window);
    SetWindowPos(GetHwnd(), nullptr, 0, 0, window.right - window.left,
                 window.bottom - window.top - (client.bottom - wanted), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CPropertySheet::SetActivePage(int index)
{
    if (!GetHwnd() || index < 0 || index >= GetPageCount())
        return 0;
    return Send(PSM_SETCURSEL, static_cast<WPARAM>(index), 0) ? 1 : 0;
}

int CPropertySheet::GetActiveIndex() const
{
    HWND current = reinterpret_cast<HWND>(Send(PSM_GETCURRENTPAGEHWND));
    for (int i = 0; current && i < GetPageCount(); ++i)
        if (m_pages[static_cast<size_t>(i)]->GetHwnd() == current)
            return i;
    return -1;
}

int CPropertySheet::Apply()
{
    return GetHwnd() && Send(PSM_APPLY) ? 1 : 0;
}

int CPropertySheet::PreTranslateMessage(MSG& msg)
{
    if (!GetHwnd() || !Send(PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(&msg)))
        return 0;
    // A modeless sheet that ended itself has no current page any more.
    if (GetHwnd() && !Send(PSM_GETCURRENTPAGEHWND))
        OnSheetEnded();
    return 1;
}

LRESULT CPropertySheet::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        if (m_args.hideOnClose && (wp & 0xFFF0) == SC_CLOSE) {
            Hide();
            return 0;
        }
        break;
    case WM_COMMAND:
        if (HIWORD(wp) == BN_CLICKED && OnSheetCommand(LOWORD(wp)))
            return 0;
        break;
    }
    return CWindow::WndProc(msg, wp, lp);
}

// The sheet's own OK and Cancel (or Enter and Escape) on a sheet that stays.
int CPropertySheet::OnSheetCommand(UINT id)
{
    if (!m_args.hideOnClose)
        return 0;
    if (id == IDCANCEL) {
        Hide();
        return 1;
    }
    if (id == IDOK) {
        if (m_args.standardButtons && Apply())
            Hide();
        return 1;
    }
    return 0;
}

void CPropertySheet::OnInitialized() { }

void CPropertySheet::OnSheetEnded()
{
    Destroy();
}
