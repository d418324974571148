#include "framework/ScopedHandles.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace {

// Counts how often each fake handle value is closed.
std::map<int, int> g_closed;

struct CountingTraits {
    using Handle = int;
    static Handle None() noexcept { return 0; }
    static bool IsValid(Handle h) noexcept { return h != 0; }
    static void Close(Handle h) noexcept { ++g_closed[h]; }
};
using Counted = ScopedResource<CountingTraits>;

class ScopedResourceTest : public ::testing::Test {
protected:
    void SetUp() override { g_closed.clear(); }
};

bool IsOpenHandle(HANDLE h)
{
    DWORD flags = 0;
    return GetHandleInformation(h, &flags) != FALSE;
}

}  // namespace

TEST_F(ScopedResourceTest, ClosesOwnedHandleExactlyOnceAtScopeEnd)
{
    {
        Counted a(7);
        EXPECT_TRUE(a.Owns());
    }
    EXPECT_EQ(1, g_closed[7]);
}

TEST_F(ScopedResourceTest, MoveTransfersOwnershipAndClosesOnce)
{
    {
        Counted a(7);
        Counted b(std::move(a));
        EXPECT_FALSE(a.IsValid());
        EXPECT_FALSE(a.Owns());
        EXPECT_EQ(7, b.Get());
        Counted c;
        c = std::move(b);
        EXPECT_EQ(7, c.Get());
        EXPECT_EQ(0, g_closed[7]);
    }
    EXPECT_EQ(1, g_closed[7]);
}

TEST_F(ScopedResourceTest, MoveAssignmentClosesWhatTheTargetHeld)
{
    Counted a(1);
    Counted b(2);
    a = std::move(b);
    EXPECT_EQ(1, g_closed[1]);
    EXPECT_EQ(0, g_closed[2]);
    EXPECT_EQ(2, a.Get());
}

TEST_F(ScopedResourceTest, SelfMoveAssignmentKeepsTheHandle)
{
    {
        Counted a(3);
        Counted& same = a;
        a = std::move(same);
        EXPECT_EQ(3, a.Get());
        EXPECT_EQ(0, g_closed[3]);
    }
    EXPECT_EQ(1, g_closed[3]);
}

TEST_F(ScopedResourceTest, BorrowedHandleIsNeverClosedEvenAfterMoves)
{
    {
        Counted a = Counted::Borrow(4);
        EXPECT_TRUE(a.IsValid());
        EXPECT_FALSE(a.Owns());
        Counted b(std::move(a));
        EXPECT_FALSE(b.Owns());
        b.Reset();
    }
    EXPECT_EQ(0, g_closed[4]);
}

TEST_F(ScopedResourceTest, ReleaseHandsOverAndResetClosesTheOldHandle)
{
    Counted a(5);
    EXPECT_EQ(5, a.Release());
    EXPECT_FALSE(a.IsValid());
    a.Reset(6);
    a.Reset(8);
    EXPECT_EQ(0, g_closed[5]);
    EXPECT_EQ(1, g_closed[6]);
    a.Reset();
    EXPECT_EQ(1, g_closed[8]);
}

TEST(ScopedHandle, ClosesAnEventOnDestructionAndNotAfterRelease)
{
    HANDLE raw = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, raw);
    {
        ScopedHandle event(raw);
        ScopedHandle moved(std::move(event));
        EXPECT_TRUE(IsOpenHandle(raw));
    }
    EXPECT_FALSE(IsOpenHandle(raw));

    HANDLE kept = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, kept);
    {
        ScopedHandle event(kept);
        EXPECT_EQ(kept, event.Release());
    }
    EXPECT_TRUE(IsOpenHandle(kept));
    CloseHandle(kept);
}

TEST(ScopedHandle, TreatsInvalidHandleValueAsEmpty)
{
    ScopedHandle file(
        CreateFileA("Z:\\no\\such\\folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file.IsValid());
    EXPECT_FALSE(file.Owns());
}

TEST(ScopedGdi, DeletesOwnedObjectsAndKeepsBorrowedOnes)
{
    HBRUSH owned = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH borrowed = CreateSolidBrush(RGB(4, 5, 6));
    ASSERT_NE(nullptr, owned);
    ASSERT_NE(nullptr, borrowed);
    {
        ScopedBrush a(owned);
        ScopedBrush b = ScopedBrush::Borrow(borrowed);
    }
    EXPECT_EQ(0u, GetObjectType(owned));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(borrowed));
    DeleteObject(borrowed);
}

TEST(ScopedSelect, PutsThePreviousObjectBack)
{
    ScopedMemoryDC dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.IsValid());
    HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_BRUSH);
    ScopedBrush brush(CreateSolidBrush(RGB(9, 9, 9)));
    {
        ScopedSelect select(dc.Get(), brush.Get());
        EXPECT_TRUE(select.IsValid());
        EXPECT_EQ(brush.Get(), GetCurrentObject(dc.Get(), OBJ_BRUSH));
        ScopedSelect moved(std::move(select));
    }
    EXPECT_EQ(before, GetCurrentObject(dc.Get(), OBJ_BRUSH));
}

TEST(ScopedMenuAndIcon, DestroyOwnedUserObjects)
{
    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(IsMenu(menu));
    {
        ScopedMenu scoped(menu);
    }
    EXPECT_FALSE(IsMenu(menu));

    BYTE andMask[32 * 4] = {};
    BYTE xorMask[32 * 4] = {};
    HICON icon = CreateIcon(nullptr, 32, 32, 1, 1, andMask, xorMask);
    ASSERT_NE(nullptr, icon);
    {
        ScopedIcon scoped(icon);
    }
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(icon, &info));
}

namespace {
LRESULT CALLBACK PassOn(int code, WPARAM wp, LPARAM lp)
{
    return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST(ScopedHook, UnhooksOnceAtScopeEnd)
{
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &PassOn, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    {
        ScopedHook scoped(hook);
    }
    // Already removed: a second unhook fails.
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
}

TEST(ScopedKey, ClosesTheKey)
{
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &raw));
    {
        ScopedKey key(raw);
        DWORD subkeys = 0;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegQueryInfoKeyA(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr));
    }
    EXPECT_NE(ERROR_SUCCESS, RegCloseKey(raw));
}

namespace {

// A COM object that counts its references.
class CountedUnknown : public IUnknown {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

HRESULT MakeObject(CountedUnknown* source, IUnknown** out)
{
    source->AddRef();
    *out = source;
    return S_OK;
}

}  // namespace

TEST(ScopedComPtr, ReleasesItsOneReference)
{
    CountedUnknown object;
    {
        ScopedComPtr<IUnknown> ptr(&object);  // takes the initial reference
        ScopedComPtr<IUnknown> extra = ScopedComPtr<IUnknown>::AddRefed(&object);
        EXPECT_EQ(2u, object.refs);
        ScopedComPtr<IUnknown> moved(std::move(extra));
        EXPECT_EQ(2u, object.refs);
    }
    EXPECT_EQ(0u, object.refs);
}

TEST(ScopedComPtr, PutReleasesTheOldReferenceFirst)
{
    CountedUnknown first;
    CountedUnknown second;
    ScopedComPtr<IUnknown> ptr;
    ASSERT_EQ(S_OK, MakeObject(&first, ptr.Put()));
    EXPECT_EQ(2u, first.refs);
    ASSERT_EQ(S_OK, MakeObject(&second, ptr.Put()));
    EXPECT_EQ(1u, first.refs);
    EXPECT_EQ(2u, second.refs);
    IUnknown* detached = ptr.Detach();
    EXPECT_EQ(&second, detached);
    EXPECT_EQ(2u, second.refs);
}
