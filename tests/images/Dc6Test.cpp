#include "images/Dc6.h"

#include "app/BaseLists.h"
#include "dc6enc/Dc6Encode.h"
#include "images/PngWriter.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"
#include "tables/Services.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>

namespace tolmere {
namespace {

using dc6enc::File;
using dc6enc::Frame;
using dc6enc::kTerminationCD;
using dc6enc::kTerminationEE;
using dc6enc::kTerminationZero;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// Owns what a decode produced.
struct Decoded {
    DibDesc desc;
    bool ok = false;
    ~Decoded() { ReleaseDesc(desc); }
    unsigned char At(std::uint32_t x, std::uint32_t y) const {
        return desc.rows[std::size_t{y} * desc.stride + x];
    }
};

void Decode(Decoded& out, const std::string& bytes) {
    out.ok =
        DecodeDc6(out.desc, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

File OneFrame(Frame frame, std::uint32_t termination = kTerminationEE) {
    File file;
    file.termination = termination;
    file.frames.push_back(std::move(frame));
    return file;
}

// Decodes a single frame of raw codes, width × height, and returns its pixels top
// row first.
std::vector<std::string> Pixels(std::uint32_t width, std::uint32_t height,
                                const std::string& codes) {
    Frame frame;
    frame.width = width;
    frame.height = height;
    frame.codes = codes;
    frame.trailer = dc6enc::TerminationTail(kTerminationEE);
    Decoded d;
    Decode(d, dc6enc::Encode(OneFrame(frame)));
    EXPECT_TRUE(d.ok);
    std::vector<std::string> rows;
    if (!d.ok)
        return rows;
    for (std::uint32_t y = 0; y < d.desc.height; ++y)
        rows.emplace_back(reinterpret_cast<const char*>(d.desc.rows + y * d.desc.stride),
                          d.desc.width);
    return rows;
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

TEST(Dc6, OneFrameFillsACanvasOfItsOwnSizeBottomRowLast) {
    const std::vector<std::string> rows = {Bytes({1, 2, 3}), Bytes({4, 0, 6}), Bytes({7, 8, 9})};
    Decoded d;
    Decode(d, dc6enc::Encode(OneFrame(dc6enc::FrameOf(rows, kTerminationEE))));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.desc.bitsPerPixel, 8u);
    EXPECT_EQ(d.desc.width, 3u);
    EXPECT_EQ(d.desc.height, 3u);
    EXPECT_EQ(d.desc.stride, 4u);
    EXPECT_EQ(d.desc.palette, nullptr);
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(d.At(x, y), static_cast<unsigned char>(rows[y][x])) << x << "," << y;
}

TEST(Dc6, TheFirstCodedRowIsTheBottomRow) {
    // One row of codes for a frame two rows tall: only the bottom row is drawn.
    auto rows = Pixels(2, 2, Bytes({2, 5, 6, 0x80}) + "\xEE\xEE\xEE");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], Bytes({0, 0}));
    EXPECT_EQ(rows[1], Bytes({5, 6}));
}

TEST(Dc6, StripsOf256ShareOneRowOfTiles) {
    File file;
    file.frames.push_back(dc6enc::SolidFrame(256, 10, 1, kTerminationEE));
    file.frames.push_back(dc6enc::SolidFrame(256, 10, 2, kTerminationEE));
    file.frames.push_back(dc6enc::SolidFrame(100, 10, 3, kTerminationEE));
    Decoded d;
    Decode(d, dc6enc::Encode(file));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.desc.width, 612u);
    EXPECT_EQ(d.desc.height, 10u);
    EXPECT_EQ(d.desc.stride, 612u);
    EXPECT_EQ(d.At(0, 0), 1);
    EXPECT_EQ(d.At(255, 9), 1);
    EXPECT_EQ(d.At(256, 0), 2);
    EXPECT_EQ(d.At(511, 9), 2);
    EXPECT_EQ(d.At(512, 0), 3);
    EXPECT_EQ(d.At(611, 9), 3);
}

TEST(Dc6, NarrowFramesStackFirstOnTop) {
    File file;
    file.frames.push_back(dc6enc::SolidFrame(100, 4, 1, kTerminationEE));
    file.frames.push_back(dc6enc::SolidFrame(100, 6, 2, kTerminationEE));
    Decoded d;
    Decode(d, dc6enc::Encode(file));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.desc.width, 100u);
    EXPECT_EQ(d.desc.height, 10u);
    EXPECT_EQ(d.At(0, 0), 1);
    EXPECT_EQ(d.At(99, 3), 1);
    EXPECT_EQ(d.At(0, 4), 2);
    EXPECT_EQ(d.At(99, 9), 2);
}

TEST(Dc6, TilesOfARowShareTheBottomEdgeAndTallerOnesAreClipped) {
    File file;
    file.frames.push_back(dc6enc::SolidFrame(256, 2, 1, kTerminationEE));
    // Taller than the row's first tile: its top rows would lie above the canvas.
    file.frames.push_back(dc6enc::SolidFrame(4, 5, 2, kTerminationEE));
    Decoded d;
    Decode(d, dc6enc::Encode(file));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.desc.width, 260u);
    EXPECT_EQ(d.desc.height, 2u);
    EXPECT_EQ(d.At(256, 0), 2);
    EXPECT_EQ(d.At(259, 1), 2);
}

TEST(Dc6, AWideEarlierRowIsClippedToTheLastRowsWidth) {
    File file;
    file.frames.push_back(dc6enc::SolidFrame(256, 1, 1, kTerminationEE));
    file.frames.push_back(dc6enc::SolidFrame(256, 1, 2, kTerminationEE));
    file.frames.push_back(dc6enc::SolidFrame(8, 1, 3, kTerminationEE));
    file.frames.push_back(dc6enc::SolidFrame(5, 1, 4, kTerminationEE));
    Decoded d;
    Decode(d, dc6enc::Encode(file));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.desc.width, 5u);
    EXPECT_EQ(d.desc.height, 2u);
    EXPECT_EQ(d.At(4, 0), 1);
    EXPECT_EQ(d.At(4, 1), 4);
}

TEST(Dc6, SkipCodesLeaveZeroAndStopAtTheRowEnd) {
    EXPECT_EQ(Pixels(3, 1, Bytes({0x81, 1, 7, 0x80}))[0], Bytes({0, 7, 0}));
    // 0xFF skips 127 pixels.
    auto wide = Pixels(130, 1, Bytes({0xFF, 2, 5, 6, 0x80}));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0][126], 0);
    EXPECT_EQ(wide[0][127], 5);
    EXPECT_EQ(wide[0][128], 6);
    EXPECT_EQ(wide[0][129], 0);
    // A skip past the end parks at the end: a following literal draws nothing.
    EXPECT_EQ(Pixels(3, 1, Bytes({0x90, 1, 7, 0x80}))[0], Bytes({0, 0, 0}));
}

TEST(Dc6, ALiteralRunIsCutAtTheRowEndAndItsRestReadAsCodes) {
    // Run of 4 in a row of 2: bytes 5, 6 are drawn; 0x80 and 9 are left over and read
    // as codes: 0x80 ends the row (the next bytes are not the termination), so the
    // code 1 with pixel 9 lands on the row above.
    auto rows = Pixels(2, 2, Bytes({4, 5, 6, 0x80, 1, 9, 0x80}) + "\xEE\xEE\xEE");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], Bytes({5, 6}));
    EXPECT_EQ(rows[0], Bytes({9, 0}));
}

TEST(Dc6, ZeroCodesDoNothing) {
    EXPECT_EQ(Pixels(2, 1, Bytes({0, 0, 1, 3, 0, 1, 4, 0x80}))[0], Bytes({3, 4}));
}

TEST(Dc6, TheTerminationFromTheHeaderEndsAFrameEarly) {
    for (std::uint32_t termination : {kTerminationEE, kTerminationZero, kTerminationCD}) {
        // The codes go on after the termination; a decoder that missed it would draw
        // pixel 9 on the upper row. The data length covers those codes too.
        const std::string codes =
            Bytes({1, 4, 0x80}) + dc6enc::TerminationTail(termination) + Bytes({1, 9, 0x80});
        Frame frame;
        frame.width = 400;
        frame.height = 2;
        frame.codes = codes;
        Decoded d;
        Decode(d, dc6enc::Encode(OneFrame(frame, termination)));
        ASSERT_TRUE(d.ok) << std::hex << termination;
        EXPECT_EQ(d.At(0, 1), 4) << std::hex << termination;
        for (std::uint32_t x = 0; x < 400; ++x)
            ASSERT_EQ(d.At(x, 0), 0) << std::hex << termination << " at " << std::dec << x;

        // Under any other termination the same three bytes are codes of the next row:
        // 0x00 does nothing, 0xEE and 0xCD skip.
        for (std::uint32_t other : {kTerminationEE, kTerminationZero, kTerminationCD}) {
            if (other == termination)
                continue;
            const unsigned tail = termination & 0xFF;
            const std::uint32_t x = tail == 0 ? 0 : 3 * (tail - 0x80);
            Decoded o;
            Decode(o, dc6enc::Encode(OneFrame(frame, other)));
            ASSERT_TRUE(o.ok);
            EXPECT_EQ(o.At(0, 1), 4);
            EXPECT_EQ(o.At(x, 0), 9) << std::hex << termination << " under " << other;
        }
    }
}

TEST(Dc6, TerminationBytesPastTheFileNeverMatch) {
    // The last end-of-row code is the file's last byte: nothing to compare, no crash.
    Frame frame;
    frame.width = 1;
    frame.height = 1;
    frame.codes = Bytes({1, 3, 0x80});
    Decoded d;
    Decode(d, dc6enc::Encode(OneFrame(frame, kTerminationZero)));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.At(0, 0), 3);
}

TEST(Dc6, RealTerminationsDecodeEncodedPictures) {
    const std::vector<std::string> rows = {Bytes({0, 0, 200, 0}), Bytes({1, 0, 0, 255}),
                                           Bytes({0, 0, 0, 0}), Bytes({10, 11, 12, 13})};
    for (std::uint32_t termination : {kTerminationEE, kTerminationZero, kTerminationCD}) {
        Decoded d;
        Decode(d, dc6enc::Encode(OneFrame(dc6enc::FrameOf(rows, termination), termination)));
        ASSERT_TRUE(d.ok);
        for (std::uint32_t y = 0; y < 4; ++y)
            for (std::uint32_t x = 0; x < 4; ++x)
                EXPECT_EQ(d.At(x, y), static_cast<unsigned char>(rows[y][x]));
    }
}

TEST(Dc6, BadHeadersYieldNoPicture) {
    File file = OneFrame(dc6enc::SolidFrame(2, 2, 1, kTerminationEE));
    Decoded good;
    Decode(good, dc6enc::Encode(file));
    EXPECT_TRUE(good.ok);

    File version = file;
    version.version = 5;
    File none = file;
    none.frameCountSet = true;
    none.frameCount = 0;
    File thirteen;
    for (int i = 0; i < 13; ++i)
        thirteen.frames.push_back(dc6enc::SolidFrame(2, 2, 1, kTerminationEE));
    for (const File* bad : {&version, &none, &thirteen}) {
        Decoded d;
        d.desc.rows = reinterpret_cast<unsigned char*>(AllocOrExit(4));
        Decode(d, dc6enc::Encode(*bad));
        EXPECT_FALSE(d.ok);
        EXPECT_EQ(d.desc.rows, nullptr);
    }
}

TEST(Dc6, FilesPointingOutsideThemselvesFail) {
    const std::string good = dc6enc::Encode(OneFrame(dc6enc::SolidFrame(3, 3, 1, kTerminationEE)));
    auto expectFails = [](const std::string& bytes, const char* what) {
        Decoded d;
        Decode(d, bytes);
        EXPECT_FALSE(d.ok) << what;
        EXPECT_EQ(d.desc.rows, nullptr) << what;
    };
    // Every cut short of the frame's coded data fails; the termination bytes may go.
    const std::size_t codesEnd = good.size() - 3;
    for (std::size_t size = 0; size < codesEnd; ++size)
        expectFails(good.substr(0, size), "truncated");
    Decoded cut;
    Decode(cut, good.substr(0, codesEnd));
    EXPECT_TRUE(cut.ok);

    std::string offset = good;
    offset[24] = static_cast<char>(0xF0); // frame offset far beyond the end
    expectFails(offset, "offset");
    std::string huge = good;
    huge[27] = static_cast<char>(0xFF); // offset near 4 GiB must not wrap
    expectFails(huge, "huge offset");

    Frame longer = dc6enc::SolidFrame(3, 3, 1, kTerminationEE);
    longer.lengthSet = true;
    longer.length = static_cast<std::uint32_t>(longer.codes.size() + longer.trailer.size() + 1);
    expectFails(dc6enc::Encode(OneFrame(longer)), "length past the end");
    longer.length = 0xFFFFFFFF;
    expectFails(dc6enc::Encode(OneFrame(longer)), "length near 4 GiB");
}

TEST(Dc6, EmptyOrOversizedCanvasesFail) {
    auto fails = [](std::uint32_t width, std::uint32_t height) {
        Frame frame;
        frame.width = width;
        frame.height = height;
        frame.codes = Bytes({0x80});
        frame.trailer = dc6enc::TerminationTail(kTerminationEE);
        Decoded d;
        Decode(d, dc6enc::Encode(OneFrame(frame)));
        return !d.ok;
    };
    EXPECT_TRUE(fails(0, 5));
    EXPECT_TRUE(fails(5, 0));
    EXPECT_TRUE(fails(kDc6MaxCanvasSide + 1, 1));
    EXPECT_TRUE(fails(1, 0xFFFFFFFF));
    EXPECT_FALSE(fails(kDc6MaxCanvasSide, 1));
}

TEST(Dc6, DecodesFromDiskAndFailsOnAMissingFile) {
    TempDir dir;
    WriteBytes(
        dir.File("a.dc6"),
        dc6enc::Encode(OneFrame(dc6enc::SolidFrame(2, 3, 7, kTerminationCD), kTerminationCD)));
    DibDesc desc;
    ASSERT_TRUE(DecodeDc6(desc, dir.File("a.dc6")));
    EXPECT_EQ(desc.width, 2u);
    EXPECT_EQ(desc.height, 3u);
    EXPECT_EQ(desc.rows[0], 7);
    // Handing the picture to a CDib with the item palette gives a drawable picture.
    const auto palette = BuildItemPalette();
    desc.palette = reinterpret_cast<unsigned char*>(AllocOrExit(palette.size()));
    std::copy(palette.begin(), palette.end(), desc.palette);
    CDib dib;
    EXPECT_TRUE(dib.TakeDesc(desc));
    EXPECT_EQ(desc.rows, nullptr);

    DibDesc missing;
    EXPECT_FALSE(DecodeDc6(missing, dir.File("none.dc6")));
    EXPECT_EQ(missing.rows, nullptr);
}

TEST(Dc6, PaletteEntryZeroIsTheBackdrop) {
    const auto palette = BuildItemPalette();
    EXPECT_EQ(palette[0], 5);  // blue
    EXPECT_EQ(palette[1], 58); // green
    EXPECT_EQ(palette[2], 59); // red
    EXPECT_EQ(palette[3], 0);
    // The rest is the table as it stands, with a zero fourth byte.
    for (std::size_t i = 1; i < kPaletteEntries; ++i) {
        EXPECT_EQ(palette[4 * i], kItemPalette[3 * i]);
        EXPECT_EQ(palette[4 * i + 1], kItemPalette[3 * i + 1]);
        EXPECT_EQ(palette[4 * i + 2], kItemPalette[3 * i + 2]);
        EXPECT_EQ(palette[4 * i + 3], 0);
    }
    // Spot checks against the table's first, middle and last lines.
    EXPECT_EQ(palette[4 * 1 + 0], 0x00);
    EXPECT_EQ(palette[4 * 1 + 1], 0x00);
    EXPECT_EQ(palette[4 * 1 + 2], 0x24);
    EXPECT_EQ(palette[4 * 2 + 0], 0x08);
    EXPECT_EQ(palette[4 * 128 + 0], 0x4C);
    EXPECT_EQ(palette[4 * 128 + 1], 0x90);
    EXPECT_EQ(palette[4 * 128 + 2], 0x58);
    EXPECT_EQ(palette[4 * 255 + 0], 0xFF);
    EXPECT_EQ(palette[4 * 255 + 1], 0xFF);
    EXPECT_EQ(palette[4 * 255 + 2], 0xFF);
    EXPECT_EQ(kItemPalette[0], 0);
}

// Base lists where each list has one row for `code` with the given pictures.
CBaseLists ListsWith(const std::string& code, const std::string& fallback,
                     const std::string& picture) {
    CBaseLists lists;
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i) {
        const testing::Row row = i == 2 ? testing::Row{code, fallback, picture} : testing::Row{};
        lists.Assign(i, testing::NamedTable({"code", "invfile", "uniqueinvfile"}, {row}));
    }
    return lists;
}

TEST(Dc6, PictureNamesComeFromTheListsWithAFallback) {
    EXPECT_EQ(ItemPictureName(ListsWith("cap", "invcap", "invcapu"), "cap"), "invcapu");
    EXPECT_EQ(ItemPictureName(ListsWith("cap", "invcap", ""), "cap"), "invcap");
    EXPECT_EQ(ItemPictureName(ListsWith("cap", "", ""), "cap"), "");
    EXPECT_EQ(ItemPictureName(ListsWith("cap", "invcap", "invcapu"), "xyz"), "");
}

TEST(Dc6, RingsAndAmuletsAlwaysShowTheirFirstLook) {
    EXPECT_EQ(ItemPictureName(ListsWith("rin", "a", "b"), "rin"), "invrin1");
    EXPECT_EQ(ItemPictureName(ListsWith("amu", "a", "b"), "amu"), "invamu1");
    EXPECT_EQ(ItemPictureName(CBaseLists{}, "rin"), "invrin1");
    // Another case is an ordinary code.
    EXPECT_EQ(ItemPictureName(ListsWith("RIN", "a", "b"), "RIN"), "b");
    EXPECT_EQ(ItemPictureName(ListsWith("Amu", "a", ""), "Amu"), "a");
}

TEST(Dc6, PictureNamesThatCouldLeaveTheDirectoryAreRefused) {
    for (const char* name : {"../invcap", "sub/invcap", "sub\\invcap", "..", "a..b", "/abs"}) {
        EXPECT_EQ(ItemPictureName(ListsWith("cap", "", name), "cap"), "") << name;
        EXPECT_EQ(ItemPictureName(ListsWith("cap", name, ""), "cap"), "") << name;
    }
    EXPECT_EQ(ItemPictureName(ListsWith("cap", "", "inv.cap"), "cap"), "inv.cap");
}

TEST(Dc6, EveryTransparentPixelShowsTheBackdropInAPng) {
    std::vector<std::string> rows = {Bytes({0, 5}), Bytes({6, 0})};
    Decoded d;
    Decode(d, dc6enc::Encode(OneFrame(dc6enc::FrameOf(rows, kTerminationEE))));
    ASSERT_TRUE(d.ok);
    const auto palette = BuildItemPalette();
    d.desc.palette = reinterpret_cast<unsigned char*>(AllocOrExit(palette.size()));
    std::copy(palette.begin(), palette.end(), d.desc.palette);
    std::string png;
    ASSERT_TRUE(EncodePng(d.desc, png));
    // The PLTE chunk's first entry is red, green, blue.
    const std::size_t plte = png.find("PLTE");
    ASSERT_NE(plte, std::string::npos);
    EXPECT_EQ(static_cast<unsigned char>(png[plte + 4]), 59);
    EXPECT_EQ(static_cast<unsigned char>(png[plte + 5]), 58);
    EXPECT_EQ(static_cast<unsigned char>(png[plte + 6]), 5);
}

TEST(Dc6, PngEncodingRefusesWhatItCannotWrite) {
    std::string png = "old";
    DibDesc empty;
    EXPECT_FALSE(EncodePng(empty, png));
    EXPECT_TRUE(png.empty());
    unsigned char pixels[8] = {};
    DibDesc noPalette;
    noPalette.bitsPerPixel = 8;
    noPalette.width = 2;
    noPalette.height = 2;
    noPalette.stride = 4;
    noPalette.rows = pixels;
    EXPECT_FALSE(EncodePng(noPalette, png));
    DibDesc rgb = noPalette;
    rgb.bitsPerPixel = 16;
    EXPECT_FALSE(EncodePng(rgb, png));
    rgb.bitsPerPixel = 15;
    EXPECT_TRUE(EncodePng(rgb, png));
    EXPECT_EQ(png.substr(1, 3), "PNG");
}

// tolmere-cli dc6, run as scripts run it.
int RunCli(const TempDir& dir, const std::string& args, std::string& err) {
    const std::string errPath = dir.File("stderr");
    const std::string command = std::string("'") + TOLMERE_CLI + "' " + args + " >'" +
                                dir.File("stdout") + "' 2>'" + errPath + "'";
    const int status = std::system(command.c_str());
    err = ReadBytes(errPath);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::uint32_t BigEndianAt(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

TEST(Dc6Cli, ConvertsAPictureToPng) {
    TempDir dir;
    File file;
    file.frames.push_back(dc6enc::SolidFrame(256, 7, 1, kTerminationCD));
    file.frames.push_back(dc6enc::SolidFrame(30, 7, 2, kTerminationCD));
    file.termination = kTerminationCD;
    WriteBytes(dir.File("in.dc6"), dc6enc::Encode(file));
    std::string err;
    ASSERT_EQ(RunCli(dir, "dc6 '" + dir.File("in.dc6") + "' '" + dir.File("out.png") + "'", err), 0)
        << err;
    const std::string png = ReadBytes(dir.File("out.png"));
    ASSERT_GE(png.size(), 33u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndianAt(png, 16), 286u);
    EXPECT_EQ(BigEndianAt(png, 20), 7u);
    EXPECT_EQ(png[24], 8); // bit depth
    EXPECT_EQ(png[25], 3); // paletted
    // Entry 0, where the picture has no pixel, is see-through unless --opaque says not.
    const std::size_t trns = png.find("tRNS");
    ASSERT_NE(trns, std::string::npos);
    EXPECT_EQ(BigEndianAt(png, trns - 4), 1u);
    EXPECT_EQ(png[trns + 4], 0);
    ASSERT_EQ(
        RunCli(dir, "dc6 --opaque '" + dir.File("in.dc6") + "' '" + dir.File("out.png") + "'", err),
        0)
        << err;
    EXPECT_EQ(ReadBytes(dir.File("out.png")).find("tRNS"), std::string::npos);
}

TEST(Dc6Cli, ABadFileLeavesNoPng) {
    TempDir dir;
    File file = OneFrame(dc6enc::SolidFrame(4, 4, 1, kTerminationEE));
    file.version = 5;
    WriteBytes(dir.File("bad.dc6"), dc6enc::Encode(file));
    std::string err;
    EXPECT_EQ(RunCli(dir, "dc6 '" + dir.File("bad.dc6") + "' '" + dir.File("out.png") + "'", err),
              1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    EXPECT_FALSE(testing::FileExists(dir.File("out.png")));
    EXPECT_EQ(testing::ListDir(dir.Path()), "bad.dc6 stderr stdout");

    EXPECT_EQ(RunCli(dir, "dc6 '" + dir.File("none.dc6") + "' '" + dir.File("o.png") + "'", err),
              1);
    EXPECT_FALSE(testing::FileExists(dir.File("o.png")));
}

} // namespace
} // namespace tolmere
