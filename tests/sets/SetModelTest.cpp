#include "sets/SetModel.h"

#include "mods/ModifierEdit.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <set>

namespace tolmere {
namespace {

using testing::ExpectOnlyChanged;
using testing::NamedTable;
using testing::Row;

Row ClassicSetHeader() {
    Row header{"name", "key2", "version", "items", "nummods", "lvl", "color"};
    for (int k = 1; k <= 6; ++k)
        for (const char* name : {"item", "code", "key"})
            header.push_back(name + std::to_string(k));
    for (int s = 1; s <= 25; ++s)
        for (const char* name : {"prop", "par", "min", "max"})
            header.push_back(name + std::to_string(s));
    return header;
}

// A set of `items` members whose first `used` slots hold the codes <prefix>0, <prefix>1, …;
// each used slot's other cells carry its code, to follow the moves.
Row ClassicSet(const std::string& name, int items, const std::string& prefix, int used) {
    Row row(125);
    row[0] = name;
    row[3] = std::to_string(items);
    row[4] = std::to_string(used);
    row[6] = "lblu";
    for (int k = 0; k < items; ++k) {
        row[7 + 3 * k] = "Base" + std::to_string(k);
        row[9 + 3 * k] = name + " part " + std::to_string(k);
    }
    for (int s = 0; s < 25; ++s) {
        const std::string code = s < used ? prefix + std::to_string(s) : "";
        row[25 + 4 * s] = code;
        for (int f = 1; f < 4; ++f)
            row[25 + 4 * s + f] = code.empty() ? "0" : code + std::to_string(f);
    }
    return row;
}

std::string Slots(const CTxtTable& table, const SetNode& node, const SetSlotGroup& group) {
    std::string text;
    for (const SlotColumns& slot : group.Slots())
        text += std::string(table.Text(node.row, slot.code)) + ",";
    return text;
}

TEST(SetModel, ClassicTreeNumbersRunsAndLabels) {
    CTxtTable items = NamedTable(ClassicSetHeader(),
                                 {ClassicSet("Kit", 2, "m", 5), ClassicSet("Garb", 3, "g", 8)});
    CStringTables strings;
    strings.Patch().Set("Garb part 1", "Robe");
    const CSetModel model({&items, nullptr});
    const SetTree& tree = model.Tree();
    ASSERT_EQ(tree.layout, "classic");
    EXPECT_EQ(tree.frameText, "[25] Max total modifiers  [2] Fixed on each Item");
    struct Case {
        std::int32_t number;
        std::string label;
        std::string slots; // the node's run, as the codes it holds
        std::int32_t listed;
    };
    const Case cases[] = {
        {0, "Kit", "m4," + std::string(20, ','), 1},
        {1000, "Kit part 0 (Base0)", "m0,m1,", 2},
        {1, "Garb", "g6,g7," + std::string(17, ','), 2},
        {2001, "Garb part 1 (Base1) --- [Robe]", "g2,g3,", 2},
        {2002, "Garb part 2 (Base2)", "g4,g5,", 2},
    };
    ASSERT_EQ(model.NodeCount(), 7);
    for (const Case& c : cases) {
        const std::int32_t index = tree.Find(c.number);
        ASSERT_GE(index, 0) << c.number;
        const SetNode& node = model.Node(index);
        EXPECT_EQ(model.Label(node, strings), c.label);
        ASSERT_EQ(node.groups.size(), 1u);
        EXPECT_EQ(Slots(items, node, node.groups[0]), c.slots) << c.number;
        EXPECT_EQ(model.Info(index).listed, c.listed) << c.number;
    }
    EXPECT_EQ(tree.Find(2003), -1);
    EXPECT_EQ(model.Info(tree.Find(1)).modifierCount, 8);
    EXPECT_EQ(model.SecondKey(model.Node(tree.Find(0))), "");
    EXPECT_EQ(model.Node(tree.Find(1000)).colourColumn, 6);
}

TEST(SetModel, ClassicAddAndDeleteFollowTheRules) {
    CTxtTable items = NamedTable(ClassicSetHeader(),
                                 {ClassicSet("Full", 2, "f", 25), ClassicSet("Two", 2, "t", 5),
                                  ClassicSet("Bare", 3, "b", 6), ClassicSet("Eight", 3, "e", 8)});
    CSetModel model({&items, nullptr});
    const auto node = [&](std::int32_t number) { return model.Node(model.Tree().Find(number)); };
    EXPECT_EQ(model.SlotForNewModifier(node(1000), -1).refusal, kSetItemsFixed);
    EXPECT_EQ(model.SlotForNewModifier(node(0), -1).refusal, kCannotAddModifiers);
    EXPECT_EQ(model.SlotForNewModifier(node(1), -1).slot, 5);
    EXPECT_EQ(model.DeleteRefusal(node(2000), 0), kSetItemsFixed);
    EXPECT_EQ(model.DeleteRefusal(node(2), -1), kNoModifierToDelete);

    // The only set modifier: slot 4 freed, the count 4, nothing moved.
    const CTxtTable before = items;
    ASSERT_TRUE(model.DeleteModifier(node(1), 0, 4));
    EXPECT_EQ(items.Text(1, 4), "4");
    EXPECT_EQ(Slots(items, node(1), node(1).groups[0]), std::string(21, ','));
    EXPECT_EQ(items.Text(1, 25 + 16 + 1), "0");
    // Slot 6 of eight: 7 moves down, 7 is freed; the members' slots stay.
    ASSERT_TRUE(model.DeleteModifier(node(3), 0, 6));
    EXPECT_EQ(items.Text(3, 4), "7");
    EXPECT_EQ(items.Text(3, 25 + 24), "e7");
    EXPECT_EQ(items.Text(3, 25 + 24 + 3), "e73");
    EXPECT_EQ(items.Text(3, 25 + 28), "");
    // Nothing else of the table changed.
    ExpectOnlyChanged(before, items, [](std::int32_t r, std::int32_t c) {
        return (r == 1 && (c == 4 || (c >= 41 && c < 45))) ||
               (r == 3 && (c == 4 || (c >= 49 && c < 57)));
    });
}

TEST(SetModel, UnknownHeadersAreReadOnly) {
    CTxtTable items =
        NamedTable({"index", "code", "prop1", "par1", "min1", "max1"}, {{"a", "b", "c"}});
    const CSetModel model({&items, nullptr});
    EXPECT_EQ(model.Tree().layout, "unknown");
    EXPECT_EQ(model.Tree().problem, "SetItems.txt: no column named set");
    EXPECT_EQ(model.NodeCount(), 1);
    EXPECT_EQ(model.SlotForNewModifier(model.Node(0), -1).refusal,
              "SetItems.txt: no column named set\nThe table is read-only.");
}

class RealSets : public ::testing::Test {
protected:
    void SetUp() override {
        REAL_TABLES_OR_SKIP(dir);
        dir_ = dir;
    }
    CTxtTable Load(const std::string& name) {
        CTxtTable table;
        EXPECT_TRUE(table.Load(dir_ + "/" + name));
        return table;
    }
    std::string dir_;
};

TEST_F(RealSets, SplitLayoutGroupsItemsUnderTheirSetsAndEditsInsideAGroup) {
    CTxtTable items = Load("114d/SetItems.txt");
    CTxtTable sets = Load("114d/Sets.txt");
    const CTxtTable itemsBefore = items;
    CSetModel model({&items, &sets});
    const SetTree& tree = model.Tree();
    ASSERT_EQ(tree.layout, "1.10+");
    EXPECT_EQ(tree.frameText, "[19] on each Item  [16] on each Set");
    const SetNode& set = model.Node(tree.Find(0));
    const SetNode& ward = model.Node(tree.Find(1000));
    CStringTables strings;
    EXPECT_EQ(model.Label(set, strings), "Civerb's Vestments");
    EXPECT_EQ(model.Label(ward, strings), "Civerb's Ward (Large Shield)");
    EXPECT_EQ(tree.Find(1003), -1);
    EXPECT_EQ(set.groups.size(), 5u);
    EXPECT_EQ(set.groups.back().title, "Full set [FCode1-FCode8]");
    EXPECT_EQ(ward.groups.size(), 6u);
    EXPECT_EQ(ward.groups[1].title, "Set bonus 1 [aprop1a-aprop1b]");
    // Every item is somewhere in the tree, each once.
    std::int32_t members = 0;
    for (const SetNode& node : tree.nodes)
        members += node.IsMember() ? 1 : 0;
    EXPECT_EQ(members, items.DataRowCount());

    // Add goes into the group asked for; Delete closes the gap there only, though later
    // groups hold modifiers.
    EXPECT_EQ(model.SlotForNewModifier(ward, 1).slot, 1); // aprop1b
    EXPECT_EQ(model.SlotForNewModifier(set, -1).slot, 1); // PCode2b
    const auto deleteFirst = [&](std::int32_t group, const std::string& was,
                                 const std::string& now) {
        const CTxtTable before = sets;
        ASSERT_EQ(Slots(sets, set, set.groups[group]), was);
        ASSERT_TRUE(model.DeleteModifier(set, group, 0));
        EXPECT_EQ(Slots(sets, set, set.groups[group]), now);
        std::set<std::int32_t> columns;
        for (const SlotColumns& slot : set.groups[group].Slots())
            columns.insert({slot.code, slot.param, slot.min, slot.max});
        ExpectOnlyChanged(before, sets, [&](std::int32_t r, std::int32_t c) {
            return r == 0 && columns.count(c) > 0;
        });
    };
    deleteFirst(0, "res-fire,,", ",,");
    deleteFirst(4, "str,dmg-undead,res-ltng,,,,,,", "dmg-undead,res-ltng,,,,,,,");
    EXPECT_EQ(items.Serialize(), itemsBefore.Serialize());
}

TEST_F(RealSets, SetsTheSetTableLacksGetANodeThatSaysSo) {
    CTxtTable items = Load("114d/SetItems.txt");
    CTxtTable noSets;
    const CSetModel model({&items, &noSets});
    ASSERT_EQ(model.Tree().layout, "1.10+");
    const SetNode& first = model.Node(0);
    EXPECT_EQ(model.Label(first, CStringTables()), "Civerb's Vestments (not in Sets.txt)");
    EXPECT_EQ(model.SlotForNewModifier(first, -1).refusal,
              "Civerb's Vestments is not in Sets.txt.");
    EXPECT_EQ(model.Info(1).itemCount, 3);
}

TEST_F(RealSets, DesignersLayoutOf109HasFixedAndBonusSlotsPerItem) {
    CTxtTable items = Load("109b/SetItems.txt");
    CSetModel model({&items, nullptr});
    const SetTree& tree = model.Tree();
    ASSERT_EQ(tree.layout, "1.09");
    EXPECT_EQ(tree.frameText, "[7] on each Item, [2] fixed  [10] on each Set");
    const SetNode& ward = model.Node(tree.Find(1000));
    EXPECT_EQ(model.Label(ward, CStringTables()), "Civerb's Ward (lrg)");
    EXPECT_EQ(model.Info(tree.Find(1000)).itemCount, 3);
    EXPECT_EQ(model.SlotForNewModifier(ward, 0).refusal, kSetItemsFixed);
    EXPECT_EQ(model.DeleteRefusal(ward, 0), kSetItemsFixed);
    EXPECT_EQ(model.SlotForNewModifier(ward, -1).group, 3); // bonus C, the first free
    EXPECT_EQ(model.Node(tree.Find(0)).colourColumn, 5);
}

} // namespace
} // namespace tolmere
