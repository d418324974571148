#pragma once
// Move-only owners of the handles the desktop host and the test harness use.
#include <windows.h>
#include <shlobj.h>

#include <utility>

// A kernel handle closed with CloseHandle; null and INVALID_HANDLE_VALUE hold nothing.
class CScopedHandle {
public:
    CScopedHandle() = default;
    explicit CScopedHandle(HANDLE handle) : m_handle(handle) { }
    ~CScopedHandle() { Reset(); }
    CScopedHandle(CScopedHandle&& other) noexcept : m_handle(other.Release()) { }
    CScopedHandle& operator=(CScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
    HANDLE Release() { return std::exchange(m_handle, nullptr); }
    void Reset(HANDLE handle = nullptr)
    {
        if (Valid())
            CloseHandle(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = nullptr;
};

// A change notification handle, closed with FindCloseChangeNotification.
class CScopedChangeNotification {
public:
    CScopedChangeNotification() = default;
    explicit CScopedChangeNotification(HANDLE handle) : m_handle(handle) { }
    ~CScopedChangeNotification() { Reset(); }
    CScopedChangeNotification(CScopedChangeNotification&& other) noexcept
        : m_handle(std::exchange(other.m_handle, INVALID_HANDLE_VALUE))
    {
    }
    CScopedChangeNotification& operator=(CScopedChangeNotification&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, INVALID_HANDLE_VALUE));
        return *this;
    }
    CScopedChangeNotification(const CScopedChangeNotification&) = delete;
    CScopedChangeNotification& operator=(const CScopedChangeNotification&) = delete;

    HANDLE Get() const { return m_handle; }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    void Reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (Valid())
            FindCloseChangeNotification(m_handle);
        m_handle = handle;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

// A mapped view of a file mapping, unmapped with UnmapViewOfFile.
class CScopedMapView {
public:
    CScopedMapView() = default;
    explicit CScopedMapView(void* view) : m_view(view) { }
    ~CScopedMapView() { Reset(); }
    CScopedMapView(CScopedMapView&& other) noexcept : m_view(std::exchange(other.m_view, nullptr)) { }
    CScopedMapView& operator=(CScopedMapView&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_view, nullptr));
        return *this;
    }
    CScopedMapView(const CScopedMapView&) = delete;
    CScopedMapView& operator=(const CScopedMapView&) = delete;

    void* Get() const { return m_view; }
    void Reset(void* view = nullptr)
    {
        if (m_view)
            UnmapViewOfFile(m_view);
        m_view = view;
    }

private:
    void* m_view = nullptr;
};

// A COM interface pointer, released on destruction.
template <class T> class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Reset(); }
    CComPtr(CComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) { }
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;

    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    // Address to pass to a call that hands out a new reference.
    T** Receive()
    {
        Reset();
        return &m_ptr;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    void Reset()
    {
        if (m_ptr)
            m_ptr->Release();
        m_ptr = nullptr;
    }

private:
    T* m_ptr = nullptr;
};

// An item identifier list, freed with CoTaskMemFree.
class CScopedPidl {
public:
    CScopedPidl() = default;
    explicit CScopedPidl(LPITEMIDLIST pidl) : m_pidl(pidl) { }
    ~CScopedPidl() { Reset(); }
    CScopedPidl(CScopedPidl&& other) noexcept : m_pidl(std::exchange(other.m_pidl, nullptr)) { }
    CScopedPidl& operator=(CScopedPidl&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_pidl, nullptr));
        return *this;
    }
    CScopedPidl(const CScopedPidl&) = delete;
    CScopedPidl& operator=(const CScopedPidl&) = delete;

    LPITEMIDLIST Get() const { return m_pidl; }
    LPITEMIDLIST* Receive()
    {
        Reset();
        return &m_pidl;
    }
    void Reset(LPITEMIDLIST pidl = nullptr)
    {
        if (m_pidl)
            CoTaskMemFree(m_pidl);
        m_pidl = pidl;
    }

private:
    LPITEMIDLIST m_pidl = nullptr;
};
