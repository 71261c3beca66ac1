#include "images/Tga.h"

#include "images/Dib.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tolmere {
namespace {

struct TgaHeader {
    unsigned idLength = 0;
    unsigned colourMapType = 0;
    unsigned imageType = 2;
    unsigned colourMapLength = 0;
    unsigned colourMapEntrySize = 0;
    unsigned width = 1;
    unsigned height = 1;
    unsigned depth = 24;
    unsigned descriptor = 0;
};

void PutU16(std::string& out, unsigned value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

std::string HeaderBytes(const TgaHeader& h) {
    std::string out;
    out += static_cast<char>(h.idLength);
    out += static_cast<char>(h.colourMapType);
    out += static_cast<char>(h.imageType);
    PutU16(out, 0); // colour map first index
    PutU16(out, h.colourMapLength);
    out += static_cast<char>(h.colourMapEntrySize);
    PutU16(out, 0); // origin x
    PutU16(out, 0); // origin y
    PutU16(out, h.width);
    PutU16(out, h.height);
    out += static_cast<char>(h.depth);
    out += static_cast<char>(h.descriptor);
    return out;
}

// A pixel of `bytes` bytes, each byte derived from the tag so pixels are told apart.
std::string Pixel(unsigned tag, unsigned bytes) {
    std::string out;
    for (unsigned i = 0; i < bytes; ++i)
        out += static_cast<char>(tag * 16 + i + 1);
    return out;
}

// An uncompressed picture whose pixel n (in file order) is Pixel(n).
std::string PlainTga(unsigned width, unsigned height, unsigned depth) {
    TgaHeader h;
    h.width = width;
    h.height = height;
    h.depth = depth;
    std::string out = HeaderBytes(h);
    for (unsigned n = 0; n < width * height; ++n)
        out += Pixel(n, (depth + 7) / 8);
    return out;
}

std::string RunPacket(unsigned count, const std::string& pixel) {
    return static_cast<char>(0x80 | (count - 1)) + pixel;
}

std::string RawPacket(const std::vector<std::string>& pixels) {
    std::string out(1, static_cast<char>(pixels.size() - 1));
    for (const std::string& p : pixels)
        out += p;
    return out;
}

std::string RleTga(unsigned width, unsigned height, unsigned depth, const std::string& packets) {
    TgaHeader h;
    h.imageType = 10;
    h.width = width;
    h.height = height;
    h.depth = depth;
    return HeaderBytes(h) + packets;
}

// A memory file over `bytes`, which must outlive it.
MemFileDesc MemoryFile(const std::string& bytes, const char* name = ".tga") {
    MemFileDesc mem;
    std::strncpy(mem.name, name, sizeof mem.name - 1);
    mem.data = reinterpret_cast<const unsigned char*>(bytes.data());
    mem.length = bytes.size();
    return mem;
}

bool Decode(const std::string& bytes, DibDesc& desc) {
    MemFileDesc mem = MemoryFile(bytes);
    return DecodePicture(desc, &mem);
}

bool Loads(const std::string& bytes) {
    DibDesc desc;
    bool ok = Decode(bytes, desc);
    if (!ok) {
        EXPECT_EQ(desc.rows, nullptr);
        EXPECT_EQ(desc.width, 0u);
    }
    ReleaseDesc(desc);
    return ok;
}

std::string RowBytes(const CDib& dib, unsigned row) {
    const DibDesc& d = dib.Desc();
    return std::string(reinterpret_cast<const char*>(d.rows) + std::size_t{row} * d.stride,
                       d.stride);
}

TEST(Tga, FivePixelsOf24BitsGetAStrideOf16) {
    CDib dib;
    std::string file = PlainTga(5, 2, 24);
    MemFileDesc mem = MemoryFile(file);
    ASSERT_TRUE(dib.LoadPicture(&mem));
    EXPECT_EQ(dib.Desc().bitsPerPixel, 24u);
    EXPECT_EQ(dib.Desc().width, 5u);
    EXPECT_EQ(dib.Desc().height, 2u);
    EXPECT_EQ(dib.Desc().stride, 16u);
    EXPECT_EQ(dib.Desc().palette, nullptr);
    // The padding byte at the end of each row is zero.
    EXPECT_EQ(RowBytes(dib, 0)[15], '\0');
    EXPECT_EQ(RowBytes(dib, 1)[15], '\0');
}

TEST(Tga, FileRowsAreReversedWhateverTheOriginBit) {
    for (unsigned descriptor : {0x00u, 0x20u}) {
        TgaHeader h;
        h.width = 2;
        h.height = 3;
        h.descriptor = descriptor;
        std::string file = HeaderBytes(h);
        for (unsigned n = 0; n < 6; ++n)
            file += Pixel(n, 3);
        MemFileDesc mem = MemoryFile(file);
        CDib dib;
        ASSERT_TRUE(dib.LoadPicture(&mem));
        for (unsigned fileRow = 0; fileRow < 3; ++fileRow) {
            std::string expected = Pixel(fileRow * 2, 3) + Pixel(fileRow * 2 + 1, 3) + '\0' + '\0';
            EXPECT_EQ(RowBytes(dib, 2 - fileRow), expected) << "file row " << fileRow;
        }
    }
}

TEST(Tga, SixteenBitsLoadAsFifteen) {
    CDib dib;
    std::string file = PlainTga(3, 1, 16);
    MemFileDesc mem = MemoryFile(file);
    ASSERT_TRUE(dib.LoadPicture(&mem));
    EXPECT_EQ(dib.Desc().bitsPerPixel, 15u);
    EXPECT_EQ(dib.Desc().stride, 8u);
    const unsigned char* h = dib.Header();
    EXPECT_EQ(h[14] | (h[15] << 8), 16);                // bit count
    EXPECT_EQ(h[16] | (h[17] << 8) | h[18] | h[19], 0); // plain compression
    EXPECT_EQ(RowBytes(dib, 0).substr(0, 6), Pixel(0, 2) + Pixel(1, 2) + Pixel(2, 2));
}

TEST(Tga, FifteenAndThirtyTwoBitsLoad) {
    DibDesc desc;
    ASSERT_TRUE(Decode(PlainTga(3, 2, 15), desc));
    EXPECT_EQ(desc.bitsPerPixel, 15u);
    EXPECT_EQ(desc.stride, 8u);
    ASSERT_TRUE(Decode(PlainTga(3, 2, 32), desc));
    EXPECT_EQ(desc.bitsPerPixel, 32u);
    EXPECT_EQ(desc.stride, 12u);
    ReleaseDesc(desc);
}

TEST(Tga, IdentificationFieldIsSkipped) {
    TgaHeader h;
    h.idLength = 5;
    h.width = 1;
    h.height = 1;
    DibDesc desc;
    ASSERT_TRUE(Decode(HeaderBytes(h) + "hello" + Pixel(7, 3), desc));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(desc.rows), 3), Pixel(7, 3));
    ReleaseDesc(desc);

    // An identification field longer than the file.
    EXPECT_FALSE(Loads(HeaderBytes(h) + "hel"));
}

TEST(Tga, OnlyTrueColourTypesWithoutColourMapsLoad) {
    std::string pixels = Pixel(0, 3) + Pixel(1, 3) + Pixel(2, 3) + Pixel(3, 3);
    for (unsigned type : {0u, 1u, 3u, 9u, 11u, 32u, 33u}) {
        TgaHeader h;
        h.imageType = type;
        h.width = 2;
        h.height = 2;
        EXPECT_FALSE(Loads(HeaderBytes(h) + pixels)) << "type " << type;
    }
    TgaHeader mapped;
    mapped.colourMapType = 1;
    EXPECT_FALSE(Loads(HeaderBytes(mapped) + pixels));
    TgaHeader mapLength;
    mapLength.colourMapLength = 2;
    EXPECT_FALSE(Loads(HeaderBytes(mapLength) + pixels));
    TgaHeader mapEntry;
    mapEntry.colourMapEntrySize = 24;
    EXPECT_FALSE(Loads(HeaderBytes(mapEntry) + pixels));
    for (unsigned depth : {0u, 1u, 8u, 17u, 23u, 31u, 33u}) {
        TgaHeader h;
        h.depth = depth;
        EXPECT_FALSE(Loads(HeaderBytes(h) + pixels)) << "depth " << depth;
    }
    TgaHeader noWidth;
    noWidth.width = 0;
    EXPECT_FALSE(Loads(HeaderBytes(noWidth) + pixels));
    TgaHeader noHeight;
    noHeight.height = 0;
    EXPECT_FALSE(Loads(HeaderBytes(noHeight) + pixels));
}

TEST(Tga, ExtensionPicksTheDecoderInAnyCase) {
    std::string file = PlainTga(2, 2, 24);
    for (const char* name : {".tga", ".TGA", ".Tga", "x.y.tga"}) {
        MemFileDesc mem = MemoryFile(file, name);
        CDib dib;
        EXPECT_TRUE(dib.LoadPicture(&mem)) << name;
    }
    for (const char* name : {".png", ".bmp", ".pcx", ".tga.png", ".tgax", "."}) {
        MemFileDesc mem = MemoryFile(file, name);
        CDib dib;
        EXPECT_FALSE(dib.LoadPicture(&mem)) << name;
        EXPECT_TRUE(dib.IsEmpty());
    }

    testing::TempDir dir;
    testing::WriteBytes(dir.File("skin.TGA"), file);
    testing::WriteBytes(dir.File("skin.png"), file);
    testing::WriteBytes(dir.File("skin"), file);
    CDib dib;
    EXPECT_FALSE(dib.LoadPicture(dir.File("skin.png")));
    EXPECT_FALSE(dib.LoadPicture(dir.File("skin")));
    EXPECT_FALSE(dib.LoadPicture(dir.File("missing.tga")));
    EXPECT_TRUE(dib.IsEmpty());
    ASSERT_TRUE(dib.LoadPicture(dir.File("skin.TGA")));
    EXPECT_EQ(dib.Desc().width, 2u);
    EXPECT_EQ(RowBytes(dib, 1).substr(0, 6), Pixel(0, 3) + Pixel(1, 3));
}

TEST(Tga, OwnedMemoryFileIsReleasedWhateverTheOutcome) {
    // The leak checker watches: each owned file must be gone after the call.
    for (const char* name : {".tga", ".png"}) {
        for (const std::string& bytes : {PlainTga(2, 2, 24), std::string("short")}) {
            auto* mem = new MemFileDesc;
            std::strncpy(mem->name, name, sizeof mem->name - 1);
            auto* data = new unsigned char[bytes.size()];
            std::memcpy(data, bytes.data(), bytes.size());
            mem->data = data;
            mem->length = bytes.size();
            mem->owned = true;
            CDib dib;
            dib.LoadPicture(mem);
        }
    }
}

TEST(Tga, RunLengthPacketsRunAcrossRowEnds) {
    // 3 × 2: a run of four A fills the file's first row and one pixel of the second,
    // then B and C literally.
    std::string a = Pixel(10, 3), b = Pixel(11, 3), c = Pixel(12, 3);
    std::string file = RleTga(3, 2, 24, RunPacket(4, a) + RawPacket({b, c}));
    MemFileDesc mem = MemoryFile(file);
    CDib dib;
    ASSERT_TRUE(dib.LoadPicture(&mem));
    EXPECT_EQ(dib.Desc().stride, 12u);
    EXPECT_EQ(RowBytes(dib, 1), a + a + a + std::string(3, '\0'));
    EXPECT_EQ(RowBytes(dib, 0), a + b + c + std::string(3, '\0'));
}

TEST(Tga, RawPacketRunsAcrossRowEnds) {
    std::vector<std::string> five;
    for (unsigned n = 0; n < 5; ++n)
        five.push_back(Pixel(n, 4));
    std::string file = RleTga(2, 3, 32, RawPacket(five) + RunPacket(1, Pixel(9, 4)));
    DibDesc desc;
    ASSERT_TRUE(Decode(file, desc));
    auto row = [&](unsigned r) {
        return std::string(reinterpret_cast<char*>(desc.rows) + r * desc.stride, desc.stride);
    };
    EXPECT_EQ(row(2), five[0] + five[1]);
    EXPECT_EQ(row(1), five[2] + five[3]);
    EXPECT_EQ(row(0), five[4] + Pixel(9, 4));
    ReleaseDesc(desc);
}

TEST(Tga, BytesAfterTheLastPixelAreIgnored) {
    std::string file = RleTga(2, 1, 24, RunPacket(2, Pixel(1, 3)) + "TRUEVISION-XFILE.");
    EXPECT_TRUE(Loads(file));
}

TEST(Tga, OvershootingPacketFailsAndLeavesThePicture) {
    CDib dib;
    std::string good = PlainTga(1, 1, 24);
    MemFileDesc goodMem = MemoryFile(good);
    ASSERT_TRUE(dib.LoadPicture(&goodMem));
    const unsigned char* rows = dib.Desc().rows;

    // Five pixels into a 2 × 2 picture, as a run and as literal pixels, and a final
    // packet one pixel too long after a row's worth.
    std::vector<std::string> files = {
        RleTga(2, 2, 24, RunPacket(5, Pixel(1, 3))),
        RleTga(2, 2, 24, RunPacket(128, Pixel(1, 3))),
        RleTga(2, 2, 24,
               RawPacket({Pixel(1, 3), Pixel(2, 3), Pixel(3, 3), Pixel(4, 3), Pixel(5, 3)})),
        RleTga(2, 2, 24, RunPacket(2, Pixel(1, 3)) + RunPacket(3, Pixel(2, 3))),
    };
    for (const std::string& file : files) {
        MemFileDesc mem = MemoryFile(file);
        EXPECT_FALSE(dib.LoadPicture(&mem));
        EXPECT_EQ(dib.Desc().rows, rows);
        EXPECT_EQ(dib.Desc().width, 1u);
    }
}

TEST(Tga, TruncatedFilesFail) {
    std::string plain = PlainTga(3, 3, 24);
    for (std::size_t cut = 0; cut < plain.size(); ++cut)
        EXPECT_FALSE(Loads(plain.substr(0, cut))) << "plain cut at " << cut;
    EXPECT_TRUE(Loads(plain));

    std::string packed =
        RleTga(3, 3, 32, RawPacket({Pixel(1, 4), Pixel(2, 4)}) + RunPacket(7, Pixel(3, 4)));
    for (std::size_t cut = 0; cut < packed.size(); ++cut)
        EXPECT_FALSE(Loads(packed.substr(0, cut))) << "packed cut at " << cut;
    EXPECT_TRUE(Loads(packed));
}

TEST(Tga, HugeClaimOverFewBytesFailsWithoutAllocating) {
    // 65535 × 65535 at 32 bits would be 16 GiB; the file cannot hold that many pixels,
    // packed or not, so nothing that size is asked for.
    EXPECT_FALSE(Loads(PlainTga(1, 1, 32).replace(12, 4, "\xFF\xFF\xFF\xFF")));
    EXPECT_FALSE(Loads(RleTga(65535, 65535, 32, RunPacket(128, Pixel(1, 4)))));
}

TEST(Tga, DecodeTgaReadsFromTheCurrentPosition) {
    std::string bytes = "junk" + PlainTga(1, 2, 24);
    MemFileDesc mem = MemoryFile(bytes);
    CBinFile file;
    ASSERT_TRUE(file.Open(&mem));
    file.Seek(4, CBinFile::kFromStart);
    DibDesc desc;
    ASSERT_TRUE(DecodeTga(desc, file));
    EXPECT_EQ(desc.height, 2u);
    ReleaseDesc(desc);
}

} // namespace
} // namespace tolmere
