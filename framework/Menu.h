// CMenu: a menu loaded from a resource (owned) or one borrowed from a window
// or another menu, with the item operations the program uses. A derived menu
// that draws its own items registers their item data; the framework's window
// and dialog procedures then hand it the WM_MEASUREITEM and WM_DRAWITEM
// requests of those items (UI thread only).
#pragma once

#include "framework/ScopedHandles.h"

#include <string>

class CMenu {
public:
    CMenu() = default;
    explicit CMenu(ScopedMenu menu) : m_menu(std::move(menu)) { }
    virtual ~CMenu();
    CMenu(CMenu&&) noexcept = default;
    CMenu& operator=(CMenu&&) noexcept = default;

    // module nullptr: CWindow::GetModule(). The result is invalid on failure.
    static CMenu Load(UINT resourceId, HINSTANCE module = nullptr);
    static CMenu Borrow(HMENU menu) { return CMenu(ScopedMenu::Borrow(menu)); }

    HMENU GetHandle() const { return m_menu.Get(); }
    bool IsValid() const { return m_menu.IsValid(); }

    // Borrowed from this menu, which keeps owning it.
    CMenu GetSubMenu(int position) const;
    int GetItemCount() const;
    // The command id at position; 0 for separators and submenus.
    UINT GetItemId(int position) const;
    std::string GetItemText(UINT id) const;

    // The default item is drawn bold and chosen by a double click.
    int SetDefaultItem(UINT id);
    int SetDefaultItemByPosition(int position);
    // The default item's command id, or 0.
    UINT GetDefaultItem() const;
    int CheckItem(UINT id, bool checked);
    bool IsItemChecked(UINT id) const;
    int EnableItem(UINT id, bool enabled);
    bool IsItemEnabled(UINT id) const;

    // Shows this menu as a popup at point (screen coordinates), owned by
    // owner, which receives the WM_COMMAND. With TPM_RETURNCMD in flags the
    // chosen command is answered instead (0 when none).
    UINT TrackPopup(HWND owner, POINT point, UINT flags = TPM_RIGHTBUTTON) const;

    // A WM_MEASUREITEM or WM_DRAWITEM of a menu item goes to the menu that
    // registered its item data (a draw request only when it names that
    // menu's handle); false for every other message, and for item data no
    // menu registered, which is never followed.
    static bool DispatchOwnerDraw(UINT msg, LPARAM lp);

protected:
    // The requests of this menu's owner-drawn items.
    virtual void DrawItem(const DRAWITEMSTRUCT& request);
    virtual void MeasureItem(MEASUREITEMSTRUCT& request);
    // Owner-drawn items' data are registered while they are in the menu; a
    // menu that registers any stays where it is (it is not moved).
    void RegisterItemData(ULONG_PTR data);
    void UnregisterItemData(ULONG_PTR data);

private:
    ScopedMenu m_menu;
};
