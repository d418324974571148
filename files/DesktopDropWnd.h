// CDesktopDropWnd: what the two drop windows on the desktop (the File
// Shredder and the Backup window) have in common. A modeless dialog without
// caption, owned by the main window, found by the hook library through its
// title alone; it is dragged by its body, shows one picture normally and
// another while it has the focus, and hands what is dropped on it to its
// class, which runs a progress dialog over it.
//
// A drop runs that dialog's modal loop inside the window's own drop handler.
// Meanwhile nothing may destroy the window: a second drop waits its turn, and
// when the drop is over the window posts WMAPP_DESKTOP_DROP_DONE to the window
// its holder named (CDropWindowHolder), which then hides it if that was asked
// for meanwhile. The program's exit asks the running dialog to close
// (DropPopup) and tries again.
#pragma once

#include "framework/Dialog.h"
#include "framework/ScopedHandles.h"

#include <shellapi.h>

#include <string>
#include <vector>

// The paths of a drop, read through the wide calls. A path holding half of a
// UTF-16 pair cannot be spelled in UTF-8 (its stand-in could name another
// file): it is left out and logged.
std::vector<std::string> DroppedPaths(HDROP drop);

class CDesktopDropWnd : public CDialog {
public:
    // The window's two pictures, each with its variant for a display of 8
    // bits per pixel or fewer.
    struct Pictures {
        UINT normal = 0;
        UINT normalLowColour = 0;
        UINT focused = 0;
        UINT focusedLowColour = 0;
    };

    CDesktopDropWnd(UINT templateId, const char* title, const Pictures& pictures);

    // Creates the window owned by owner, hidden (its holder places it, then
    // shows it without activating it).
    int Create(HWND owner);
    // The window told of each drop's end.
    void SetDropDoneWindow(HWND window) { m_dropDone = window; }
    // The display changed its colour depth: the pictures again.
    void ReloadBitmaps();

    // Moves the window to that screen position, brought back whole onto the
    // screen if it lies beyond it; its size and Z order (and its owner's) stay.
    void MoveTo(int left, int top);
    // The window's screen position; false when it has no window.
    bool Position(int* left, int* top) const;

    // True while a drop is being handled (its dialog may be showing).
    bool InDrop() const { return m_inDrop; }
    // The window the running drop shows over this one (its progress dialog
    // or a message), or nullptr.
    HWND DropPopup() const;
    bool HasFocus() const { return m_hasFocus; }

protected:
    // The window holds no control: shown at start, it does not load the
    // common controls library.
    bool UsesCommonControls() const override { return false; }
    int OnInitDialog() override;
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroy() override;
    // Enter and Escape do not end the window.
    void OnOK() override { }
    void OnCancel() override { }

    // The window exists, with its title: a fixed outline is set here.
    virtual void OnCreated() { }
    // The focus came or went (HasFocus() says which); the window is repainted
    // afterwards.
    virtual void OnFocusChanged() { }
    // One drop of at least one path, after the window was activated.
    virtual void HandleDrop(const std::vector<std::string>& paths) = 0;

private:
    void Paint();
    void OnDropFiles(HDROP drop);

    const char* m_title;
    Pictures m_pictures;
    HWND m_dropDone = nullptr;
    ScopedBitmap m_normal;
    ScopedBitmap m_focused;
    bool m_hasFocus = false;
    bool m_inDrop = false;
    // Drops that came while one was being handled, in order.
    std::vector<std::vector<std::string>> m_waiting;
};
