// A 32-bit top-down DIB section selected into a memory DC, for tests that
// draw and then read back pixels.
#pragma once

#include "framework/ScopedHandles.h"

#include <windows.h>

#include <set>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill)
        : m_width(width), m_height(height), m_fill(fill), m_dc(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Reset(CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<DWORD*>(bits);
        m_old = SelectObject(m_dc.Get(), m_bitmap.Get());
        Clear();
    }
    ~Canvas() { SelectObject(m_dc.Get(), m_old); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Every pixel back to the fill colour.
    void Clear()
    {
        GdiFlush();
        const DWORD fill = (GetRValue(m_fill) << 16) | (GetGValue(m_fill) << 8) | GetBValue(m_fill);
        for (int i = 0; m_bits && i < m_width * m_height; ++i)
            m_bits[i] = fill;
    }
    HDC Dc() const { return m_dc.Get(); }
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD p = m_bits[y * m_width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // The colours within [left, right) x [top, bottom).
    std::set<COLORREF> Colours(int left, int top, int right, int bottom) const
    {
        std::set<COLORREF> colours;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                colours.insert(Pixel(x, y));
        return colours;
    }

private:
    int m_width;
    int m_height;
    COLORREF m_fill;
    ScopedMemoryDC m_dc;
    ScopedBitmap m_bitmap;
    DWORD* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};
