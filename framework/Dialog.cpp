#include "framework/Dialog.h"

#include "framework/CommonControls.h"
#include "framework/ErrorReport.h"
#include "framework/Menu.h"

#include <vector>

CDialog::CDialog(UINT templateId, HINSTANCE module) : m_templateId(templateId), m_module(module ? module : GetModule())
{
}

CDialog::~CDialog()
{
    // As in ~CWindow, but here, while the dialog procedure still finds a
    // CDialog: unbind, then destroy a modeless window this object made.
    HWND hwnd = GetHwnd();
    if (!hwnd)
        return;
    const bool owns = OwnsWindow() && !m_modal;
    Unbind();
    if (owns && ::IsWindow(hwnd))
        DestroyWindow(hwnd);
}

INT_PTR CDialog::DoModal(HWND parent)
{
    if (GetHwnd()) {
        ReportError("CDialog::DoModal: the dialog is already open");
        return -1;
    }
    m_modal = true;
    if (UsesCommonControls())
        EnsureCommonControls();
    const INT_PTR result = DialogBoxParamA(m_module, MAKEINTRESOURCEA(m_templateId), parent, &StaticDialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (result == -1)
        ReportLastError("DialogBoxParamA");
    m_modal = false;
    return result;
}

int CDialog::CreateModeless(HWND parent)
{
    if (GetHwnd()) {
        ReportError("CDialog::CreateModeless: the dialog is already open");
        return 0;
    }
    m_modal = false;
    if (UsesCommonControls())
        EnsureCommonControls();
    HWND hwnd = CreateDialogParamA(m_module, MAKEINTRESOURCEA(m_templateId), parent, &StaticDialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        ReportLastError("CreateDialogParamA");
        return 0;
    }
    SetOwnsWindow(true);
    return 1;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (!GetHwnd())
        return;
    if (m_modal)
        ::EndDialog(GetHwnd(), result);
    else
        Destroy();
}

HWND CDialog::GetItem(int id) const
{
    return GetHwnd() ? GetDlgItem(GetHwnd(), id) : nullptr;
}

LRESULT CDialog::SendItem(int id, UINT msg, WPARAM wp, LPARAM lp) const
{
    return GetHwnd() ? SendDlgItemMessageA(GetHwnd(), id, msg, wp, lp) : 0;
}

int CDialog::SetItemText(int id, const char* text) const
{
    return GetHwnd() && SetDlgItemTextA(GetHwnd(), id, text ? text : "") ? 1 : 0;
}

std::string CDialog::GetItemText(int id) const
{
    HWND item = GetItem(id);
    if (!item)
        return std::string();
    const int length = GetWindowTextLengthA(item);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(item, text.data(), length + 1);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void CDialog::CheckItem(int id, bool checked) const
{
    if (GetHwnd())
        CheckDlgButton(GetHwnd(), id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool CDialog::IsItemChecked(int id) const
{
    return GetHwnd() && IsDlgButtonChecked(GetHwnd(), id) == BST_CHECKED;
}

void CDialog::EnableItem(int id, bool enabled) const
{
    if (HWND item = GetItem(id))
        EnableWindow(item, enabled ? TRUE : FALSE);
}

int CDialog::PreTranslateMessage(MSG& msg)
{
    return GetHwnd() && !m_modal && IsDialogMessageA(GetHwnd(), &msg) ? 1 : 0;
}

INT_PTR CDialog::Answer(LRESULT result)
{
    SetWindowLongPtrA(GetHwnd(), DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* self = static_cast<CDialog*>(FromHandle(hwnd));
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        if (self)
            self->Bind(hwnd);
    }
    return Dispatch(self, msg, wp, lp);
}

INT_PTR CDialog::Dispatch(CDialog* self, UINT msg, WPARAM wp, LPARAM lp)
{
    if (!self)
        return FALSE;  // before WM_INITDIALOG, or after the object let go
    INT_PTR result = FALSE;
    try {
        if (CMenu::DispatchOwnerDraw(msg, lp))
            result = self->Answer(TRUE);
        else
            result = self->DialogProc(msg, wp, lp);
    } catch (const std::exception& e) {
        ReportHandlerFault("dialog procedure", msg, &e);
    } catch (...) {
        ReportHandlerFault("dialog procedure", msg, nullptr);
    }
    if (msg == WM_NCDESTROY)
        self->Unbind();
    return result;
}

INT_PTR CDialog::DialogProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: return OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp)) ? TRUE : FALSE;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(*reinterpret_cast<const NMHDR*>(lp), result))
            return Answer(result);
        return FALSE;
    }
    case WM_TIMER: return OnTimer(wp) ? TRUE : FALSE;
    case WM_PAINT: return OnPaint() ? TRUE : FALSE;
    case WM_CLOSE: return OnClose() ? TRUE : FALSE;
    case WM_DESTROY: OnDestroy(); return FALSE;
    }
    return FALSE;
}

int CDialog::OnInitDialog()
{
    return 1;
}
void CDialog::OnOK()
{
    EndDialog(IDOK);
}
void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

int CDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED)
        return 0;
    if (id == IDOK) {
        OnOK();
        return 1;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return 1;
    }
    return 0;
}
