#include "tray/WaitDlg.h"

#include "tray/WaitResource.h"

#include <utility>

CWaitDlg::CWaitDlg(std::string text) : CDialog(IDD_TRAY_WAIT), m_text(std::move(text)) { }

bool CWaitDlg::Open(HWND parent)
{
    if (!CreateModeless(parent))
        return false;
    Show(SW_SHOW);
    UpdateWindow(GetHwnd());
    return true;
}

void CWaitDlg::Close()
{
    if (!IsAlive())
        return;
    Show(SW_HIDE);
    Destroy();
}

int CWaitDlg::OnInitDialog()
{
    SetItemText(IDC_TRAY_WAIT_TEXT, m_text.c_str());
    return 1;
}
