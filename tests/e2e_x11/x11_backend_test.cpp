// The X11 backend's conversions, which need no display: pixel formats of every visual the server
// may use, Latin-1 text on the clipboard, and keys to virtual-key codes.
// GoogleTest comes before the X headers, whose None macro would break it.
#include <gtest/gtest.h>

#include "framework/platform/latin1_text.h"
#include "framework/platform/x11/x11_clipboard.h"
#include "framework/platform/x11/x11_keys.h"
#include "framework/platform/x11/x11_pixel_format.h"

#include <X11/keysym.h>

namespace {

TEST(X11PixelFormatTest, DecodesAndEncodesEveryCommonTrueColorLayout) {
    const auto rgb32 = X11PixelFormat::FromMasks(0xFF0000, 0xFF00, 0xFF, 32, false);
    const auto bgr32 = X11PixelFormat::FromMasks(0xFF, 0xFF00, 0xFF0000, 32, false);
    const auto rgb565 = X11PixelFormat::FromMasks(0xF800, 0x07E0, 0x001F, 16, false);
    const auto rgb555 = X11PixelFormat::FromMasks(0x7C00, 0x03E0, 0x001F, 16, true);
    ASSERT_TRUE(rgb32 && bgr32 && rgb565 && rgb555);
    EXPECT_EQ(rgb32->Decode(0xFF123456), 0x123456u); // padding bits ignored
    EXPECT_EQ(bgr32->Decode(0x563412), 0x123456u);
    EXPECT_EQ(bgr32->Encode(0x123456), 0x563412u);
    // Full intensity stays full and black stays black at 5 and 6 bits.
    EXPECT_EQ(rgb565->Decode(0xFFFF), 0xFFFFFFu);
    EXPECT_EQ(rgb565->Decode(0xF800), 0xFF0000u);
    EXPECT_EQ(rgb565->Encode(0x0000FF), 0x001Fu);
    EXPECT_EQ(rgb555->Decode(0x7FFF), 0xFFFFFFu);
    // Reading back what was written keeps every 5/6-bit value.
    for (std::uint32_t v = 0; v < 0x10000; v += 7) EXPECT_EQ(rgb565->Encode(rgb565->Decode(v)), v);
}

TEST(X11PixelFormatTest, RefusesMasksItCannotConvert) {
    EXPECT_FALSE(X11PixelFormat::FromMasks(0, 0, 0, 8, false));                 // a palette visual
    EXPECT_FALSE(X11PixelFormat::FromMasks(0xF0F000, 0xFF00, 0xFF, 32, false)); // split mask
    EXPECT_FALSE(X11PixelFormat::FromMasks(0xFF0000, 0xFF00, 0xFF, 12, false));
}

TEST(X11PixelFormatTest, ImageRowsRoundTripInBothByteOrdersAndPackedDepths) {
    PixelSurface src(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            src.SetPixel(x, y, static_cast<std::uint32_t>(0x102030 * (x + 1) + y * 0x010101));
    for (int bpp : {24, 32}) {
        for (bool msb : {false, true}) {
            const auto f = X11PixelFormat::FromMasks(0xFF0000, 0xFF00, 0xFF, bpp, msb);
            ASSERT_TRUE(f);
            const int bpl = 5 * bpp / 8 + 3; // padded rows
            std::vector<unsigned char> image(static_cast<std::size_t>(bpl) * 3, 0xEE);
            WriteImagePixels(src, src.Bounds(), image.data(), bpl, *f);
            PixelSurface back(5, 3);
            ReadImagePixels(image.data(), bpl, *f, back);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    EXPECT_EQ(back.Pixel(x, y), src.Pixel(x, y)) << bpp << " bpp, msb " << msb << " at " << x;
        }
    }
}

TEST(X11PixelFormatTest, WritingARectangleTouchesNothingOutsideIt) {
    PixelSurface src(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) src.SetPixel(x, y, 0xABCDEF);
    const auto f = X11PixelFormat::FromMasks(0xFF0000, 0xFF00, 0xFF, 32, false);
    std::vector<unsigned char> image(4 * 4 * 4, 0);
    WriteImagePixels(src, {1, 1, 3, 9}, image.data(), 16, *f); // clipped to the surface
    PixelSurface back(4, 4);
    ReadImagePixels(image.data(), 16, *f, back);
    EXPECT_EQ(back.Pixel(0, 0), 0u);
    EXPECT_EQ(back.Pixel(1, 1), 0xABCDEFu);
    EXPECT_EQ(back.Pixel(2, 3), 0xABCDEFu);
    EXPECT_EQ(back.Pixel(3, 1), 0u);
}

TEST(X11ClipboardTextTest, Latin1AndUtf8ConvertBothWays) {
    const std::string latin1 = "caf\xE9 \xA9 A\xFF";
    const std::string utf8 = Latin1ToUtf8(latin1);
    EXPECT_EQ(utf8, "caf\xC3\xA9 \xC2\xA9 A\xC3\xBF");
    EXPECT_EQ(Utf8ToLatin1(utf8), latin1);
    // Beyond Latin-1 (the euro sign, an emoji) and broken sequences become '?'.
    EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC"
                           "5"),
              "?5");
    EXPECT_EQ(Utf8ToLatin1("a\xF0\x9F\x98\x80z"), "a?z");
    EXPECT_EQ(Utf8ToLatin1("a\xC3"), "a?");   // cut short at the end
    EXPECT_EQ(Utf8ToLatin1("\xC3(x"), "?(x"); // a lead byte without its continuation
    EXPECT_EQ(Utf8ToLatin1("\x80z"), "?z");
}

TEST(X11KeysTest, KeysMapToVirtualKeyCodes) {
    EXPECT_EQ(VirtualKeyFromKeysym(XK_a), 'A');
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Z), 'Z');
    EXPECT_EQ(VirtualKeyFromKeysym(XK_7), '7');
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Return), 0x0D);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_Enter), 0x0D);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Escape), 0x1B);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_space), 0x20);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Left), 0x25);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_Up), 0x26);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Prior), 0x21);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Delete), 0x2E);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_KP_3), 0x63);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_F12), 0x7B);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Shift_R), 0x10);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_Control_L), 0x11);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_minus), 0xBD);
    EXPECT_EQ(VirtualKeyFromKeysym(XK_eacute), 0);
}

} // namespace
