#include "framework/ScopedHandles.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>
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

TEST_F(ScopedResourceTest, PutClosesTheOldHandleAndOwnsWhatTheCallWrites)
{
    Counted a(1);
    *a.Put() = 2;
    EXPECT_EQ(1, g_closed[1]);
    EXPECT_TRUE(a.Owns());
    a.Reset();
    EXPECT_EQ(1, g_closed[2]);
    Counted failed;
    failed.Put();  // a call that fails writes nothing
    EXPECT_FALSE(failed.Owns());
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

TEST(ScopedMapView, UnmapsTheViewAtScopeEnd)
{
    ScopedHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
    ASSERT_TRUE(mapping.IsValid());
    void* raw = MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 4096);
    ASSERT_NE(nullptr, raw);
    MEMORY_BASIC_INFORMATION info = {};
    {
        ScopedMapView view(raw);
        ASSERT_EQ(sizeof info, VirtualQuery(raw, &info, sizeof info));
        EXPECT_EQ(static_cast<DWORD>(MEM_MAPPED), info.Type);
    }
    ASSERT_EQ(sizeof info, VirtualQuery(raw, &info, sizeof info));
    EXPECT_EQ(static_cast<DWORD>(MEM_FREE), info.State);
}

namespace {

// Watches the task allocator: records what is freed through it.
class FreeSpy : public IMallocSpy {
public:
    std::vector<void*> freed;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IMallocSpy ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* p) override { return p; }
    void* STDMETHODCALLTYPE PreFree(void* p, BOOL) override
    {
        freed.push_back(p);
        return p;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override { }
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* p, SIZE_T size, void** out, BOOL) override
    {
        *out = p;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* p, BOOL) override { return p; }
    void* STDMETHODCALLTYPE PreGetSize(void* p, BOOL) override { return p; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* p, BOOL) override { return p; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override { }
    void STDMETHODCALLTYPE PostHeapMinimize() override { }
};

}  // namespace

TEST(ScopedPidl, FreesTheListOnceAndNotAfterRelease)
{
    FreeSpy spy;
    ASSERT_EQ(S_OK, CoRegisterMallocSpy(&spy));
    auto* owned = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(sizeof(USHORT)));
    auto* kept = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(sizeof(USHORT)));
    ASSERT_NE(nullptr, owned);
    ASSERT_NE(nullptr, kept);
    {
        ScopedPidl a(owned);
        ScopedPidl moved(std::move(a));
        ScopedPidl b(kept);
        EXPECT_EQ(kept, b.Release());
    }
    EXPECT_EQ(std::vector<void*>{owned}, spy.freed);
    CoTaskMemFree(kept);
    EXPECT_EQ(S_OK, CoRevokeMallocSpy());
}
