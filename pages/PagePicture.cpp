#include "pages/PagePicture.h"

#include "pages/PageSupport.h"

void CPagePicture::Load(HWND page)
{
    m_picture = std::make_unique<CTransparentBitmap>();
    if (!m_picture->LoadFromModule(nullptr, IsLowColourDisplay() ? m_lowColourBitmap : m_bitmap))
        m_picture.reset();
    m_at = ControlPosition(page, m_placeholder);
    InvalidateRect(page, nullptr, TRUE);
}

bool CPagePicture::Paint(HWND page) const
{
    if (!m_picture)
        return false;
    PAINTSTRUCT ps = {};
    HDC dc = BeginPaint(page, &ps);
    m_picture->Draw(dc, m_at.x, m_at.y, m_key);
    EndPaint(page, &ps);
    return true;
}
