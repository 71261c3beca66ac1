// SPDX-License-Identifier: MIT
// Tables read and written again: every byte must come back. The game's own are read
// where they lie beside the checkout and never copied into it; the checkout's invented
// tables, one or more in each layout, are read on every run.
#include "tables/StrTbl.h"
#include "tables/StrTblText.h"
#include "tables/TxtTable.h"

#include "support/TableBuilder.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace tolmere {
namespace {

namespace fs = std::filesystem;

// Files below `dir` whose names end in `extension`, in a stable order.
std::vector<std::string> RealFiles(const std::string& dir, const std::string& extension) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// Where two files first differ, so that a failure names a place and not two whole files.
std::size_t FirstDifference(const std::string& a, const std::string& b) {
    auto [i, j] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    return i == a.end() && j == b.end() ? std::string::npos
                                        : static_cast<std::size_t>(i - a.begin());
}

// The same file with every CR LF made an LF, as modders often keep tables in git.
std::string LfOnly(const std::string& bytes) {
    std::string lf;
    lf.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != '\r' || i + 1 == bytes.size() || bytes[i + 1] != '\n')
            lf += bytes[i];
    return lf;
}

// Every tab table below `dir` comes back byte for byte, as it is and made LF-only.
void ExpectTabTablesComeBack(const std::string& dir) {
    const std::vector<std::string> files = RealFiles(dir, ".txt");
    ASSERT_FALSE(files.empty()) << dir;
    for (const std::string& path : files) {
        const std::string crlf = testing::ReadBytes(path);
        const std::string lf = LfOnly(crlf);
        for (const std::string* bytes : {&crlf, &lf}) {
            CTxtTable table;
            table.Parse(*bytes);
            EXPECT_EQ(FirstDifference(table.Serialize(), *bytes), std::string::npos)
                << path << (bytes == &lf ? " with LF line ends" : "");
        }
    }
}

TEST(CheckoutFiles, TabTablesComeBackByteForByteWithEitherLineEnd) {
    for (const char* dir : {"/tests/data", "/data/demo"})
        ExpectTabTablesComeBack(TOLMERE_SOURCE_DIR + std::string(dir));
}

TEST(RealFiles, TabTablesComeBackByteForByteWithEitherLineEnd) {
    REAL_TABLES_OR_SKIP(dir);
    ExpectTabTablesComeBack(dir);
}

// String tables open and come back byte for byte, directly and through their text form
// (tbl2txt, then txt2tbl). Cut short they are refused; with a bit flipped they are
// refused with a reason or, where the game would read them too, read and written back
// as they are.
TEST(RealFiles, StringTablesOpenAndComeBackByteForByte) {
    REAL_TABLES_OR_SKIP(dir);
    const std::vector<std::string> files = RealFiles(dir, ".tbl");
    ASSERT_FALSE(files.empty());
    std::mt19937 rng(7);
    for (const std::string& path : files) {
        const std::string bytes = testing::ReadBytes(path);
        CStrTbl table;
        std::string error;
        ASSERT_TRUE(table.Parse(bytes, &error)) << path << ": " << error;
        std::string written;
        ASSERT_TRUE(table.Serialize(written)) << path;
        EXPECT_EQ(FirstDifference(written, bytes), std::string::npos) << path;
        CStrTbl fromText;
        ASSERT_TRUE(StrTblFromText(StrTblToText(table), fromText, error)) << path << error;
        ASSERT_TRUE(fromText.Serialize(written)) << path;
        EXPECT_EQ(FirstDifference(written, bytes), std::string::npos) << path << " as text";

        for (std::size_t size = 0; size < bytes.size(); ++size)
            ASSERT_FALSE(CStrTbl().Parse(std::string_view(bytes).substr(0, size)))
                << path << " cut at " << size;
        for (int flip = 0; flip < 300; ++flip) {
            std::string damaged = bytes;
            const std::size_t at = rng() % damaged.size();
            damaged[at] = static_cast<char>(damaged[at] ^ (1 << (rng() % 8)));
            CStrTbl read;
            error.clear();
            if (read.Parse(damaged, &error)) {
                ASSERT_TRUE(read.Serialize(written)) << path << " byte " << at;
                EXPECT_EQ(FirstDifference(written, damaged), std::string::npos)
                    << path << " byte " << at;
            } else {
                EXPECT_NE(error, "") << path << " byte " << at;
            }
        }
    }
}

} // namespace
} // namespace tolmere
