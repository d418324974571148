// A page's picture: loaded from the program's bitmaps when the page is shown
// (the 16-colour variant on a display of 8 bits per pixel or fewer), drawn
// at its placeholder control with one key colour transparent, and freed when
// the page is left.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/TransparentBitmap.h"

class CPagePicture {
public:
    CPagePicture(UINT bitmap, UINT lowColourBitmap, int placeholder, COLORREF key)
        : m_bitmap(bitmap), m_lowColourBitmap(lowColourBitmap), m_placeholder(placeholder), m_key(key)
    {
    }

    // At activation: loads the picture and takes the placeholder's place.
    void Load(HWND page);
    // At deactivation.
    void Free() { m_picture.reset(); }
    // For WM_PAINT: draws the picture; false when there is none to draw.
    bool Paint(HWND page) const;

private:
    UINT m_bitmap;
    UINT m_lowColourBitmap;
    int m_placeholder;
    COLORREF m_key;
    std::unique_ptr<CTransparentBitmap> m_picture;
    POINT m_at = {};
};
