#include "framework/TransparentBitmap.h"

int CTransparentBitmap::Draw(HDC target, int x, int y, COLORREF key) const
{
    if (!IsValid() || !target)
        return 0;
    const int width = GetWidth();
    const int height = GetHeight();
    ScopedMemoryDC image(CreateCompatibleDC(target));
    ScopedMemoryDC maskDC(CreateCompatibleDC(target));
    ScopedBitmap mask(CreateBitmap(width, height, 1, 1, nullptr));
    if (!image || !maskDC || !mask)
        return 0;
    ScopedSelect selectImage(image.Get(), GetHandle());
    ScopedSelect selectMask(maskDC.Get(), mask.Get());
    if (!selectImage.IsValid() || !selectMask.IsValid())
        return 0;

    // Copying colour to monochrome sets the bits of the background colour:
    // the mask is 1 where the image has the key colour.
    const COLORREF oldImageBackground = SetBkColor(image.Get(), key);
    BitBlt(maskDC.Get(), 0, 0, width, height, image.Get(), 0, 0, SRCCOPY);
    SetBkColor(image.Get(), oldImageBackground);

    // target ^ image, & mask (keeps the target where the key was, clears the
    // rest), ^ image again: the key's pixels show the target, the others the image.
    const COLORREF oldText = SetTextColor(target, m_textColour);
    const COLORREF oldBackground = SetBkColor(target, m_backgroundColour);
    BitBlt(target, x, y, width, height, image.Get(), 0, 0, SRCINVERT);
    BitBlt(target, x, y, width, height, maskDC.Get(), 0, 0, SRCAND);
    const BOOL done = BitBlt(target, x, y, width, height, image.Get(), 0, 0, SRCINVERT);
    SetTextColor(target, oldText);
    SetBkColor(target, oldBackground);
    return done ? 1 : 0;
}
