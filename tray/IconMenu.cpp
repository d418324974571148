#include "tray/IconMenu.h"

#include "common/Utf8.h"
#include "tray/TrayIconEntry.h"

#include <algorithm>
#include <cstring>

namespace {

// Between the picture's column and the text.
constexpr int kTextGap = 5;
constexpr UINT kTextFormat = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER;

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour)
{
    const COLORREF old = SetBkColor(dc, colour);
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

// A one-pixel frame just inside rect: top and left edges in one colour,
// right and bottom edges in the other.
void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolidRect(dc, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    FillSolidRect(dc, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    FillSolidRect(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
    FillSolidRect(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
}

LOGFONTA SystemMenuFont()
{
    // The record has grown since the first systems (iPaddedBorderWidth came
    // last): current systems are given the whole record as the headers define
    // it, not the older 340-byte one.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return metrics.lfMenuFont;
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    return font;
}

// text cut to what a label shows, between two characters.
template <size_t N> void CopyCut(char (&to)[N], const char* text)
{
    CopyUtf8(to, N, CutText(text ? text : "", kTrayLabelChars).c_str());
}

}  // namespace

CIconMenu::CIconMenu(HIMAGELIST images)
    : CMenu(ScopedMenu(CreatePopupMenu())), m_menuColour(GetSysColor(COLOR_MENU)),
      m_menuTextColour(GetSysColor(COLOR_MENUTEXT)), m_highlightColour(GetSysColor(COLOR_HIGHLIGHT)),
      m_highlightTextColour(GetSysColor(COLOR_HIGHLIGHTTEXT)), m_menuBrush(CreateSolidBrush(m_menuColour)),
      m_highlightBrush(CreateSolidBrush(m_highlightColour)), m_menuFontSpec(SystemMenuFont()),
      m_menuFont(CreateFontIndirectA(&m_menuFontSpec))
{
    SetImageList(images);
}

CIconMenu::~CIconMenu()
{
    RemoveAllItems();
}

void CIconMenu::SetImageList(HIMAGELIST images)
{
    m_images = images;
    m_pictureWidth = 16;
    m_pictureHeight = 16;
    IMAGEINFO info = {};
    if (images && ImageList_GetImageInfo(images, 0, &info)) {
        m_pictureWidth = info.rcImage.right - info.rcImage.left;
        m_pictureHeight = info.rcImage.bottom - info.rcImage.top;
    }
}

bool CIconMenu::AppendIconItem(UINT flags, UINT id, const char* text, ScopedIcon normal, ScopedIcon selected,
                               ScopedIcon disabled)
{
    if (!IsValid())
        return false;
    if (!(flags & MF_OWNERDRAW) && !normal)
        return AppendMenuA(GetHandle(), flags, id, text ? text : "") != FALSE;
    // A handle given for two states is kept once, so that it is destroyed once.
    if (selected.Get() == normal.Get())
        selected.Release();
    if (disabled.Get() == normal.Get() || disabled.Get() == selected.Get())
        disabled.Release();
    auto item = std::make_unique<IconMenuItem>();
    CopyCut(item->text, text);
    item->usesIcons = true;
    item->iconNormal = std::move(normal);
    item->iconSelected = std::move(selected);
    item->iconDisabled = std::move(disabled);
    return AppendOwnerDrawn(flags, id, std::move(item));
}

bool CIconMenu::AppendImageItem(UINT flags, UINT id, const char* text, int normal, int selected, int disabled)
{
    if (!IsValid())
        return false;
    if (!(flags & MF_OWNERDRAW) && normal < 0)
        return AppendMenuA(GetHandle(), flags, id, text ? text : "") != FALSE;
    auto item = std::make_unique<IconMenuItem>();
    CopyCut(item->text, text);
    item->imageNormal = normal;
    item->imageSelected = selected;
    item->imageDisabled = disabled;
    return AppendOwnerDrawn(flags, id, std::move(item));
}

bool CIconMenu::AppendOwnerDrawn(UINT flags, UINT id, std::unique_ptr<IconMenuItem> item)
{
    m_items.reserve(m_items.size() + 1);
    const auto data = reinterpret_cast<ULONG_PTR>(item.get());
    if (!AppendMenuA(GetHandle(), flags | MF_OWNERDRAW, id, reinterpret_cast<const char*>(data)))
        return false;
    RegisterItemData(data);
    m_items.push_back(std::move(item));
    return true;
}

bool CIconMenu::AppendSeparator()
{
    return IsValid() && AppendMenuA(GetHandle(), MF_SEPARATOR, 0, nullptr);
}

void CIconMenu::RemoveAllItems()
{
    for (int position = GetItemCount() - 1; position >= 0; --position)
        DeleteMenu(GetHandle(), static_cast<UINT>(position), MF_BYPOSITION);
    for (const auto& item : m_items)
        UnregisterItemData(reinterpret_cast<ULONG_PTR>(item.get()));
    m_items.clear();
}

ScopedIcon CIconMenu::PictureFor(const IconMenuItem& item, UINT state) const
{
    const bool grayed = (state & ODS_GRAYED) != 0;
    const bool selected = !grayed && (state & ODS_SELECTED);
    if (item.usesIcons) {
        if (!item.iconNormal)
            return ScopedIcon();
        const HICON chosen = grayed ? item.iconDisabled.Get() : selected ? item.iconSelected.Get() : nullptr;
        return ScopedIcon::Borrow(chosen ? chosen : item.iconNormal.Get());
    }
    if (item.imageNormal < 0 || !m_images)
        return ScopedIcon();
    const int chosen = grayed ? item.imageDisabled : selected ? item.imageSelected : -1;
    return ScopedIcon(ImageList_GetIcon(m_images, chosen >= 0 ? chosen : item.imageNormal, ILD_NORMAL));
}

void CIconMenu::MeasureItem(MEASUREITEMSTRUCT& request)
{
    const auto* item = reinterpret_cast<const IconMenuItem*>(request.itemData);
    SIZE extent = {};
    if (item && item->text[0]) {
        ScopedGetDC dc(nullptr);
        if (dc) {
            ScopedSelect font(dc.Get(), m_menuFont.Get());
            // The wide call: the A one reads text in the font's code page, not UTF-8.
            const std::wstring text = Utf8ToWide(item->text);
            GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
        }
    }
    request.itemWidth = static_cast<UINT>(extent.cx + m_pictureWidth + kTextGap);
    request.itemHeight = static_cast<UINT>(
        std::max({GetSystemMetrics(SM_CYMENU), static_cast<int>(extent.cy), m_pictureHeight}));
}

void CIconMenu::DrawItem(const DRAWITEMSTRUCT& request)
{
    HDC dc = request.hDC;
    RECT rect = request.rcItem;
    const auto* item = reinterpret_cast<const IconMenuItem*>(request.itemData);
    COLORREF textColour = m_menuTextColour;
    if (request.itemState & ODS_SELECTED) {
        FillRect(dc, &rect, m_highlightBrush.Get());
        textColour = m_highlightTextColour;
    } else {
        FillRect(dc, &rect, m_menuBrush.Get());
        Draw3dRect(dc, rect, m_menuColour, m_menuColour);
    }
    ScopedFont font(CreateFontIndirectA(&m_menuFontSpec));

    const ScopedIcon picture = item ? PictureFor(*item, request.itemState) : ScopedIcon();
    if (picture) {
        const int top = rect.top + (rect.bottom - rect.top - m_pictureHeight) / 2;
        DrawIconEx(dc, rect.left, top, picture.Get(), m_pictureWidth, m_pictureHeight, 0, nullptr, DI_NORMAL);
    }
    rect.left += m_pictureWidth + kTextGap;
    if (!item || !item->text[0])
        return;

    const std::wstring text = Utf8ToWide(item->text);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    ScopedSelect selectedFont(dc, font.Get());
    COLORREF oldColour;
    if (request.itemState & ODS_GRAYED) {
        RECT shadow = rect;
        OffsetRect(&shadow, 1, 1);
        oldColour = SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
        DrawTextW(dc, text.c_str(), -1, &shadow, kTextFormat);
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextW(dc, text.c_str(), -1, &rect, kTextFormat);
    } else {
        oldColour = SetTextColor(dc, textColour);
        DrawTextW(dc, text.c_str(), -1, &rect, kTextFormat);
    }
    SetTextColor(dc, oldColour);
    selectedFont.Restore();
    SetBkMode(dc, oldMode);
}
