// CBitmap: a bitmap that knows whether it owns its handle (an owned one is
// deleted with the object), with its size and a plain copy onto a DC.
#pragma once

#include "framework/ScopedHandles.h"

class CBitmap {
public:
    CBitmap() = default;
    virtual ~CBitmap() = default;
    CBitmap(CBitmap&&) = default;
    CBitmap& operator=(CBitmap&&) = default;

    // Loads bitmap resource id of module (nullptr: CWindow::GetModule()).
    int LoadFromModule(HINSTANCE module, UINT id);
    // Holds bitmap; owns decides whether it is deleted with this object.
    void Attach(HBITMAP bitmap, bool owns);
    // Gives the handle to the caller, who deletes it if it was owned.
    HBITMAP Detach() { return m_bitmap.Release(); }
    void Delete() { m_bitmap.Reset(); }

    HBITMAP GetHandle() const { return m_bitmap.Get(); }
    bool IsValid() const { return m_bitmap.IsValid(); }
    bool OwnsHandle() const { return m_bitmap.Owns(); }
    // From the bitmap's header; 0 without a bitmap.
    int GetWidth() const;
    int GetHeight() const;

    // Copies the whole bitmap onto target at x, y.
    virtual int Draw(HDC target, int x, int y) const;

private:
    ScopedBitmap m_bitmap;
};

// True on a display of 8 bits per pixel or fewer: pages and the windows on
// the desktop then take the 16-colour variants of their pictures.
bool IsLowColourDisplay();
