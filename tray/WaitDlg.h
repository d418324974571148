// CWaitDlg: the small window that says "Please wait..." while a system
// command of a tray menu blocks the program.
#pragma once

#include "framework/Dialog.h"

#include <string>

class CWaitDlg : public CDialog {
public:
    explicit CWaitDlg(std::string text);

    // Made modeless over parent, shown and painted at once: the call that
    // follows blocks the message loop.
    bool Open(HWND parent);
    void Close();

protected:
    int OnInitDialog() override;

private:
    std::string m_text;
};
