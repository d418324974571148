// CShredderIconWnd: the File Shredder window on the desktop, "Dervane Delete
// Icon". A modeless dialog without caption, cut to its outline by a window
// region, dragged by its body; it shows one picture normally and another
// while it has the focus. What is dropped on it is deleted at once under the
// progress dialog, without a question; a drive root, or a folder Windows,
// the user or this program lives in (or one holding such a folder), is left
// alone and named in one message.
//
// A drop runs the progress dialog's modal loop inside the window's own drop
// handler. Meanwhile nothing may destroy the window: a second drop waits its
// turn, and when the drop is over the window posts WMAPP_SHREDDER_DROP_DONE
// to its page, which then hides it if that was asked for meanwhile. The
// program's exit asks that dialog to close (DropPopup) and tries again.
#pragma once

#include "framework/Dialog.h"
#include "framework/ScopedHandles.h"
#include "pages/PageMessageBox.h"

#include <shellapi.h>

#include <string>
#include <vector>

class CShredderIconWnd : public CDialog {
public:
    static constexpr const char* kTitle = "Dervane Delete Icon";

    // page: told of each drop's end; programFolder: a folder never deleted.
    CShredderIconWnd(HWND page, const std::string& programFolder);

    // Creates the window owned by owner and shows it.
    int Create(HWND owner);
    // The page window, once it exists.
    void SetPage(HWND page) { m_page = page; }
    // The display changed its colour depth: the pictures again.
    void ReloadBitmaps();
    void SetMessageBox(MessageBoxFn messageBox) { m_messageBox = messageBox; }

    // True while a drop is being handled (its dialog may be showing).
    bool InDrop() const { return m_inDrop; }
    // The window the running drop shows over this one (its progress dialog
    // or its message), or nullptr.
    HWND DropPopup() const;

    // The paths of a drop that may be deleted; refused ones go to refused
    // as lines naming the path and why.
    static std::vector<std::string> AcceptedPaths(const std::vector<std::string>& paths,
                                                  const std::string& programFolder, std::string* refused);

protected:
    int OnInitDialog() override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;
    // Enter and Escape do not end the window.
    void OnOK() override { }
    void OnCancel() override { }

private:
    void SetOutline();
    void Paint();
    void OnDropFiles(HDROP drop);
    void DeletePaths(const std::vector<std::string>& paths);

    HWND m_page;
    std::string m_programFolder;
    MessageBoxFn m_messageBox = &SystemMessageBox;
    ScopedBitmap m_normal;
    ScopedBitmap m_focused;
    bool m_hasFocus = false;
    bool m_inDrop = false;
    // Drops that came while one was being handled, in order.
    std::vector<std::vector<std::string>> m_waiting;
};
