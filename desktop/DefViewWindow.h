#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "desktop/DesktopView.h"
#include "desktop/HostWindow.h"
#include "desktop/NotificationLog.h"

// The "SHELLDLL_DefView" window: parent of the desktop list view. Receives
// the list view's notifications (and counts them), moves dragged icons,
// opens activated items and reloads on F5.
class CDefViewWindow : public CHostWindow {
public:
    static constexpr const char* kClassName = "SHELLDLL_DefView";

    // Without a folder, no list view is made.
    int Create(HWND parent, const RECT& rect, HINSTANCE instance, const CDesktopFolder* folder);

    CDesktopView& View() { return m_view; }
    // Moves the next item inserted with label to position from its LVN_INSERTITEM.
    void PlaceOnInsert(const std::string& label, POINT position);
    CNotificationLog& Log() { return m_log; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnNotify(NMHDR* header);
    void Record(const NMHDR* header);
    void ShowViewMenu(POINT at);
    void BeginDrag(const NMLISTVIEW* info);
    void DragTo(POINT point);
    void EndDrag(POINT point, bool drop);

    CDesktopView m_view;
    CNotificationLog m_log;
    bool m_dragging = false;
    POINT m_dragStart = {};
    HIMAGELIST m_dragImage = nullptr;
    std::string m_placeLabel;
    POINT m_placePosition = {};
};
