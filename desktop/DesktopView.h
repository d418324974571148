#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "desktop/DesktopFolder.h"
#include "desktop/IconSlots.h"

// The desktop's "SysListView32": large icons, no arrangement, one item per
// desktop item. Keeps the items in step with the folder; every item is
// placed once when it appears and stays where it is put after that.
class CDesktopView {
public:
    CDesktopView() = default;
    ~CDesktopView();
    CDesktopView(const CDesktopView&) = delete;
    CDesktopView& operator=(const CDesktopView&) = delete;

    int Create(HWND parent, const RECT& rect, const CDesktopFolder* folder);
    HWND Handle() const { return m_list; }

    // Compares the folder with the items: deletes the items that went, inserts
    // the new ones at free places. Answers 0 when the folder cannot be read.
    int Sync();
    // Deletes every item and inserts the folder's items again; items that were
    // shown before keep their positions.
    int Reload();
    // Opens the item at index as the shell does on a double click.
    void Open(int index) const;
    // Moves every selected item by (dx, dy).
    void MoveSelected(int dx, int dy);
    // Puts every item, in index order, in columns of cells from the top-left
    // corner of area (list-view coordinates) down to its bottom.
    void ArrangeInColumns(const RECT& area);
    // A view command of the context menu (DesktopHostProtocol::ViewCommand);
    // false for one it does not know.
    bool RunViewCommand(int command);

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR data);
    // Appends an item; answers its index or -1.
    int Insert(const DesktopEntry& entry);
    // Inserts entries and places them: at their kept position, at the one a
    // subclass gave them from LVN_INSERTITEM, or else at a free place.
    void InsertAll(const std::vector<const DesktopEntry*>& entries, const std::unordered_map<std::string, POINT>& kept);
    void DeleteKey(const std::string& key);
    CIconSlots MakeSlots() const;
    POINT CellOrigin(int index) const;
    void PlaceInCell(int index, int cellX, int cellY);
    std::string KeyAt(int index) const;

    HWND m_list = nullptr;
    const CDesktopFolder* m_folder = nullptr;
    std::unordered_map<LPARAM, std::string> m_keys;  // item data -> key
    std::unordered_map<std::string, LPARAM> m_ids;  // key -> item data
    std::unordered_map<std::string, int> m_images;  // key -> system image
    LPARAM m_nextId = 1;
    // While an item is inserted: whether a position request reached the list
    // view (a subclass in front of ours placed it from LVN_INSERTITEM).
    bool m_inserting = false;
    bool m_placedDuringInsert = false;
    POINT m_insertPosition = {};
};
