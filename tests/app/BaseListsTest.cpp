#include "app/BaseLists.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

using testing::Row;
using testing::TableOf;

// A row of a list with the code, name and pictures in the list's columns.
Row ListRow(const BaseListLayout& layout, const std::string& code, const std::string& name,
            const std::string& fallback, const std::string& picture) {
    Row row(static_cast<std::size_t>(layout.pictureColumn + 1));
    row[static_cast<std::size_t>(layout.codeColumn)] = code;
    row[static_cast<std::size_t>(layout.nameColumn)] = name;
    row[static_cast<std::size_t>(layout.fallbackPictureColumn)] = fallback;
    row[static_cast<std::size_t>(layout.pictureColumn)] = picture;
    return row;
}

TEST(BaseLists, TheLastMatchOfTheLastListDecides) {
    CBaseLists lists;
    const auto& weapons = kClassicBaseLists[0];
    const auto& misc = kClassicBaseLists[2];
    lists.List(0) = TableOf(56, {ListRow(weapons, "hax", "Hand Axe", "invhax", ""),
                                 ListRow(weapons, "dup", "First", "a", "b"),
                                 ListRow(weapons, "dup", "Second", "c", "d")});
    lists.List(1) = TableOf(30, {});
    EXPECT_FALSE(lists.Loaded()); // misc is still empty
    lists.List(2) = TableOf(21, {ListRow(misc, "hax", "Misc Axe", "invmisc", "uniq")});
    EXPECT_TRUE(lists.Loaded());

    BaseItem item;
    lists.FindBaseItem("hax", item);
    EXPECT_EQ(item.name, "Misc Axe");
    EXPECT_EQ(item.picture, "uniq");
    EXPECT_EQ(item.fallbackPicture, "invmisc");

    BaseItem dup;
    lists.FindBaseItem("dup", dup);
    EXPECT_EQ(dup.name, "Second");

    BaseItem none{"keep", "keep", "keep"};
    lists.FindBaseItem("HAX", none);
    EXPECT_EQ(none.name, "keep");
}

TEST(BaseLists, ListsTooNarrowForTheirColumnsMatchNothing) {
    CBaseLists lists;
    lists.List(0) = TableOf(30, {{"Axe", "", "", "hax"}});
    Row row(30);
    row[15] = "hax";
    lists.List(1) = TableOf(29, {row}); // one column short of the picture column
    lists.List(2) = TableOf(21, {});
    BaseItem item;
    lists.FindBaseItem("hax", item);
    EXPECT_EQ(item.name, "");
}

} // namespace
} // namespace tolmere
