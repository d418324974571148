#include "desktop/DesktopView.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/Utf8.h"
#include "desktop/DesktopHostProtocol.h"
#include "desktop/FolderDiff.h"

namespace {
constexpr UINT_PTR kSubclassId = 1;
constexpr int kIconTopPadding = 4;  // room above the icon within its cell, as the list view keeps

COLORREF LabelColorOn(COLORREF background)
{
    int luminance = (GetRValue(background) * 30 + GetGValue(background) * 59 + GetBValue(background) * 11) / 100;
    return luminance < 128 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}
}  // namespace

CDesktopView::~CDesktopView()
{
    if (m_list && IsWindow(m_list))
        RemoveWindowSubclass(m_list, SubclassProc, kSubclassId);
}

int CDesktopView::Create(HWND parent, const RECT& rect, const CDesktopFolder* folder)
{
    m_folder = folder;
    // No LVS_AUTOARRANGE: icons stay where they are put. LVS_NOSCROLL: the
    // desktop never scrolls, so icons parked far below stay out of sight.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | LVS_ICON | LVS_SHAREIMAGELISTS |
        LVS_NOSCROLL | LVS_ALIGNLEFT;
    // A Unicode list view holding UTF-16 labels, as the shell's desktop is.
    m_list = CreateWindowExW(0, WC_LISTVIEWW, L"FolderView", style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(1), GetModuleHandleW(nullptr),
                             nullptr);
    if (!m_list)
        return 0;
    SetWindowSubclass(m_list, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ListView_SetImageList(m_list, folder->LargeImages(), LVSIL_NORMAL);
    ListView_SetImageList(m_list, folder->SmallImages(), LVSIL_SMALL);
    COLORREF desktop = GetSysColor(COLOR_DESKTOP);
    ListView_SetBkColor(m_list, desktop);
    ListView_SetTextBkColor(m_list, desktop);
    ListView_SetTextColor(m_list, LabelColorOn(desktop));
    return 1;
}

LRESULT CALLBACK CDesktopView::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data)
{
    auto* self = reinterpret_cast<CDesktopView*>(data);
    // Wine's list view gives a new item its own place after LVN_INSERTITEM
    // has been handled, which would undo a move made from the notification:
    // remember the move and make it again once the insertion is done.
    if (self->m_inserting && message == LVM_SETITEMPOSITION32 && lParam) {
        self->m_placedDuringInsert = true;
        self->m_insertPosition = *reinterpret_cast<const POINT*>(lParam);
    } else if (self->m_inserting && message == LVM_SETITEMPOSITION) {
        self->m_placedDuringInsert = true;
        self->m_insertPosition = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

std::string CDesktopView::KeyAt(int index) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return std::string();
    auto found = m_keys.find(item.lParam);
    return found == m_keys.end() ? std::string() : found->second;
}

// Top-left corner of the cell whose icon place the item at index occupies.
POINT CDesktopView::CellOrigin(int index) const
{
    POINT origin = {};
    RECT icon = {};
    icon.left = LVIR_ICON;
    DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(m_list, FALSE));
    int cellWidth = LOWORD(spacing);
    if (!SendMessageW(m_list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&icon))) {
        ListView_GetItemPosition(m_list, index, &origin);
        return origin;
    }
    origin.x = icon.left - (cellWidth - (icon.right - icon.left)) / 2;
    origin.y = icon.top - kIconTopPadding;
    return origin;
}

// Moves the item at index so that its icon sits centred at the top of the cell.
void CDesktopView::PlaceInCell(int index, int cellX, int cellY)
{
    POINT now = CellOrigin(index);
    POINT position = {};
    ListView_GetItemPosition(m_list, index, &position);
    POINT target = {position.x + cellX - now.x, position.y + cellY - now.y};
    SendMessageW(m_list, LVM_SETITEMPOSITION32, index, reinterpret_cast<LPARAM>(&target));
}

CIconSlots CDesktopView::MakeSlots() const
{
    DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(m_list, FALSE));
    RECT client = {};
    GetClientRect(m_list, &client);
    CIconSlots slots(LOWORD(spacing), HIWORD(spacing), client.right, client.bottom);
    int count = ListView_GetItemCount(m_list);
    for (int i = 0; i < count; ++i) {
        POINT origin = CellOrigin(i);
        slots.Occupy(origin.x, origin.y);
    }
    return slots;
}

int CDesktopView::Insert(const DesktopEntry& entry)
{
    std::wstring label = Utf8ToWide(entry.label.c_str());
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(m_list);
    item.pszText = &label[0];
    int image = entry.image;
    if (image < 0) {
        auto known = m_images.find(entry.key);
        if (known != m_images.end())
            image = known->second;
    }
    item.iImage = image;
    item.lParam = m_nextId++;
    m_keys[item.lParam] = entry.key;
    m_ids[entry.key] = item.lParam;
    m_images[entry.key] = image;
    m_inserting = true;
    m_placedDuringInsert = false;
    int index = static_cast<int>(SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    m_inserting = false;
    if (index < 0) {
        m_keys.erase(item.lParam);
        m_ids.erase(entry.key);
    }
    return index;
}

void CDesktopView::InsertAll(const std::vector<const DesktopEntry*>& entries,
                             const std::unordered_map<std::string, POINT>& kept)
{
    struct Placement {
        int index;
        bool fixed;  // position already chosen: kept, or set from LVN_INSERTITEM
        POINT position;
    };
    CIconSlots slots = MakeSlots();
    std::vector<Placement> placements;
    for (const DesktopEntry* entry : entries) {
        int index = Insert(*entry);
        if (index < 0)
            continue;
        Placement placement = {index, false, POINT{}};
        auto found = kept.find(entry->key);
        if (found != kept.end()) {
            placement.fixed = true;
            placement.position = found->second;
        } else if (m_placedDuringInsert) {
            placement.fixed = true;
            placement.position = m_insertPosition;
        }
        if (placement.fixed) {
            POINT origin = CellOrigin(index);
            POINT now = {};
            ListView_GetItemPosition(m_list, index, &now);
            slots.Occupy(origin.x + placement.position.x - now.x, origin.y + placement.position.y - now.y);
        }
        placements.push_back(placement);
    }
    // Wine's list view arranges every icon at its first paint with items (and
    // again after all items were deleted): let that happen now, then place.
    UpdateWindow(m_list);
    for (Placement& placement : placements) {
        if (placement.fixed) {
            SendMessageW(m_list, LVM_SETITEMPOSITION32, placement.index, reinterpret_cast<LPARAM>(&placement.position));
        } else {
            CIconSlots::Point cell = slots.TakeFree();
            PlaceInCell(placement.index, cell.x, cell.y);
        }
    }
}

void CDesktopView::DeleteKey(const std::string& key)
{
    auto id = m_ids.find(key);
    if (id == m_ids.end())
        return;
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = id->second;
    int index = static_cast<int>(SendMessageW(m_list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(&find)));
    m_keys.erase(id->second);
    m_ids.erase(id);
    m_images.erase(key);
    if (index >= 0)
        ListView_DeleteItem(m_list, index);
}

int CDesktopView::Sync()
{
    if (!m_list)
        return 0;
    std::unordered_set<std::string> known;
    for (const auto& id : m_ids)
        known.insert(id.first);
    std::vector<DesktopEntry> entries;
    if (!m_folder->Enumerate(entries, known)) {
        std::fprintf(stderr, "DesktopHost: cannot enumerate the desktop folder %s\n", m_folder->Path().c_str());
        return 0;
    }
    std::vector<std::string> shown;
    int count = ListView_GetItemCount(m_list);
    for (int i = 0; i < count; ++i)
        shown.push_back(KeyAt(i));
    std::vector<std::string> current;
    std::unordered_map<std::string, size_t> byKey;
    for (size_t i = 0; i < entries.size(); ++i) {
        current.push_back(entries[i].key);
        byKey.emplace(entries[i].key, i);
    }
    CFolderDiff diff;
    diff.Compare(shown, current);
    for (const std::string& key : diff.Removed())
        DeleteKey(key);
    if (diff.Added().empty())
        return 1;
    std::vector<const DesktopEntry*> added;
    for (const std::string& key : diff.Added())
        added.push_back(&entries[byKey[key]]);
    InsertAll(added, std::unordered_map<std::string, POINT>());
    return 1;
}

int CDesktopView::Reload()
{
    if (!m_list)
        return 0;
    std::unordered_map<std::string, POINT> positions;
    int count = ListView_GetItemCount(m_list);
    for (int i = 0; i < count; ++i) {
        POINT position = {};
        if (ListView_GetItemPosition(m_list, i, &position))
            positions[KeyAt(i)] = position;
    }
    ListView_DeleteAllItems(m_list);
    m_keys.clear();
    m_ids.clear();
    std::vector<DesktopEntry> entries;
    std::unordered_set<std::string> known;
    for (const auto& image : m_images)
        known.insert(image.first);
    if (!m_folder->Enumerate(entries, known))
        return 0;
    std::vector<const DesktopEntry*> all;
    for (const DesktopEntry& entry : entries)
        all.push_back(&entry);
    InsertAll(all, positions);
    return 1;
}

void CDesktopView::Open(int index) const
{
    std::string key = KeyAt(index);
    if (key.empty() || key.compare(0, 2, "::") == 0)
        return;  // only files open
    ShellExecuteW(GetParent(m_list), L"open", Utf8ToWide(key.c_str()).c_str(), nullptr,
                  Utf8ToWide(m_folder->Path().c_str()).c_str(), SW_SHOWNORMAL);
}

void CDesktopView::ArrangeInColumns(const RECT& area)
{
    const DWORD spacing = static_cast<DWORD>(ListView_GetItemSpacing(m_list, FALSE));
    const int cellWidth = std::max<int>(LOWORD(spacing), 1), cellHeight = std::max<int>(HIWORD(spacing), 1);
    const int rows = std::max<int>((area.bottom - area.top) / cellHeight, 1);
    const int count = ListView_GetItemCount(m_list);
    for (int i = 0; i < count; ++i)
        PlaceInCell(i, area.left + i / rows * cellWidth, area.top + i % rows * cellHeight);
}

namespace {
std::wstring LabelAt(HWND list, WPARAM index)
{
    wchar_t text[MAX_PATH + 1] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = MAX_PATH + 1;
    SendMessageW(list, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return text;
}

// LVM_SORTITEMSEX hands the items' indexes; the list view comes in data.
int CALLBACK ByLabel(LPARAM first, LPARAM second, LPARAM data)
{
    HWND list = reinterpret_cast<HWND>(data);
    return lstrcmpiW(LabelAt(list, static_cast<WPARAM>(first)).c_str(), LabelAt(list, static_cast<WPARAM>(second)).c_str());
}
}  // namespace

bool CDesktopView::RunViewCommand(int command)
{
    switch (command) {
    case DesktopHostProtocol::kViewAutoArrange: {
        const LONG_PTR style = GetWindowLongPtrW(m_list, GWL_STYLE);
        SetWindowLongPtrW(m_list, GWL_STYLE, style ^ LVS_AUTOARRANGE);
        // Windows' list view arranges the icons itself when the style comes
        // on; Wine's (8) leaves them where they are: arranged here as on Windows.
        if (!(style & LVS_AUTOARRANGE))
            ListView_Arrange(m_list, LVA_DEFAULT);
        return true;
    }
    case DesktopHostProtocol::kViewAlignToGrid: {
        const DWORD snapping = ListView_GetExtendedListViewStyle(m_list) & LVS_EX_SNAPTOGRID;
        ListView_SetExtendedListViewStyleEx(m_list, LVS_EX_SNAPTOGRID, snapping ^ LVS_EX_SNAPTOGRID);
        if (!snapping)
            ListView_Arrange(m_list, LVA_SNAPTOGRID);
        return true;
    }
    case DesktopHostProtocol::kViewSortByName:
        SendMessageW(m_list, LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(m_list), reinterpret_cast<LPARAM>(ByLabel));
        ListView_Arrange(m_list, LVA_DEFAULT);
        return true;
    default: return false;
    }
}

void CDesktopView::MoveSelected(int dx, int dy)
{
    for (int i = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); i >= 0;
         i = ListView_GetNextItem(m_list, i, LVNI_SELECTED)) {
        POINT position = {};
        if (!ListView_GetItemPosition(m_list, i, &position))
            continue;
        position.x += dx;
        position.y += dy;
        SendMessageW(m_list, LVM_SETITEMPOSITION32, i, reinterpret_cast<LPARAM>(&position));
    }
}
