// Move-only owners of Win32 handles, for every part of the code (program,
// hook library, desktop host, tests). Each holder knows whether it owns what it
// holds: a holder made with Borrow() never closes its handle, one made from a
// handle directly closes it exactly once, when it is reset or destroyed.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shtypes.h>
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
    bool Owns() const noexcept { return m_owns && IsValid(); }

    // Closes what is owned and takes ownership of h.
    void Reset(Handle h = Traits::None()) noexcept
    {
        if (m_owns && Traits::IsValid(m_handle))
            Traits::Close(m_handle);
        m_handle = h;
        m_owns = Traits::IsValid(h);
    }

    // For calls that answer a new handle through Handle*: closes the old one,
    // and owns what the call writes there.
    Handle* Put() noexcept
    {
        Reset();
        m_owns = true;
        return &m_handle;
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

// A HANDLE for which both null and INVALID_HANDLE_VALUE mean "no handle";
// the empty holder keeps the one its opening call answers on failure.
template <bool EmptyIsInvalidValue> struct AnyHandle {
    using Handle = HANDLE;
    static Handle None() noexcept { return EmptyIsInvalidValue ? INVALID_HANDLE_VALUE : nullptr; }
    static bool IsValid(Handle h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
};

// Kernel objects (CreateFile answers INVALID_HANDLE_VALUE, most other calls null).
struct Kernel : AnyHandle<false> {
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct Find : AnyHandle<true> {
    static void Close(Handle h) noexcept { ::FindClose(h); }
};

// FindFirstChangeNotification answers INVALID_HANDLE_VALUE when it fails.
struct ChangeNotification : AnyHandle<true> {
    static void Close(Handle h) noexcept { ::FindCloseChangeNotification(h); }
};

struct Key : Basic<HKEY, nullptr> {
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

struct Icon : Basic<HICON, nullptr> {
    static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

template <typename H> struct GdiObject : Basic<H, nullptr> {
    static void Close(H h) noexcept { ::DeleteObject(h); }
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

// A view from MapViewOfFile.
struct MapView : Basic<void*, nullptr> {
    static void Close(Handle h) noexcept { ::UnmapViewOfFile(h); }
};

// An item identifier list the shell allocated for the caller.
struct Pidl : Basic<LPITEMIDLIST, nullptr> {
    static void Close(Handle h) noexcept { ::CoTaskMemFree(h); }
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
using ScopedChangeNotification = ScopedResource<scoped_traits::ChangeNotification>;
using ScopedMapView = ScopedResource<scoped_traits::MapView>;
using ScopedPidl = ScopedResource<scoped_traits::Pidl>;

// Opens path under parent into key, which is left empty on failure; answers
// the system's error code. The predefined roots (HKEY_CURRENT_USER and the
// like) are never put in a ScopedKey: they are passed around as plain HKEY.
inline LONG OpenKey(HKEY parent, const char* path, REGSAM access, ScopedKey* key) noexcept
{
    HKEY opened = nullptr;
    const LONG rc = ::RegOpenKeyExA(parent, path, 0, access, &opened);
    key->Reset(rc == ERROR_SUCCESS ? opened : nullptr);
    return rc;
}

// Creates or opens path under parent into key, as OpenKey.
inline LONG CreateKey(HKEY parent, const char* path, REGSAM access, ScopedKey* key) noexcept
{
    HKEY created = nullptr;
    const LONG rc = ::RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &created,
                                      nullptr);
    key->Reset(rc == ERROR_SUCCESS ? created : nullptr);
    return rc;
}

// Undoes at the end what was done with two values: Traits::Undo(first,
// second) runs once, when second is valid (Traits::IsValid). Move-only.
template <typename Traits> class ScopedUndo {
public:
    using First = typename Traits::First;
    using Second = typename Traits::Second;

    ScopedUndo(First first, Second second) noexcept : m_first(first), m_second(second) { }
    ~ScopedUndo() { Undo(); }
    ScopedUndo(const ScopedUndo&) = delete;
    ScopedUndo& operator=(const ScopedUndo&) = delete;
    ScopedUndo(ScopedUndo&& o) noexcept : m_first(o.m_first), m_second(std::exchange(o.m_second, Second{})) { }
    ScopedUndo& operator=(ScopedUndo&& o) noexcept
    {
        if (this != &o) {
            Undo();
            m_first = o.m_first;
            m_second = std::exchange(o.m_second, Second{});
        }
        return *this;
    }
    bool IsValid() const noexcept { return Traits::IsValid(m_second); }

protected:
    void Undo() noexcept
    {
        if (IsValid())
            Traits::Undo(m_first, m_second);
        m_second = Second{};
    }

    First m_first;
    Second m_second;
};

namespace scoped_traits {

struct WindowDC {
    using First = HWND;
    using Second = HDC;
    static bool IsValid(HDC dc) noexcept { return dc != nullptr; }
    static void Undo(HWND hwnd, HDC dc) noexcept { ::ReleaseDC(hwnd, dc); }
};

// The object a selection replaced; SelectObject answers HGDI_ERROR or null
// when it fails.
struct Selection {
    using First = HDC;
    using Second = HGDIOBJ;
    static bool IsValid(HGDIOBJ old) noexcept { return old != nullptr && old != HGDI_ERROR; }
    static void Undo(HDC dc, HGDIOBJ old) noexcept { ::SelectObject(dc, old); }
};

}  // namespace scoped_traits

// A window's device context from GetDC, given back with ReleaseDC.
class ScopedGetDC : public ScopedUndo<scoped_traits::WindowDC> {
public:
    explicit ScopedGetDC(HWND hwnd) noexcept : ScopedUndo(hwnd, ::GetDC(hwnd)) { }
    // The DC of the whole window, frame included (GetWindowDC).
    static ScopedGetDC OfWholeWindow(HWND hwnd) noexcept { return ScopedGetDC(hwnd, ::GetWindowDC(hwnd)); }
    HDC Get() const noexcept { return m_second; }
    explicit operator bool() const noexcept { return IsValid(); }

private:
    ScopedGetDC(HWND hwnd, HDC dc) noexcept : ScopedUndo(hwnd, dc) { }
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
// that the object can then be deleted (a selected object cannot). IsValid is
// false when the selection failed (and nothing will be restored).
class ScopedSelect : public ScopedUndo<scoped_traits::Selection> {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj) noexcept : ScopedUndo(dc, ::SelectObject(dc, obj)) { }
    void Restore() noexcept { Undo(); }
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

// COM for the calling thread for as long as this lives; balanced only when
// this call really initialised it.
class ScopedComInit {
public:
    ScopedComInit() noexcept : m_ok(SUCCEEDED(::CoInitialize(nullptr))) { }
    ~ScopedComInit()
    {
        if (m_ok)
            ::CoUninitialize();
    }
    ScopedComInit(const ScopedComInit&) = delete;
    ScopedComInit& operator=(const ScopedComInit&) = delete;

private:
    bool m_ok;
};
