// CIconMenu: a popup menu whose items show a 16 x 16 picture left of their
// text, measured and drawn by the menu itself in the system's menu colours
// and font (read once, when the menu is made). The tray icons' menus.
#pragma once

#include "framework/Menu.h"
#include "framework/ScopedHandles.h"
#include "tray/TrayIconEntry.h"

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

private:
    // A label shows at most kTrayLabelChars UTF-16 units, each at most three
    // bytes in UTF-8 (a pair of them four).
    static constexpr size_t kTextBytes = 3 * kTrayLabelChars + 1;
    // The data of one owner-drawn item; its address is the item's data.
    struct IconMenuItem {
        char text[kTextBytes] = {};
        bool usesIcons = false;
        int imageNormal = -1;
        int imageSelected = -1;
        int imageDisabled = -1;
        ScopedIcon iconNormal;
        ScopedIcon iconSelected;
        ScopedIcon iconDisabled;
    };

    bool AppendOwnerDrawn(UINT flags, UINT id, std::unique_ptr<IconMenuItem> item);
    // The picture an item shows in its state: an icon it owns (borrowed),
    // or an image of the list made into an icon (owned).
    ScopedIcon PictureFor(const IconMenuItem& item, UINT state) const;

    std::vector<std::unique_ptr<IconMenuItem>> m_items;
    COLORREF m_menuColour;
    COLORREF m_menuTextColour;
    COLORREF m_highlightColour;
    COLORREF m_highlightTextColour;
    ScopedBrush m_menuBrush;
    ScopedBrush m_highlightBrush;
    LOGFONTA m_menuFontSpec = {};
    ScopedFont m_menuFont;
    HIMAGELIST m_images = nullptr;
    int m_pictureWidth = 16;
    int m_pictureHeight = 16;
};
