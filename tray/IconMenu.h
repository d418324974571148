// CIconMenu: a popup menu whose items show a 16 x 16 picture left of their
// text, measured and drawn by the menu itself in the system's menu colours
// and font (read once, when the menu is made). The tray icons' menus.
#pragma once

#include "framework/Menu.h"
#include "framework/ScopedHandles.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

class CIconMenu : public CMenu {
public:
    // Makes an empty popup menu; images nullptr: items carry icon handles.
    explicit CIconMenu(HIMAGELIST images = nullptr);
    ~CIconMenu() override;
    CIconMenu(const CIconMenu&) = delete;
    CIconMenu& operator=(const CIconMenu&) = delete;

    void SetImageList(HIMAGELIST images);

    // Without MF_OWNERDRAW in flags and without a normal picture, a plain
    // text item; otherwise an owner-drawn item with its text cut to 31
    // characters. The menu owns the pictures from then on. False when the
    // item could not be appended.
    bool AppendIconItem(UINT flags, UINT id, const char* text, ScopedIcon normal, ScopedIcon selected = {},
                        ScopedIcon disabled = {});
    // The same with pictures of the image list by index (-1 none).
    bool AppendImageItem(UINT flags, UINT id, const char* text, int normal, int selected = -1, int disabled = -1);
    bool AppendSeparator();
    // Removes every item, last to first, and destroys their pictures.
    void RemoveAllItems();

protected:
    void DrawItem(const DRAWITEMSTRUCT& request) override;
    void MeasureItem(MEASUREITEMSTRUCT& request) override;
};
