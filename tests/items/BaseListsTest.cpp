// SPDX-License-Identifier: MIT
#include "items/BaseLists.h"
#include "images/Dc6.h"
#include "items/ItemPictures.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::NamedTable;
using testing::Row;

std::string Found(const CBaseLists& lists, const std::string& code) {
    BaseItem item{"-", "-", "-", "-"};
    lists.FindBaseItem(code, item);
    return item.name + "|" + item.picture + "|" + item.fallbackPicture + "|" + item.setPicture;
}

TEST(BaseLists, ColumnsAreFoundByNameAndTheLastMatchOfTheLastListDecides) {
    CBaseLists lists;
    // Columns in any order and letter case; "namestr" stands in for a missing "name".
    lists.Assign(0, NamedTable({"name", "x", "Code", "invfile", "uniqueinvfile", "setinvfile"},
                               {{"Hand Axe", "", "hax", "invhax", "", "invhaxs"},
                                {"First", "", "dup", "a", "b", ""},
                                {"Second", "", "dup", "c", "d", ""}}));
    lists.Assign(1, NamedTable({"namestr", "code", "invfile"}, {}));
    EXPECT_FALSE(lists.Loaded()); // misc is still empty
    lists.Assign(2,
                 NamedTable({"uniqueinvfile", "code", "invfile", "name"},
                            {{"uniq", "hax", "invmisc", "Misc Axe"}, {"", "amu", "invamu", ""}}));
    EXPECT_TRUE(lists.Loaded());
    EXPECT_EQ(lists.Layout(1).nameColumn, 0);
    EXPECT_EQ(lists.Layout(2).setPictureColumn, -1);

    // Misc has no set picture column, so the weapon row's stays.
    EXPECT_EQ(Found(lists, "hax"), "Misc Axe|uniq|invmisc|invhaxs");
    EXPECT_EQ(Found(lists, "dup"), "Second|d|c|");
    EXPECT_EQ(Found(lists, "HAX"), "-|-|-|-"); // codes compare case-sensitively

    // A list without a code column matches nothing; the misc row still answers.
    lists.Assign(0, NamedTable({"name", "invfile", "uniqueinvfile"}, {{"hax", "invhax", "x"}}));
    EXPECT_EQ(Found(lists, "hax"), "Misc Axe|uniq|invmisc|-");
}

TEST(BaseLists, PictureNamesFallBackAndNeverLeaveThePictureFolder) {
    const struct {
        const char* code;
        const char* invfile;
        const char* uniqueinvfile;
        const char* expected;
    } cases[] = {
        {"cap", "invcap", "invcapu", "invcapu"},
        {"cap", "invcap", "", "invcap"},
        {"cap", "", "", ""},
        // Rings and amulets come in several looks; the first stands for them all.
        {"rin", "a", "b", "invrin1"},
        {"amu", "a", "b", "invamu1"},
        {"RIN", "a", "b", "b"},
        // The name is joined to a folder: a cell must not steer it elsewhere.
        {"cap", "", "../invcap", ""},
        {"cap", "sub/invcap", "", ""},
        {"cap", "", "sub\\invcap", ""},
        {"cap", "..", "", ""},
        {"cap", "", "a..b", ""},
        {"cap", "", "inv\001cap", ""},
        {"cap", "", "inv.cap", "inv.cap"},
    };
    for (const auto& c : cases) {
        CBaseLists lists;
        lists.Assign(2, NamedTable({"code", "invfile", "uniqueinvfile"},
                                   {{c.code, c.invfile, c.uniqueinvfile}}));
        EXPECT_EQ(ItemPictureName(lists, c.code), c.expected)
            << c.invfile << " " << c.uniqueinvfile;
    }
    EXPECT_EQ(ItemPictureName(CBaseLists{}, "xyz"), "");
}

// The real lists of both game versions, and which picture a unique item of the real
// tables shows: its own, its base item's unique one, else the base item's own; set items
// their base item's set picture.
TEST(BaseLists, RealItemsShowThePictureTheGameChooses) {
    REAL_TABLES_OR_SKIP(real);
    const auto load = [&](CBaseLists& lists, const std::string& version,
                          const std::vector<std::string>& files) {
        for (std::size_t i = 0; i < CBaseLists::kListCount; ++i)
            ASSERT_TRUE(lists.Load(i, real + "/" + version + "/" + files[i]));
    };
    CBaseLists old;
    load(old, "109b", {"weapons.txt", "armor.txt", "misc.txt"});
    EXPECT_EQ(Found(old, "amu"), "amulet||invamu|-"); // no set picture column
    CBaseLists lists;
    load(lists, "114d", {"Weapons.txt", "Armor.txt", "Misc.txt"});
    EXPECT_EQ(Found(lists, "hax"), "Hand Axe|invhaxu|invhax|invhaxu");
    EXPECT_EQ(Found(lists, "cap"), "Cap/hat|invcapu|invcap|invcapu");

    CTxtTable uniques;
    ASSERT_TRUE(uniques.Load(real + "/114d/UniqueItems.txt"));
    const UniqueItemsLayout layout = RecogniseUniqueItems(uniques);
    const auto row = [&](const char* key) {
        for (std::int32_t r = 0; r < uniques.DataRowCount(); ++r)
            if (uniques.Text(r, 0) == key)
                return r;
        return -1;
    };
    EXPECT_EQ(UniquePictureName(uniques, layout, row("The Gnasher"), lists), "invhaxu");
    EXPECT_EQ(UniquePictureName(uniques, layout, row("Bladebone"), lists), "inv2ax");
    EXPECT_EQ(UniquePictureName(uniques, layout, row("Expansion"), lists), "");
    // Without its own cell, a unique item takes the base item's unique picture.
    CTxtTable own = uniques;
    own.SetCell(row("The Gnasher"), layout.pictureColumn, "");
    own.SetCell(row("The Gnasher"), layout.codeColumn, "btx");
    EXPECT_EQ(UniquePictureName(own, layout, row("The Gnasher"), lists), "invbtxu");
    const struct {
        const char* code;
        const char* own;
        ItemQuality quality;
        const char* expected;
    } cases[] = {
        {"hax", "", ItemQuality::kSet, "invhaxu"},
        {"2ax", "", ItemQuality::kSet, "inv2ax"},
        {"hax", "invmine", ItemQuality::kSet, "invmine"},
        {"hax", "../up", ItemQuality::kUnique, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ItemPictureName(lists, c.code, c.own, c.quality), c.expected) << c.code;
}

} // namespace
} // namespace tolmere
