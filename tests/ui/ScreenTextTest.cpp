// SPDX-License-Identifier: MIT
// Text on the screen: table and string table bytes shown and stored again, and the
// file dialogs' filters.
#include "ui/ScreenText.h"
#include "ui/FileDialogs.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

TEST(ScreenTextTest, Utf8AndWindows1252CellsShowAsTheyWereMeant) {
    EXPECT_EQ(ScreenText("Caf\xc3\xa9", TextSource::kTableCell), QString::fromUtf8("Café"));
    EXPECT_EQ(ScreenText("Caf\xe9 \x80", TextSource::kTableCell), QString::fromUtf8("Café €"));
    // The game's colour code: 0xFF 'c' in a string table is UTF-8 "ÿc".
    EXPECT_EQ(ScreenText("\xc3\xbf"
                         "c4Gold",
                         TextSource::kStringTable),
              QString::fromUtf8("ÿc4Gold"));
    for (const char* invalid : {"\xc0\xaf", "\xed\xa0\x80", "\xe2\x82", "\xf5\x80\x80\x80"})
        EXPECT_FALSE(IsValidUtf8(invalid)) << invalid;
    EXPECT_TRUE(IsValidUtf8("\xf0\x9f\x98\x80 plain"));
}

TEST(ScreenTextTest, UntouchedTextGoesBackByteForByte) {
    // Bytes no decoding can show faithfully: a lone 0x81 and invalid UTF-8 in a string.
    for (const std::string& original : {std::string("a\x81z\xff"), std::string("x\x9d")}) {
        const QString shown = ScreenText(original, TextSource::kTableCell);
        EXPECT_EQ(StoredText(shown, original, TextSource::kTableCell), original);
    }
    const std::string broken = "ab\xff"
                               "c";
    EXPECT_EQ(
        StoredText(ScreenText(broken, TextSource::kStringTable), broken, TextSource::kStringTable),
        broken);
}

TEST(ScreenTextTest, TypedTextKeepsTheSourcesEncodingAndNoCellBreaks) {
    EXPECT_EQ(StoredText(QString::fromUtf8("Café 2"), "Caf\xe9", TextSource::kTableCell),
              "Caf\xe9 2");
    EXPECT_EQ(StoredText(QString::fromUtf8("Café 2"), "Caf\xc3\xa9", TextSource::kTableCell),
              "Caf\xc3\xa9 2");
    // A character Windows-1252 lacks turns the whole cell into UTF-8 rather than losing it.
    EXPECT_EQ(StoredText(QString::fromUtf8("é→"), "\xe9", TextSource::kTableCell),
              "\xc3\xa9\xe2\x86\x92");
    EXPECT_EQ(StoredText("a\tb\r\nc", "x", TextSource::kTableCell), "a b  c");
    EXPECT_EQ(StoredText("a\nb", "x", TextSource::kStringTable), "a\nb");
}

TEST(FileDialogs, FiltersReadAsTheyAreWrittenAndAllFilesMeansAll) {
    EXPECT_EQ(QtFilter("Tab Delimited Text File (*.txt)|*.txt|All Files(*.*)|*.*||"),
              "Tab Delimited Text File (*.txt) (*.txt);;All Files(*.*) (*)");
}

} // namespace
} // namespace tolmere
