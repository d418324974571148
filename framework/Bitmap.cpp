#include "framework/Bitmap.h"

#include "framework/ErrorReport.h"
#include "framework/Window.h"

int CBitmap::LoadFromModule(HINSTANCE module, UINT id)
{
    HANDLE image = LoadImageA(module ? module : CWindow::GetModule(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0);
    if (!image) {
        ReportLastError("LoadImageA(IMAGE_BITMAP)");
        return 0;
    }
    m_bitmap.Reset(static_cast<HBITMAP>(image));
    return 1;
}

void CBitmap::Attach(HBITMAP bitmap, bool owns)
{
    m_bitmap = owns ? ScopedBitmap(bitmap) : ScopedBitmap::Borrow(bitmap);
}

int CBitmap::GetWidth() const
{
    BITMAP info = {};
    return IsValid() && GetObjectA(GetHandle(), sizeof info, &info) ? info.bmWidth : 0;
}

int CBitmap::GetHeight() const
{
    BITMAP info = {};
    return IsValid() && GetObjectA(GetHandle(), sizeof info, &info) ? info.bmHeight : 0;
}

int CBitmap::Draw(HDC target, int x, int y) const
{
    if (!IsValid() || !target)
        return 0;
    ScopedMemoryDC source(CreateCompatibleDC(target));
    if (!source)
        return 0;
    ScopedSelect select(source.Get(), GetHandle());
    if (!select.IsValid())
        return 0;
    return BitBlt(target, x, y, GetWidth(), GetHeight(), source.Get(), 0, 0, SRCCOPY) ? 1 : 0;
}

bool IsLowColourDisplay()
{
    const ScopedGetDC screen(nullptr);
    const int bits = screen ? GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES) : 32;
    return bits <= 8;
}
