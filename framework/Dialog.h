// CDialog: a dialog from a template resource, modal or modeless. The object is
// bound at WM_INITDIALOG; the dialog procedure's switch hands messages to the
// same On* handlers as CWindow, and answers results through DWLP_MSGRESULT.
#pragma once

#include "framework/Window.h"

class CDialog : public CWindow {
public:
    // module nullptr: CWindow::GetModule().
    explicit CDialog(UINT templateId, HINSTANCE module = nullptr);
    ~CDialog() override;

    // Runs the dialog and answers the value given to EndDialog, or -1 when it
    // could not be created.
    INT_PTR DoModal(HWND parent);
    int CreateModeless(HWND parent);
    // Ends a modal dialog with result; destroys a modeless one.
    void EndDialog(INT_PTR result);
    bool IsModal() const { return m_modal; }
    UINT GetTemplateId() const { return m_templateId; }

    // Control glue.
    HWND GetItem(int id) const;
    LRESULT SendItem(int id, UINT msg, WPARAM wp = 0, LPARAM lp = 0) const;
    int SetItemText(int id, const char* text) const;
    std::string GetItemText(int id) const;
    void CheckItem(int id, bool checked) const;
    bool IsItemChecked(int id) const;
    void EnableItem(int id, bool enabled) const;

    // Modeless dialogs take their keyboard messages (Tab, Enter, Escape).
    int PreTranslateMessage(MSG& msg) override;

protected:
    // Answers TRUE when the message was handled; messages with a result go
    // through Answer().
    virtual INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp);
    // Sets the message's result (DWLP_MSGRESULT) and answers TRUE.
    INT_PTR Answer(LRESULT result);

    // WM_INITDIALOG: answer 1 to let the system give the first control the focus.
    virtual int OnInitDialog();
    // IDOK and IDCANCEL: end the dialog with that id.
    virtual void OnOK();
    virtual void OnCancel();
    int OnCommand(UINT id, UINT code, HWND control) override;

    // Whether the template holds common controls (list views, progress bars,
    // ...), which are registered before the dialog is made. A dialog of
    // plain controls only (a window on the desktop shown at start) answers
    // false, so that the common controls library is not loaded for it.
    virtual bool UsesCommonControls() const { return true; }

    // The dialog thunks: bind, run DialogProc with exceptions stopped, unbind.
    static INT_PTR Dispatch(CDialog* self, UINT msg, WPARAM wp, LPARAM lp);
    HINSTANCE GetTemplateModule() const { return m_module; }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    UINT m_templateId;
    HINSTANCE m_module;
    bool m_modal = false;
};
