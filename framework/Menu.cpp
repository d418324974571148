#include "framework/Menu.h"

#include "framework/ErrorReport.h"
#include "framework/Window.h"

#include <map>
#include <vector>

namespace {

// The item data of the owner-drawn items this program made, and their menus.
std::map<ULONG_PTR, CMenu*>& OwnerDrawItems()
{
    // Never destroyed: menus with static lifetime may outlive any other static.
    static auto* items = new std::map<ULONG_PTR, CMenu*>;
    return *items;
}

}  // namespace

CMenu::~CMenu()
{
    auto& items = OwnerDrawItems();
    for (auto it = items.begin(); it != items.end();)
        it = it->second == this ? items.erase(it) : std::next(it);
}

void CMenu::DrawItem(const DRAWITEMSTRUCT&) { }

void CMenu::MeasureItem(MEASUREITEMSTRUCT&) { }

void CMenu::RegisterItemData(ULONG_PTR data)
{
    OwnerDrawItems()[data] = this;
}

void CMenu::UnregisterItemData(ULONG_PTR data)
{
    auto& items = OwnerDrawItems();
    const auto it = items.find(data);
    if (it != items.end() && it->second == this)
        items.erase(it);
}

bool CMenu::DispatchOwnerDraw(UINT msg, LPARAM lp)
{
    if ((msg != WM_DRAWITEM && msg != WM_MEASUREITEM) || !lp)
        return false;
    auto& items = OwnerDrawItems();
    if (msg == WM_DRAWITEM) {
        const auto& request = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (request.CtlType != ODT_MENU)
            return false;
        const auto it = items.find(request.itemData);
        if (it == items.end() || it->second->GetHandle() != reinterpret_cast<HMENU>(request.hwndItem))
            return false;
        it->second->DrawItem(request);
        return true;
    }
    auto& request = *reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
    if (request.CtlType != ODT_MENU)
        return false;
    const auto it = items.find(request.itemData);
    if (it == items.end())
        return false;
    it->second->MeasureItem(request);
    return true;
}

CMenu CMenu::Load(UINT resourceId, HINSTANCE module)
{
    HMENU menu = LoadMenuA(module ? module : CWindow::GetModule(), MAKEINTRESOURCEA(resourceId));
    if (!menu)
        ReportLastError("LoadMenuA");
    return CMenu(ScopedMenu(menu));
}

CMenu CMenu::GetSubMenu(int position) const
{
    return Borrow(IsValid() ? ::GetSubMenu(GetHandle(), position) : nullptr);
}

int CMenu::GetItemCount() const
{
    const int count = IsValid() ? GetMenuItemCount(GetHandle()) : -1;
    return count < 0 ? 0 : count;
}

UINT CMenu::GetItemId(int position) const
{
    const UINT id = IsValid() ? GetMenuItemID(GetHandle(), position) : 0;
    return id == static_cast<UINT>(-1) ? 0 : id;
}

std::string CMenu::GetItemText(UINT id) const
{
    if (!IsValid())
        return std::string();
    const int length = GetMenuStringA(GetHandle(), id, nullptr, 0, MF_BYCOMMAND);
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetMenuStringA(GetHandle(), id, text.data(), length + 1, MF_BYCOMMAND);
    return std::string(text.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

int CMenu::SetDefaultItem(UINT id)
{
    return IsValid() && SetMenuDefaultItem(GetHandle(), id, FALSE) ? 1 : 0;
}

int CMenu::SetDefaultItemByPosition(int position)
{
    return IsValid() && position >= 0 && SetMenuDefaultItem(GetHandle(), static_cast<UINT>(position), TRUE) ? 1 : 0;
}

UINT CMenu::GetDefaultItem() const
{
    const UINT id = IsValid() ? GetMenuDefaultItem(GetHandle(), FALSE, 0) : 0;
    return id == static_cast<UINT>(-1) ? 0 : id;
}

int CMenu::CheckItem(UINT id, bool checked)
{
    if (!IsValid())
        return 0;
    return CheckMenuItem(GetHandle(), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED)) !=
            static_cast<DWORD>(-1)
        ? 1
        : 0;
}

bool CMenu::IsItemChecked(UINT id) const
{
    const UINT state = IsValid() ? GetMenuState(GetHandle(), id, MF_BYCOMMAND) : 0xFFFFFFFF;
    return state != 0xFFFFFFFF && (state & MF_CHECKED);
}

int CMenu::EnableItem(UINT id, bool enabled)
{
    if (!IsValid())
        return 0;
    return EnableMenuItem(GetHandle(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)) != -1 ? 1 : 0;
}

bool CMenu::IsItemEnabled(UINT id) const
{
    const UINT state = IsValid() ? GetMenuState(GetHandle(), id, MF_BYCOMMAND) : 0xFFFFFFFF;
    return state != 0xFFFFFFFF && !(state & (MF_GRAYED | MF_DISABLED));
}

UINT CMenu::TrackPopup(HWND owner, POINT point, UINT flags) const
{
    if (!IsValid() || !owner)
        return 0;
    // The owner must be the foreground window, or the menu does not close
    // when the user clicks elsewhere; and the message posted afterwards makes
    // the switch back happen at once.
    SetForegroundWindow(owner);
    const BOOL result = TrackPopupMenu(GetHandle(), flags, point.x, point.y, 0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0);
    return static_cast<UINT>(result);
}
