// Stored pictures: the BMP reader at every depth and orientation, its refusal of malformed files,
// the two record formats, the writer, and a seeded fuzz run over mutated and truncated records.
#include "framework/core/exceptions.h"
#include "framework/stored/picture_data.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Poke16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Poke32(Bytes& b, std::size_t at, std::uint32_t v) {
    Poke16(b, at, v & 0xFFFF);
    Poke16(b, at + 2, v >> 16);
}
void Append32(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    Poke32(b, b.size() - 4, v);
}

// A BMP file with a 40-byte header (or `infoSize`), the palette (0x00RRGGBB entries) and the rows
// exactly as given, in file order.
Bytes Bmp(std::int32_t width, std::int32_t height, std::uint16_t bits, const std::vector<Bytes>& rows,
          const std::vector<std::uint32_t>& palette = {}, std::uint32_t infoSize = 40) {
    Bytes out(14 + infoSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    Poke32(out, 14, infoSize);
    Poke32(out, 18, static_cast<std::uint32_t>(width));
    Poke32(out, 22, static_cast<std::uint32_t>(height));
    Poke16(out, 26, 1);
    Poke16(out, 28, bits);
    Poke32(out, 46, static_cast<std::uint32_t>(palette.size()));
    for (std::uint32_t c : palette) Append32(out, c); // blue, green, red, 0 in memory
    Poke32(out, 10, static_cast<std::uint32_t>(out.size()));
    for (const Bytes& row : rows) out.insert(out.end(), row.begin(), row.end());
    Poke32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

Bytes Record(const Bytes& file) {
    Bytes out{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    Append32(out, static_cast<std::uint32_t>(file.size()));
    out.insert(out.end(), file.begin(), file.end());
    return out;
}

std::uint32_t At(const TBitmap& b, int x, int y) { return b.Pixels().Pixel(x, y); }

TEST(BitmapFile, EveryDepthDecodesWithItsPaletteAndRowPadding) {
    TBitmap b;
    // 1 bit, 9 wide: the ninth pixel sits in the second byte; rows pad to 4 bytes.
    ReadBitmapData(b, Bmp(9, 1, 1, {{0b10000001, 0b10000000, 0, 0}}, {0x00FF00, 0x0000FF}));
    EXPECT_EQ(b.PixelFormat(), pf1bit);
    EXPECT_EQ(At(b, 0, 0), 0x0000FFu);
    EXPECT_EQ(At(b, 1, 0), 0x00FF00u);
    EXPECT_EQ(At(b, 7, 0), 0x0000FFu);
    EXPECT_EQ(At(b, 8, 0), 0x0000FFu);

    // 4 bits, high nibble first, a palette of 4 of the 16 possible colours.
    ReadBitmapData(b, Bmp(3, 1, 4, {{0x12, 0x30, 0, 0}}, {0, 0x111111, 0x222222, 0x333333}));
    EXPECT_EQ(b.PixelFormat(), pf4bit);
    EXPECT_EQ(At(b, 0, 0), 0x111111u);
    EXPECT_EQ(At(b, 1, 0), 0x222222u);
    EXPECT_EQ(At(b, 2, 0), 0x333333u);

    // 8 bits, top-down (negative height); an index past the palette shows black.
    ReadBitmapData(b, Bmp(2, -2, 8, {{0, 2, 0, 0}, {1, 7, 0, 0}}, {0xAA0000, 0x00BB00, 0x0000CC}));
    EXPECT_EQ(b.PixelFormat(), pf8bit);
    ASSERT_EQ(b.Height(), 2);
    EXPECT_EQ(At(b, 0, 0), 0xAA0000u);
    EXPECT_EQ(At(b, 1, 0), 0x0000CCu);
    EXPECT_EQ(At(b, 0, 1), 0x00BB00u);
    EXPECT_EQ(At(b, 1, 1), 0u);

    // 24 bits bottom-up, 3 wide (9 bytes + 3 padding), with a suggested palette that is skipped.
    ReadBitmapData(
        b, Bmp(3, 2, 24,
               {{1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE}, {10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}},
               {0x123456}));
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_EQ(At(b, 0, 1), 0x030201u);
    EXPECT_EQ(At(b, 2, 1), 0x090807u);
    EXPECT_EQ(At(b, 0, 0), 0x0C0B0Au);
    EXPECT_EQ(At(b, 2, 0), 0x121110u);

    // 32 bits with a larger (124-byte) header; the fourth byte is not colour.
    ReadBitmapData(b, Bmp(1, 2, 32, {{1, 2, 3, 0xFF}, {4, 5, 6, 0x80}}, {}, 124));
    EXPECT_EQ(b.PixelFormat(), pf32bit);
    EXPECT_EQ(At(b, 0, 1), 0x030201u);
    EXPECT_EQ(At(b, 0, 0), 0x060504u);
}

TEST(BitmapFile, MalformedFilesAreRefusedWithAReasonAndChangeNothing) {
    const Bytes good = Bmp(2, 2, 24, {{0, 0, 255, 255, 255, 255, 0, 0}, {255, 0, 0, 0, 0, 0, 0, 0}});
    auto with32 = [&](std::size_t at, std::uint32_t v, Bytes b) {
        Poke32(b, at, v);
        return b;
    };
    auto with16 = [&](std::size_t at, std::uint32_t v, Bytes b) {
        Poke16(b, at, v);
        return b;
    };
    Bytes truncated = good;
    truncated.pop_back();
    const Bytes palette1 = Bmp(1, 1, 1, {{0, 0, 0, 0}}, {0, 0xFFFFFF});
    struct Case {
        const char* name;
        Bytes bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", {}, "does not start with a BMP header"},
        {"bad magic", with16(0, 0x4142, good), "does not start with a BMP header"},
        {"header cut", Bytes(good.begin(), good.begin() + 30), "truncated"},
        {"core header", with32(14, 12, good), "unknown kind"},
        {"header past the end", with32(14, 0xFFFFFFF0, good), "truncated"},
        {"no planes", with16(26, 0, good), "planes"},
        {"run-length", with32(30, 1, good), "compressed"},
        {"16 bits", with16(28, 16, good), "16 bits per pixel"},
        {"zero width", with32(18, 0, good), "out of range"},
        {"negative width", with32(18, 0xFFFFFFFF, good), "out of range"},
        {"too wide", with32(18, kMaxStoredBitmapSide + 1, good), "out of range"},
        {"zero height", with32(22, 0, good), "out of range"},
        {"most negative height", with32(22, 0x80000000u, good), "out of range"},
        {"too tall", with32(22, kMaxStoredBitmapSide + 1, good), "out of range"},
        {"palette too large", with32(46, 3, palette1), "too large"},
        {"palette past the end", with32(46, 2, Bmp(1, 1, 1, {})), "palette"},
        {"pixels inside the header", with32(10, 20, good), "inside the header"},
        {"pixels past the end", truncated, "pixel data"},
        {"pixel offset overflows", with32(10, 0xFFFFFFFF, good), "pixel data"},
        {"rows overflow the data", with32(22, 16384, with32(18, 16384, good)), "pixel data"},
    };
    for (const Case& c : cases) {
        TBitmap b;
        b.SetSize(5, 4);
        b.Pixels().SetPixel(4, 3, 0xABCDEF);
        try {
            ReadBitmapData(b, c.bytes);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(c.reason), std::string::npos) << c.name << ": " << e.Message();
        }
        EXPECT_EQ(b.Width(), 5) << c.name;
        EXPECT_EQ(b.Height(), 4) << c.name;
        EXPECT_EQ(At(b, 4, 3), 0xABCDEFu) << c.name;
    }
}

TEST(PictureRecord, BothRecordFormatsLoadAndDamagedRecordsChangeNothing) {
    const Bytes file = Bmp(1, 1, 24, {{0x30, 0x20, 0x10, 0}});
    TPicture picture;
    ReadPictureData(picture, Record(file));
    ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
    EXPECT_EQ(At(*picture.Bitmap(), 0, 0), 0x102030u);

    // The older record: a length whose first byte is above 0x3F, then the file.
    Bytes padded = Bmp(1, 1, 24, {{0x01, 0x02, 0x03, 0}});
    padded.resize(0x40, 0); // trailing bytes inside the file are the file's own business
    Poke32(padded, 2, 0x40);
    Bytes old;
    Append32(old, static_cast<std::uint32_t>(padded.size()));
    old.insert(old.end(), padded.begin(), padded.end());
    ASSERT_GT(old[0], 0x3F);
    ReadPictureData(picture, old);
    EXPECT_EQ(At(*picture.Bitmap(), 0, 0), 0x030201u);

    Bytes longer = Record(file);
    longer.push_back(0);
    Bytes shortLength = Record(file);
    Poke32(shortLength, 8, static_cast<std::uint32_t>(file.size() + 1));
    Bytes shortOld = old;
    shortOld.pop_back();
    const std::pair<Bytes, const char*> damaged[] = {
        {{5, 'T', 'I', 'c', 'o', 'n', 0, 0, 0, 0}, "class \"TIcon\""},
        {{9, 'T', 'B'}, "class name"},
        {{7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 1}, "length"},
        {shortLength, "truncated"},
        {longer, "followed by 1 stray byte"},
        {shortOld, "truncated"},
        {Record(Bytes{'B', 'M', 0}), "bitmap data is truncated"},
    };
    for (const auto& [bytes, reason] : damaged) {
        const TGraphic* before = picture.Graphic();
        try {
            ReadPictureData(picture, bytes);
            ADD_FAILURE() << reason << ": accepted";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(reason), std::string::npos) << e.Message();
        }
        EXPECT_EQ(picture.Graphic(), before);
    }

    ReadPictureData(picture, {});
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(PictureRecord, WrittenBitmapsAre24BitFilesThatReadBackExactly) {
    TBitmap glyph;
    glyph.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            glyph.Pixels().SetPixel(x, y, static_cast<std::uint32_t>(x * 0x0F0000 + y * 0x0F + 0x100));
    const Bytes file = WriteBitmapData(glyph);
    ASSERT_EQ(file.size(), 822u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[2] | (file[3] << 8), 822);
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(file[28], 24);
    // Bottom-up: the file's first pixel is the bottom-left one, blue first.
    EXPECT_EQ(file[54], 0x0F * 15 + 0x00);
    EXPECT_EQ(file[55], 0x01);

    const Bytes record = WriteBitmapRecord(glyph);
    ASSERT_EQ(record.size(), 1 + 7 + 4 + 822u);
    EXPECT_EQ(record[0], 7);
    EXPECT_EQ(Bytes(record.begin() + 12, record.end()), file);
    TPicture picture;
    ReadPictureData(picture, record);
    TBitmap* read = picture.Bitmap();
    EXPECT_EQ(read->PixelFormat(), pf24bit);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_EQ(At(*read, x, y), At(glyph, x, y)) << x << "," << y;

    // Odd widths pad each row: 3 pixels take 9 bytes and 3 of padding.
    TBitmap odd;
    odd.SetSize(3, 2);
    odd.Pixels().SetPixel(2, 0, 0xFEDCBA);
    EXPECT_EQ(WriteBitmapData(odd).size(), 54u + 2 * 12);
    TBitmap back;
    ReadBitmapData(back, WriteBitmapData(odd));
    EXPECT_EQ(At(back, 2, 0), 0xFEDCBAu);

    EXPECT_TRUE(WriteBitmapRecord(TBitmap()).empty()) << "an empty bitmap stores no picture";
}

// Thousands of seeded mutations and truncations of valid records: each either loads a bitmap of
// sane size or fails with EReadError and leaves the picture alone. Run it under the sanitizer
// build to catch reads past the data.
TEST(PictureRecord, MutatedAndTruncatedRecordsNeverCrashAndFailOnlyWithReadErrors) {
    std::vector<Bytes> seeds{
        Record(Bmp(9, 2, 1, {{0xA5, 0x80, 0, 0}, {0x5A, 0, 0, 0}}, {0x00FF00, 0x0000FF})),
        Record(Bmp(3, -2, 4, {{0x12, 0x30, 0, 0}, {0xF0, 0x10, 0, 0}}, {0, 0x111111, 0x222222})),
        Record(Bmp(5, 1, 8, {{0, 1, 2, 3, 4, 0, 0, 0}}, std::vector<std::uint32_t>(5, 0x808080))),
        Record(Bmp(2, 2, 32, {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}}, {}, 108)),
    };
    TBitmap glyph;
    glyph.SetSize(16, 16);
    seeds.push_back(WriteBitmapRecord(glyph));
    {
        Bytes file = Bmp(1, 1, 24, {{1, 2, 3, 0}});
        file.resize(0x48, 0);
        Bytes old;
        Append32(old, static_cast<std::uint32_t>(file.size()));
        old.insert(old.end(), file.begin(), file.end());
        seeds.push_back(old);
    }
    const std::uint32_t interesting[] = {0,          1,           0x3F,       0x40,  0x7F,  0x80, 0xFF,
                                         0x7FFFFFFF, 0x80000000u, 0xFFFFFFFF, 16384, 16385, 40,   54};

    std::mt19937 random(20261209);
    auto below = [&](std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(random() % n); };
    int accepted = 0;
    int refused = 0;
    TPicture picture;
    TBitmap marker;
    marker.SetSize(7, 3);
    picture.SetGraphic(&marker);
    for (int round = 0; round < 20000; ++round) {
        Bytes data = seeds[below(seeds.size())];
        const int edits = 1 + static_cast<int>(below(4));
        for (int e = 0; e < edits && !data.empty(); ++e) {
            switch (below(5)) {
            case 0: data[below(data.size())] ^= static_cast<std::uint8_t>(1u << below(8)); break;
            case 1: data[below(data.size())] = static_cast<std::uint8_t>(random()); break;
            case 2: data.resize(below(data.size() + 1)); break;
            case 3:
                if (data.size() >= 4) {
                    // Header fields are where sizes and offsets live.
                    const std::size_t at = below(std::min<std::size_t>(data.size(), 80) - 3);
                    Poke32(data, at, interesting[below(std::size(interesting))]);
                }
                break;
            default:
                if (below(2) == 0)
                    data.insert(data.begin() + static_cast<std::ptrdiff_t>(below(data.size() + 1)),
                                static_cast<std::uint8_t>(random()));
                else
                    data.erase(data.begin() + static_cast<std::ptrdiff_t>(below(data.size())));
            }
        }
        const TGraphic* before = picture.Graphic();
        try {
            ReadPictureData(picture, data);
            ++accepted;
            if (picture.Graphic() != nullptr) {
                EXPECT_GT(picture.Width(), 0);
                EXPECT_LE(picture.Width(), kMaxStoredBitmapSide);
                EXPECT_GT(picture.Height(), 0);
                EXPECT_LE(picture.Height(), kMaxStoredBitmapSide);
            }
        } catch (const EReadError&) {
            ++refused;
            ASSERT_EQ(picture.Graphic(), before) << "round " << round;
        } catch (const std::exception& e) {
            FAIL() << "round " << round << ": " << e.what();
        }
        if (picture.Graphic() == nullptr) picture.SetGraphic(&marker);
    }
    EXPECT_GT(accepted, 100);
    EXPECT_GT(refused, 1000);
}

} // namespace
