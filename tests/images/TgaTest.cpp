#include "images/Tga.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tolmere {
namespace {

// A plain 24-bit picture as the skin generator writes it (sides under 256), pixel n in
// file order having the bytes 16n + 1, 16n + 2, 16n + 3.
std::string Tga(int width, int height) {
    std::string file(18, '\0');
    file[2] = 2;
    file[12] = static_cast<char>(width);
    file[14] = static_cast<char>(height);
    file[16] = 24;
    for (int n = 0; n < width * height * 3; ++n)
        file += static_cast<char>(n / 3 * 16 + n % 3 + 1);
    return file;
}

// Loads the bytes as an in-memory file of that name, as the program loads its skin.
bool Load(CDib& dib, const std::string& bytes, const char* name = ".tga") {
    MemFileDesc mem;
    std::strncpy(mem.name, name, sizeof mem.name - 1);
    mem.data = reinterpret_cast<const unsigned char*>(bytes.data());
    mem.length = bytes.size();
    return dib.LoadPicture(&mem);
}

TEST(Tga, TheSkinsLayoutLoadsBottomRowLastAsBlueGreenRed) {
    CDib dib;
    // The extension is the text from the last dot on, in any case.
    ASSERT_TRUE(Load(dib, Tga(3, 2), "x.y.Tga"));
    const DibDesc& d = dib.Desc();
    EXPECT_EQ(d.bitsPerPixel, 24u);
    EXPECT_EQ(d.width, 3u);
    EXPECT_EQ(d.height, 2u);
    EXPECT_EQ(d.stride, 12u);
    // The file's second row first, each row padded with zeros.
    EXPECT_EQ(std::string(d.rows.begin(), d.rows.end()),
              std::string("\x31\x32\x33\x41\x42\x43\x51\x52\x53\0\0\0"
                          "\x01\x02\x03\x11\x12\x13\x21\x22\x23\0\0\0",
                          24));
}

TEST(Tga, WhatIsNotAPictureWeReadIsRefusedAndThePictureKept) {
    CDib dib;
    ASSERT_TRUE(Load(dib, Tga(1, 1)));
    const std::string good = Tga(3, 3);
    std::vector<std::string> files;
    // Header bytes that make it another kind of picture: an identification field, a
    // colour map (type, length, entry size), run-length packing, 32 bits, no width, no
    // height; and 65283 × 65283 pixels over a few, refused before they are allocated.
    const std::pair<int, int> patches[] = {{0, 3},   {1, 1},  {5, 2},  {7, 24},   {2, 10},
                                           {16, 32}, {12, 0}, {14, 0}, {13, 0xFF}};
    for (const auto& [at, value] : patches) {
        files.push_back(good);
        files.back()[at] = static_cast<char>(value);
    }
    files.back()[15] = static_cast<char>(0xFF);
    files.push_back(good.substr(0, good.size() - 1));
    files.push_back(good.substr(0, 17));
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_FALSE(Load(dib, files[i])) << "file " << i;
    EXPECT_FALSE(Load(dib, good, ".png"));
    EXPECT_EQ(dib.Desc().width, 1u);
}

} // namespace
} // namespace tolmere
