#pragma once
#include <windows.h>

#include "desktop/DefViewWindow.h"
#include "desktop/DesktopHostProtocol.h"
#include "desktop/HostWindow.h"
#include "desktop/WorkerWindow.h"

// The top-level "Progman" window titled "Program Manager": covers the screen,
// stays at the bottom of the Z order and holds the "SHELLDLL_DefView", or
// the "WorkerW" that holds it.
class CProgmanWindow : public CHostWindow {
public:
    static constexpr const char* kClassName = "Progman";
    static constexpr const char* kTitle = "Program Manager";
    // What a program sends Progman to have room to draw behind the icons:
    // the DefView moves into a top-level "WorkerW", with an empty one behind.
    static constexpr UINT kMakeWorkerMessage = 0x052C;

    // withListView false: a DefView without any list view, a desktop the
    // hook library cannot work on.
    int Create(HINSTANCE instance, const CDesktopFolder* folder, bool withListView = true);

    CDefViewWindow& DefView() { return m_defView; }
    uint32_t DisplayChanges() const { return m_displayChanges; }
    // Off: a display change is only counted; the windows keep their size and
    // the list view is not told, so that fitting it to the new screen is left
    // to others (tests of the program's side of a display change).
    void SetFollowDisplay(bool follow) { m_followDisplay = follow; }
    // On: as the shell does, kArrangeDelayMs after a display change every
    // icon is put in columns from the primary monitor's top-left corner.
    void SetArrangeAfterChange(bool arrange) { m_arrangeAfterChange = arrange; }
    uint32_t ShellArranges() const { return m_shellArranges; }
    static constexpr UINT kArrangeDelayMs = 200;

    // Moves the DefView, its list view with it, into the window tree; the
    // windows stay the same. Answers 1 when it is there.
    int MoveDefView(DesktopHostProtocol::DesktopTree tree);
    DesktopHostProtocol::DesktopTree Tree() const { return m_tree; }
    // The top-level window that holds the DefView now.
    HWND DefViewRoot() const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FitToScreen(int width, int height);
    void ArrangeForScreen();
    // Makes the windows of the tree that are not there yet.
    int MakeWorkers(DesktopHostProtocol::DesktopTree tree);
    // Keeps the top-level workers just above Progman, the DefView's in front.
    void Restack();

    HINSTANCE m_instance = nullptr;
    // Before the DefView, which goes first (members go in reverse order).
    CWorkerWindow m_iconsWorker;
    CWorkerWindow m_wallpaperWorker;
    CWorkerWindow m_childWorker;
    CDefViewWindow m_defView;
    DesktopHostProtocol::DesktopTree m_tree = DesktopHostProtocol::kTreeProgman;
    uint32_t m_displayChanges = 0;
    bool m_followDisplay = true;
    bool m_arrangeAfterChange = false;
    uint32_t m_shellArranges = 0;
    bool m_restacking = false;
};
