// A registry key handle that closes itself. Move-only, so a key is closed
// exactly once; the predefined roots (HKEY_CURRENT_USER and the like) are never
// put in one, they are passed around as plain HKEY.
#pragma once

#include <windows.h>

class CRegKey {
public:
    CRegKey() = default;
    explicit CRegKey(HKEY key) : key_(key) { }
    ~CRegKey() { Close(); }

    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : key_(other.Release()) { }
    CRegKey& operator=(CRegKey&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    HKEY Get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    // Closes the key held so far and takes ownership of key.
    void Reset(HKEY key = nullptr)
    {
        if (key_ && key_ != key)
            RegCloseKey(key_);
        key_ = key;
    }

    // Gives up ownership without closing.
    HKEY Release()
    {
        HKEY key = key_;
        key_ = nullptr;
        return key;
    }

    void Close() { Reset(nullptr); }

    // Opens path under parent; on failure the key stays empty and the
    // system's error code is answered.
    LONG Open(HKEY parent, const char* path, REGSAM access)
    {
        HKEY key = nullptr;
        LONG rc = RegOpenKeyExA(parent, path, 0, access, &key);
        Reset(rc == ERROR_SUCCESS ? key : nullptr);
        return rc;
    }

    // Creates or opens path under parent.
    LONG Create(HKEY parent, const char* path, REGSAM access)
    {
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
        Reset(rc == ERROR_SUCCESS ? key : nullptr);
        return rc;
    }

private:
    HKEY key_ = nullptr;
};
