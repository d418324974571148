#include "framework/Bitmap.h"
#include "framework/TransparentBitmap.h"

#include "TestResources.h"
#include "tests/harness/Canvas.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kGrey = RGB(128, 128, 128);

}  // namespace

// The test picture is 4x2: red, black, green, black / black, blue, white, black.
TEST(Bitmap, LoadsFromTheModuleWithItsSize)
{
    CBitmap bitmap;
    ASSERT_EQ(1, bitmap.LoadFromModule(nullptr, IDB_TEST_PICTURE));
    EXPECT_TRUE(bitmap.OwnsHandle());
    EXPECT_EQ(4, bitmap.GetWidth());
    EXPECT_EQ(2, bitmap.GetHeight());
    CBitmap missing;
    EXPECT_EQ(0, missing.LoadFromModule(nullptr, 31999));
    EXPECT_EQ(0, missing.GetWidth());
}

TEST(Bitmap, DrawCopiesEveryPixel)
{
    CBitmap bitmap;
    ASSERT_EQ(1, bitmap.LoadFromModule(nullptr, IDB_TEST_PICTURE));
    Canvas canvas(8, 4, kGrey);
    ASSERT_EQ(1, bitmap.Draw(canvas.Dc(), 2, 1));
    EXPECT_EQ(kGrey, canvas.Pixel(1, 1));
    EXPECT_EQ(kRed, canvas.Pixel(2, 1));
    EXPECT_EQ(kBlack, canvas.Pixel(3, 1));
    EXPECT_EQ(kGreen, canvas.Pixel(4, 1));
    EXPECT_EQ(kBlue, canvas.Pixel(3, 2));
    EXPECT_EQ(kWhite, canvas.Pixel(4, 2));
    EXPECT_EQ(kGrey, canvas.Pixel(6, 1));
}

TEST(Bitmap, DeletesOnlyWhatItOwns)
{
    HBITMAP owned = CreateBitmap(2, 2, 1, 32, nullptr);
    HBITMAP borrowed = CreateBitmap(2, 2, 1, 32, nullptr);
    {
        CBitmap a;
        a.Attach(owned, true);
        CBitmap b;
        b.Attach(borrowed, false);
        CBitmap moved(std::move(a));
        EXPECT_EQ(owned, moved.GetHandle());
    }
    EXPECT_EQ(0u, GetObjectType(owned));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(borrowed));
    CBitmap detached;
    detached.Attach(borrowed, true);
    EXPECT_EQ(borrowed, detached.Detach());
    EXPECT_EQ(static_cast<DWORD>(OBJ_BITMAP), GetObjectType(borrowed));
    DeleteObject(borrowed);
}

TEST(TransparentBitmap, KeyColourLeavesTheBackgroundVisible)
{
    CTransparentBitmap bitmap;
    ASSERT_EQ(1, bitmap.LoadFromModule(nullptr, IDB_TEST_PICTURE));
    Canvas canvas(6, 4, kGrey);
    const COLORREF textBefore = SetTextColor(canvas.Dc(), RGB(1, 2, 3));
    ASSERT_EQ(1, bitmap.Draw(canvas.Dc(), 1, 1, kBlack));
    EXPECT_EQ(kRed, canvas.Pixel(1, 1));
    EXPECT_EQ(kGrey, canvas.Pixel(2, 1));  // black was the key
    EXPECT_EQ(kGreen, canvas.Pixel(3, 1));
    EXPECT_EQ(kGrey, canvas.Pixel(4, 1));
    EXPECT_EQ(kGrey, canvas.Pixel(1, 2));
    EXPECT_EQ(kBlue, canvas.Pixel(2, 2));
    EXPECT_EQ(kWhite, canvas.Pixel(3, 2));
    EXPECT_EQ(kGrey, canvas.Pixel(0, 0));
    // The target's colours are given back.
    EXPECT_EQ(RGB(1, 2, 3), GetTextColor(canvas.Dc()));
    SetTextColor(canvas.Dc(), textBefore);

    // Another key: red becomes transparent, black is drawn.
    Canvas second(6, 4, kGrey);
    ASSERT_EQ(1, bitmap.Draw(second.Dc(), 1, 1, kRed));
    EXPECT_EQ(kGrey, second.Pixel(1, 1));
    EXPECT_EQ(kBlack, second.Pixel(2, 1));
}
