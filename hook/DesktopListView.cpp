#include "hook/DesktopListView.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "common/Utf8.h"

int CDesktopListView::Count() const
{
    return static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

bool CDesktopListView::GetLabel(int index, char (&label)[kIconLabelSize]) const
{
    label[0] = '\0';
    // The shell's labels are names of at most MAX_PATH units; a longer text
    // is cut here and then again, on a character boundary, to the field.
    wchar_t text[kLabelUnits + 1] = {};
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = kLabelUnits + 1;
    if (!SendMessageW(hwnd_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    // The control may answer with its own buffer instead of filling ours.
    const wchar_t* answer = item.pszText && item.pszText != text ? item.pszText : text;
    const std::string utf8 = WideToUtf8(answer, wcsnlen(answer, kLabelUnits));
    CopyUtf8(label, sizeof label, utf8.c_str());
    return true;
}

bool CDesktopListView::GetPosition(int index, POINT* pt) const
{
    *pt = POINT{};
    return SendMessageW(hwnd_, LVM_GETITEMPOSITION, index, reinterpret_cast<LPARAM>(pt)) != 0;
}

namespace {

// Moves of this library under way: they reach the replaced list view
// procedure like anyone else's, and are told apart by this.
int g_libraryMoves = 0;

class CLibraryMove {
public:
    CLibraryMove() { ++g_libraryMoves; }
    ~CLibraryMove() { --g_libraryMoves; }
    CLibraryMove(const CLibraryMove&) = delete;
    CLibraryMove& operator=(const CLibraryMove&) = delete;
};

}  // namespace

void CDesktopListView::SetPosition(int index, int x, int y) const
{
    const CLibraryMove move;
    SendMessageW(hwnd_, LVM_SETITEMPOSITION, index, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
}

void CDesktopListView::SetPosition32(int index, POINT pt) const
{
    const CLibraryMove move;
    SendMessageW(hwnd_, LVM_SETITEMPOSITION32, index, reinterpret_cast<LPARAM>(&pt));
}

bool CDesktopListView::LibraryIsMoving()
{
    return g_libraryMoves > 0;
}

SIZE CDesktopListView::BoundsSize(int index) const
{
    return ItemRectSize(index, LVIR_BOUNDS);
}

SIZE CDesktopListView::IconSize(int index) const
{
    return ItemRectSize(index, LVIR_ICON);
}

SIZE CDesktopListView::ItemRectSize(int index, int part) const
{
    RECT rc = {};
    rc.left = part;
    if (!SendMessageW(hwnd_, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&rc))) {
        return SIZE{48, 48};
    }
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

bool CDesktopListView::IsSelected(int index) const
{
    return (SendMessageW(hwnd_, LVM_GETITEMSTATE, index, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int CDesktopListView::FindIconByLabel(const char* label) const
{
    if (!label)
        return -1;
    if (const CScopedIconIndex* index = CScopedIconIndex::Active(hwnd_))
        return index->Find(label);
    char text[kIconLabelSize];
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        if (GetLabel(i, text) && strcmp(text, label) == 0)
            return i;
    }
    return -1;
}

void CDesktopListView::SetStyleKeepingPositions(DWORD style) const
{
    // The same style again changes nothing: no icon to put back (after a
    // display change this saves a read and a move of every icon).
    if (static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)) == style)
        return;
    const int count = Count();
    std::vector<POINT> positions(count > 0 ? count : 0);
    std::vector<bool> known(positions.size());
    for (int i = 0; i < count; ++i)
        known[i] = GetPosition(i, &positions[i]);
    {
        // The list view may place the icons itself at a change of view: the
        // library's doing, not the user's.
        const CLibraryMove move;
        SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style));
    }
    for (int i = 0; i < count; ++i) {
        if (known[i])
            SetPosition32(i, positions[i]);
    }
}

namespace {
CScopedIconIndex* g_activeIndex = nullptr;
}  // namespace

CScopedIconIndex::CScopedIconIndex(HWND listView) : hwnd_(listView), previous_(g_activeIndex)
{
    const CDesktopListView lv(listView);
    const int count = lv.Count();
    char label[kIconLabelSize];
    for (int i = 0; i < count; ++i) {
        if (lv.GetLabel(i, label))
            index_.Add(label, i);
    }
    g_activeIndex = this;
}

CScopedIconIndex::~CScopedIconIndex()
{
    g_activeIndex = previous_;
}

const CScopedIconIndex* CScopedIconIndex::Active(HWND listView)
{
    return g_activeIndex && g_activeIndex->hwnd_ == listView ? g_activeIndex : nullptr;
}
