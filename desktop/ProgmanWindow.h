#pragma once
#include <windows.h>

#include "desktop/DefViewWindow.h"
#include "desktop/HostWindow.h"

// The top-level "Progman" window titled "Program Manager": covers the screen,
// stays at the bottom of the Z order and holds the "SHELLDLL_DefView".
class CProgmanWindow : public CHostWindow {
public:
    static constexpr const char* kClassName = "Progman";
    static constexpr const char* kTitle = "Program Manager";

    int Create(HINSTANCE instance, const CDesktopFolder* folder);

    CDefViewWindow& DefView() { return m_defView; }
    uint32_t DisplayChanges() const { return m_displayChanges; }
    // Off: a display change is only counted; the windows keep their size and
    // the list view is not told, so that fitting it to the new screen is left
    // to others (tests of the program's side of a display change).
    void SetFollowDisplay(bool follow) { m_followDisplay = follow; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FitToScreen(int width, int height);

    CDefViewWindow m_defView;
    uint32_t m_displayChanges = 0;
    bool m_followDisplay = true;
};
