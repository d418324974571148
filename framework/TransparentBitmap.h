// CTransparentBitmap: a bitmap drawn with one key colour left transparent,
// through a monochrome mask built for each drawing.
#pragma once

#include "framework/Bitmap.h"

class CTransparentBitmap : public CBitmap {
public:
    using CBitmap::Draw;
    // Pixels of colour key keep what target shows; the others are copied.
    virtual int Draw(HDC target, int x, int y, COLORREF key) const;

private:
    // Set on the target while the mask is applied: the mask's 1 bits map to
    // the background colour, its 0 bits to the text colour.
    COLORREF m_textColour = RGB(0, 0, 0);
    COLORREF m_backgroundColour = RGB(255, 255, 255);
};
