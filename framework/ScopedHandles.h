// Move-only owners of Win32 handles. Each holder knows whether it owns what it
// holds: a holder made with Borrow() never closes its handle, one made from a
// handle directly closes it exactly once, when it is reset or destroyed.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

// Traits give the handle type, its "no handle" value and how to close it.
template <typename Traits> class ScopedResource {
public:
    using Handle = typename Traits::Handle;

    ScopedResource() noexcept = default;
    // Takes ownership of h.
    explicit ScopedResource(Handle h) noexcept : m_handle(h), m_owns(Traits::IsValid(h)) { }
    ~ScopedResource() { Reset(); }

    // A holder that uses h but leaves closing it to someone else.
    static ScopedResource Borrow(Handle h) noexcept
    {
        ScopedResource r;
        r.m_handle = h;
        r.m_owns = false;
        return r;
    }

    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;

    ScopedResource(ScopedResource&& other) noexcept : m_handle(other.m_handle), m_owns(other.m_owns)
    {
        other.m_handle = Traits::None();
        other.m_owns = false;
    }

    ScopedResource& operator=(ScopedResource&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_handle = other.m_handle;
            m_owns = other.m_owns;
            other.m_handle = Traits::None();
            other.m_owns = false;
        }
        return *this;
    }

    Handle Get() const noexcept { return m_handle; }
    bool IsValid() const noexcept { return Traits::IsValid(m_handle); }
    explicit operator bool() const noexcept { return IsValid(); }
    bool Owns() const noexcept { return m_owns; }

    // Closes what is owned and takes ownership of h.
    void Reset(Handle h = Traits::None()) noexcept
    {
        if (m_owns && Traits::IsValid(m_handle))
            Traits::Close(m_handle);
        m_handle = h;
        m_owns = Traits::IsValid(h);
    }

    // Gives the handle to the caller, who closes it from now on.
    Handle Release() noexcept
    {
        Handle h = m_handle;
        m_handle = Traits::None();
        m_owns = false;
        return h;
    }

private:
    Handle m_handle = Traits::None();
    bool m_owns = false;
};

namespace scoped_traits {

template <typename H, H NoneValue> struct Basic {
    using Handle = H;
    static Handle None() noexcept { return NoneValue; }
    static bool IsValid(Handle h) noexcept { return h != NoneValue; }
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "no handle"
// (CreateFile answers the second, most other calls the first).
struct Kernel {
    using Handle = HANDLE;
    static Handle None() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct Find {
    using Handle = HANDLE;
    static Handle None() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::FindClose(h); }
};

struct Key : Basic<HKEY, nullptr> {
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

struct Icon : Basic<HICON, nullptr> {
    static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

template <typename H> struct GdiObject {
    using Handle = H;
    static Handle None() noexcept { return nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr; }
    static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct Menu : Basic<HMENU, nullptr> {
    static void Close(Handle h) noexcept { ::DestroyMenu(h); }
};

struct Hook : Basic<HHOOK, nullptr> {
    static void Close(Handle h) noexcept { ::UnhookWindowsHookEx(h); }
};

struct Module : Basic<HMODULE, nullptr> {
    static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};

// A device context from CreateCompatibleDC or CreateDC.
struct MemoryDC : Basic<HDC, nullptr> {
    static void Close(Handle h) noexcept { ::DeleteDC(h); }
};

}  // namespace scoped_traits

using ScopedHandle = ScopedResource<scoped_traits::Kernel>;
using ScopedFind = ScopedResource<scoped_traits::Find>;
using ScopedKey = ScopedResource<scoped_traits::Key>;
using ScopedIcon = ScopedResource<scoped_traits::Icon>;
using ScopedBitmap = ScopedResource<scoped_traits::GdiObject<HBITMAP>>;
using ScopedBrush = ScopedResource<scoped_traits::GdiObject<HBRUSH>>;
using ScopedPen = ScopedResource<scoped_traits::GdiObject<HPEN>>;
using ScopedFont = ScopedResource<scoped_traits::GdiObject<HFONT>>;
using ScopedRegion = ScopedResource<scoped_traits::GdiObject<HRGN>>;
using ScopedMenu = ScopedResource<scoped_traits::Menu>;
using ScopedHook = ScopedResource<scoped_traits::Hook>;
using ScopedModule = ScopedResource<scoped_traits::Module>;
using ScopedMemoryDC = ScopedResource<scoped_traits::MemoryDC>;

// A window's device context from GetDC, given back with ReleaseDC.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) noexcept : m_hwnd(hwnd), m_dc(::GetDC(hwnd)) { }
    ~ScopedGetDC() { Reset(); }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    ScopedGetDC(ScopedGetDC&& o) noexcept : m_hwnd(o.m_hwnd), m_dc(o.m_dc) { o.m_dc = nullptr; }
    ScopedGetDC& operator=(ScopedGetDC&& o) noexcept
    {
        if (this != &o) {
            Reset();
            m_hwnd = o.m_hwnd;
            m_dc = std::exchange(o.m_dc, nullptr);
        }
        return *this;
    }
    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    void Reset() noexcept
    {
        if (m_dc)
            ::ReleaseDC(m_hwnd, m_dc);
        m_dc = nullptr;
    }
    HWND m_hwnd = nullptr;
    HDC m_dc = nullptr;
};

// BeginPaint/EndPaint around a WM_PAINT handler.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) noexcept : m_hwnd(hwnd) { m_dc = ::BeginPaint(hwnd, &m_ps); }
    ~ScopedPaint() { ::EndPaint(m_hwnd, &m_ps); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Get() const noexcept { return m_dc; }
    const PAINTSTRUCT& Info() const noexcept { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps = {};
    HDC m_dc = nullptr;
};

// Selects an object into a DC and selects the previous one back at the end, so
// that the object can then be deleted (a selected object cannot).
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept : m_dc(dc), m_old(::SelectObject(dc, obj)) { }
    ~ScopedSelect() { Restore(); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    ScopedSelect(ScopedSelect&& o) noexcept : m_dc(o.m_dc), m_old(std::exchange(o.m_old, nullptr)) { }
    ScopedSelect& operator=(ScopedSelect&& o) noexcept
    {
        if (this != &o) {
            Restore();
            m_dc = o.m_dc;
            m_old = std::exchange(o.m_old, nullptr);
        }
        return *this;
    }
    // False when the selection failed (and nothing will be restored).
    bool IsValid() const noexcept { return m_old != nullptr && m_old != HGDI_ERROR; }

    void Restore() noexcept
    {
        if (IsValid())
            ::SelectObject(m_dc, m_old);
        m_old = nullptr;
    }

private:
    HDC m_dc;
    HGDIOBJ m_old;
};

// Holds one reference to a COM object and releases it at the end.
template <typename T> class ScopedComPtr {
public:
    ScopedComPtr() noexcept = default;
    // Takes over the reference the caller holds.
    explicit ScopedComPtr(T* p) noexcept : m_p(p) { }
    ~ScopedComPtr() { Reset(); }

    // Adds a reference of its own to p.
    static ScopedComPtr AddRefed(T* p) noexcept
    {
        if (p)
            p->AddRef();
        return ScopedComPtr(p);
    }

    ScopedComPtr(const ScopedComPtr&) = delete;
    ScopedComPtr& operator=(const ScopedComPtr&) = delete;
    ScopedComPtr(ScopedComPtr&& o) noexcept : m_p(std::exchange(o.m_p, nullptr)) { }
    ScopedComPtr& operator=(ScopedComPtr&& o) noexcept
    {
        if (this != &o) {
            Reset();
            m_p = std::exchange(o.m_p, nullptr);
        }
        return *this;
    }

    T* Get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    // For calls that answer a new reference through T**: releases the old one.
    T** Put() noexcept
    {
        Reset();
        return &m_p;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    void Reset(T* p = nullptr) noexcept
    {
        if (m_p)
            m_p->Release();
        m_p = p;
    }

    // Gives the reference to the caller without releasing it.
    T* Detach() noexcept { return std::exchange(m_p, nullptr); }

private:
    T* m_p = nullptr;
};
