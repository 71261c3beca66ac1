#include "app/BaseLists.h"
#include "app/UniquePictures.h"
#include "images/Dc6.h"

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

TEST(BaseLists, RealListsOfBothGameVersions) {
    std::string skip;
    const std::string real = testing::RealTablesDir(skip);
    if (real.empty())
        GTEST_SKIP() << skip;
    struct Case {
        const char* dir;
        const char* files[3];
        const char* code;
        const char* expected;
    };
    const Case cases[] = {
        {"114d",
         {"Weapons.txt", "Armor.txt", "Misc.txt"},
         "hax",
         "Hand Axe|invhaxu|invhax|invhaxu"},
        {"114d", {"Weapons.txt", "Armor.txt", "Misc.txt"}, "cap", "Cap/hat|invcapu|invcap|invcapu"},
        {"109b", {"weapons.txt", "armor.txt", "misc.txt"}, "amu", "amulet||invamu|"},
    };
    for (const Case& c : cases) {
        CBaseLists lists;
        for (std::size_t i = 0; i < CBaseLists::kListCount; ++i)
            ASSERT_TRUE(lists.Load(i, real + "/" + c.dir + "/" + c.files[i]));
        BaseItem item;
        lists.FindBaseItem(c.code, item);
        EXPECT_EQ(item.name + "|" + item.picture + "|" + item.fallbackPicture + "|" +
                      item.setPicture,
                  c.expected)
            << c.dir << " " << c.code;
    }
}

// Which picture a unique item of the real tables shows: its own, its base item's
// unique one, else the base item's own; and set items their base item's set picture.
TEST(BaseLists, RealUniqueItemsShowThePictureTheGameChooses) {
    std::string skip;
    const std::string real = testing::RealTablesDir(skip);
    if (real.empty())
        GTEST_SKIP() << skip;
    CBaseLists lists;
    const char* files[] = {"Weapons.txt", "Armor.txt", "Misc.txt"};
    for (std::size_t i = 0; i < CBaseLists::kListCount; ++i)
        ASSERT_TRUE(lists.Load(i, real + "/114d/" + files[i]));
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
