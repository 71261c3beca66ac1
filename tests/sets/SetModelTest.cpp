// SPDX-License-Identifier: MIT
#include "sets/SetModel.h"

#include "mods/ModifierEdit.h"

#include "support/TableBuilder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

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

// The invented tables of each layout lie in the checkout.
std::string CheckoutDir() {
    return TOLMERE_SOURCE_DIR;
}

// The nodes of the set numbered `number`: the set's, then its members'.
std::vector<std::int32_t> SetAndMembers(const CSetModel& model, std::int32_t number) {
    std::vector<std::int32_t> nodes;
    const std::int32_t set = model.Tree().Find(number);
    for (std::int32_t i = 0; set >= 0 && i < model.NodeCount(); ++i) {
        if (i == set || model.Node(i).parent == set)
            nodes.push_back(i);
    }
    return nodes;
}

// The set numbered `number` and its members as `tolmere-cli sets` prints them,
// "#number label", joined by " | ".
std::string SetOutline(const CSetModel& model, std::int32_t number) {
    std::string out;
    for (std::int32_t i : SetAndMembers(model, number))
        out += (out.empty() ? "#" : " | #") + std::to_string(model.Node(i).number) + " " +
               model.Label(model.Node(i), CStringTables());
    return out.empty() ? "no #" + std::to_string(number) : out;
}

// The group titles of the node numbered `number`, "*" after a fixed one.
std::string Groups(const CSetModel& model, std::int32_t number) {
    const std::int32_t index = model.Tree().Find(number);
    if (index < 0)
        return "no #" + std::to_string(number);
    std::string out;
    for (const SetSlotGroup& group : model.Node(index).groups)
        out += (out.empty() ? "" : "|") + group.title + (group.fixed ? "*" : "");
    return out;
}

// Where Add puts a modifier on the node numbered `number`: "group/slot", else the refusal.
std::string AddTarget(const CSetModel& model, std::int32_t number) {
    const std::int32_t index = model.Tree().Find(number);
    if (index < 0)
        return "no #" + std::to_string(number);
    const SetAddTarget target = model.SlotForNewModifier(model.Node(index), -1);
    return target.refusal.empty() ? std::to_string(target.group) + "/" + std::to_string(target.slot)
                                  : target.refusal;
}

// The used codes of a group of the node's row, in slot order.
std::vector<std::string> UsedCodes(const CTxtTable& table, const SetNode& node,
                                   const SetSlotGroup& group) {
    std::vector<std::string> codes;
    for (const SlotColumns& slot : group.Slots())
        if (SlotUsed(table, node.row, slot))
            codes.emplace_back(table.Text(node.row, slot.code));
    return codes;
}

// The used codes of set #0 and of each of its members, group by group: "a,b|c" per
// node, nodes joined by " / ".
std::string Codes(const CSetModel& model) {
    std::string out;
    for (std::int32_t i : SetAndMembers(model, 0)) {
        const SetNode& node = model.Node(i);
        if (!model.TableOf(node))
            continue;
        out += out.empty() ? "" : " / ";
        for (std::size_t g = 0; g < node.groups.size(); ++g) {
            std::string codes;
            for (const std::string& code : UsedCodes(*model.TableOf(node), node, node.groups[g]))
                codes += (codes.empty() ? "" : ",") + code;
            out += (g ? "|" : "") + codes;
        }
    }
    return out;
}

// Each group of set #0 and of its members: a fixed one refuses Delete; another loses
// its first used modifier, keeps the rest in order, and no cell outside it (and the
// classic count column) changes.
void ExpectDeletesStayInTheirGroup(CSetModel& model) {
    for (std::int32_t i : SetAndMembers(model, 0)) {
        const SetNode& node = model.Node(i);
        if (!model.TableOf(node))
            continue;
        CTxtTable& table = *model.TableOf(node);
        for (std::size_t g = 0; g < node.groups.size(); ++g) {
            const SetSlotGroup& group = node.groups[g];
            const auto gi = static_cast<std::int32_t>(g);
            SCOPED_TRACE("#" + std::to_string(node.number) + " " + group.title);
            if (group.fixed) {
                EXPECT_EQ(model.DeleteRefusal(node, gi), kSetItemsFixed);
                continue;
            }
            std::vector<std::string> codes = UsedCodes(table, node, group);
            if (codes.empty())
                continue;
            std::int32_t first = group.first;
            while (!SlotUsed(table, node.row, group.edit.Slot(first)))
                ++first;
            const CTxtTable before = table;
            ASSERT_TRUE(model.DeleteModifier(node, gi, first));
            codes.erase(codes.begin());
            EXPECT_EQ(UsedCodes(table, node, group), codes);
            std::set<std::int32_t> columns{group.edit.countColumn};
            for (const SlotColumns& slot : group.Slots())
                columns.insert({slot.code, slot.param, slot.min, slot.max});
            ExpectOnlyChanged(before, table, [&](std::int32_t r, std::int32_t c) {
                return r == node.row && columns.count(c) > 0;
            });
            table = before;
        }
    }
}

// One row of set tables in each layout the set editor knows, and what it must make of
// them: set #0 with its members, both nodes' groups, and where Add goes.
struct SetLayoutCase {
    const char* name;
    bool real; // among the real game tables, else in the checkout
    const char* setItems;
    const char* sets; // "" for none
    const char* layout;
    const char* frame;
    const char* outline; // set #0 and its members
    const char* setGroups;
    const char* memberGroups; // of #1000
    const char* codes;        // of set #0 and its members, group by group
    const char* colours;      // the colour columns of #0 and #1000, by header name
    const char* setAdd;
    const char* memberAdd;
};

const char k110SetGroups[] =
    "Worn with 2 items [PCode2a-PCode2b]|Worn with 3 items [PCode3a-PCode3b]|Worn with 4 items "
    "[PCode4a-PCode4b]|Worn with 5 items [PCode5a-PCode5b]|Full set [FCode1-FCode8]";
const char k110MemberGroups[] =
    "Item [prop1-prop9]|Worn with 2 items [aprop1a-aprop1b]|Worn with 3 items [aprop2a-aprop2b]|"
    "Worn with 4 items [aprop3a-aprop3b]|Worn with 5 items [aprop4a-aprop4b]|Worn with 6 items "
    "[aprop5a-aprop5b]";
const char k109SetGroups[] = "Worn with 2 items [PCode2]|Worn with 3 items [PCode3]|Worn with 4 "
                             "items [PCode4]|Worn with 5 items [PCode5]|Full set [FCode1-FCode6]";
const char k109MemberGroups[] = "Item [I1Code1-I1Code2]*|Set bonus A [I1CodeA]|Set bonus B "
                                "[I1CodeB]|Set bonus C [I1CodeC]|Set bonus D [I1CodeD]|Set bonus E "
                                "[I1CodeE]";

const SetLayoutCase kSetLayouts[] = {
    {"classic", false, "tests/data/seed-game/d2data/excel/SetItems.txt", "", "classic",
     "[25] Max total modifiers  [2] Fixed on each Item",
     "#0 Brinewarden's Kit | #1000 Brinewarden's Grip (Leather Gloves) | #1001 Brinewarden's "
     "Stride (Boots)",
     "", "*", "res-all,mag% / dex,res-cold / move1,hp", "color/color", "0/6", kSetItemsFixed},
    {"1.10+", false, "tests/data/layouts/110/SetItems.txt", "tests/data/layouts/110/Sets.txt",
     "1.10+", "[19] on each Item  [16] on each Set",
     "#0 Frostmantle Regalia | #1000 Frostmantle Crown (Crown) | #1001 Frostmantle Mail (Chain "
     "Mail)",
     k110SetGroups, k110MemberGroups,
     "res-cold||||str,ac,res-all / ac,res-cold|mana|dex||| / ac%|||||", "/invtransform", "0/1",
     "0/2"},
    {"1.09", false, "tests/data/layouts/109b/SetItems.txt", "", "1.09",
     "[7] on each Item, [2] fixed  [10] on each Set",
     "#0 Gravecaller's Garb | #1000 Gravecaller's Hood (cap) | #1001 Gravecaller's Charm (amu) | "
     "#1002 Gravecaller's Cord (lbl)",
     k109SetGroups, k109MemberGroups,
     "res-fire|att|||str,dmg%,res-ltng / ac,mana|res-cold|light||| / regen,dex||||| / "
     "hp,ac%|str||||",
     "transformcolor/transformcolor", "2/0", "3/0"},
    {"1.10+ real", true, "114d/SetItems.txt", "114d/Sets.txt", "1.10+",
     "[19] on each Item  [16] on each Set",
     "#0 Civerb's Vestments | #1000 Civerb's Ward (Large Shield) | #1001 Civerb's Icon (Amulet) | "
     "#1002 Civerb's Cudgel (Grand Scepter)",
     k110SetGroups, k110MemberGroups,
     "res-fire||||str,dmg-undead,res-ltng / ac,block|mana|res-pois||| / "
     "regen-mana,regen|res-cold|ac||| / att,dmg-max|dmg/lvl||||",
     "/invtransform", "0/1", "0/2"},
    {"1.09 real", true, "109b/SetItems.txt", "", "1.09",
     "[7] on each Item, [2] fixed  [10] on each Set",
     "#0 Civerb's Vestments | #1000 Civerb's Ward (lrg) | #1001 Civerb's Icon (amu) | #1002 "
     "Civerb's Cudgel (gsc)",
     k109SetGroups, k109MemberGroups,
     "res-fire||||str,dmg-undead,res-ltng / ac,block|mana|res-pois||| / "
     "regen-mana,regen|res-cold|ac||| / att,dmg-max|dmg/lvl||||",
     "transformcolor/transformcolor", "1/0", "3/0"},
};

void CheckSetLayout(const SetLayoutCase& c, const std::string& dir) {
    SCOPED_TRACE(c.name);
    CTxtTable items;
    CTxtTable sets;
    ASSERT_TRUE(items.Load(dir + "/" + c.setItems));
    if (*c.sets) {
        ASSERT_TRUE(sets.Load(dir + "/" + c.sets));
    }
    CSetModel model({&items, &sets});
    const SetTree& tree = model.Tree();
    ASSERT_EQ(tree.layout, c.layout);
    EXPECT_EQ(tree.frameText, c.frame);
    EXPECT_EQ(SetOutline(model, 0), c.outline);
    EXPECT_EQ(Groups(model, 0), c.setGroups);
    EXPECT_EQ(Groups(model, 1000), c.memberGroups);
    EXPECT_EQ(Codes(model), c.codes);
    const auto colour = [&](std::int32_t number) {
        const SetNode& node = model.Node(tree.Find(number));
        return std::string(
            model.TableOf(node)->HeaderCell(node.colourColumn).value_or(std::string_view()));
    };
    EXPECT_EQ(colour(0) + "/" + colour(1000), c.colours);
    EXPECT_EQ(AddTarget(model, 0), c.setAdd);
    EXPECT_EQ(AddTarget(model, 1000), c.memberAdd);
    // Every row of SetItems.txt is one node (a set item's, or a set's that holds its
    // items), and no two nodes share a number.
    std::set<std::int32_t> numbers;
    std::int32_t rowNodes = 0;
    for (const SetNode& node : tree.nodes) {
        EXPECT_TRUE(numbers.insert(node.number).second) << "#" << node.number;
        rowNodes += node.table == SetTableId::kSetItems && node.row >= 0 &&
                            node.IsMember() == tree.usesSetsTable
                        ? 1
                        : 0;
    }
    EXPECT_EQ(rowNodes, items.DataRowCount());
    ExpectDeletesStayInTheirGroup(model);
}

TEST(SetLayouts, TablesOfTheCheckoutInEachLayout) {
    for (const SetLayoutCase& c : kSetLayouts)
        if (!c.real)
            CheckSetLayout(c, CheckoutDir());
}

TEST(SetLayouts, RealTables) {
    REAL_TABLES_OR_SKIP(dir);
    for (const SetLayoutCase& c : kSetLayouts)
        if (c.real)
            CheckSetLayout(c, dir);
}

// Sets that Sets.txt lacks, and set items that name no set, come after the sets it
// has, numbered by their place among the sets and never by a row of Sets.txt they
// have none in.
TEST(SetLayouts, SetsTheSetTableLacksAreNumberedByTheirPlaceInTheTree) {
    const std::string dir = CheckoutDir() + "/tests/data/layouts/110/";
    CTxtTable items;
    CTxtTable sets;
    CTxtTable noSets;
    ASSERT_TRUE(items.Load(dir + "SetItems.txt"));
    ASSERT_TRUE(sets.Load(dir + "Sets.txt"));
    struct Set {
        const char* outline;
        const char* add; // where Add on the set goes, or why it cannot
    };
    const struct {
        const char* name;
        CTxtTable* sets;
        std::vector<Set> expected; // each set, by number
    } cases[] = {
        {"one set missing",
         &sets,
         {{"#0 Frostmantle Regalia | #1000 Frostmantle Crown (Crown) | #1001 Frostmantle Mail "
           "(Chain Mail)",
           "0/1"},
          {"#1 Duskborn Arms | #2000 Duskborn Blade (Long Sword)", "1/0"},
          {"#2 Hollowmere Relics (not in Sets.txt) | #3000 Hollowmere Charm (Amulet)",
           "Hollowmere Relics is not in Sets.txt."},
          {"#3 (no set) | #4000 Expansion ()", "These items belong to no set."}}},
        {"empty Sets.txt",
         &noSets,
         {{"#0 Frostmantle Regalia (not in Sets.txt) | #1000 Frostmantle Crown (Crown) | #1001 "
           "Frostmantle Mail (Chain Mail)",
           "Frostmantle Regalia is not in Sets.txt."},
          {"#1 Hollowmere Relics (not in Sets.txt) | #2000 Hollowmere Charm (Amulet)",
           "Hollowmere Relics is not in Sets.txt."},
          {"#2 (no set) | #3000 Expansion ()", "These items belong to no set."},
          {"#3 Duskborn Arms (not in Sets.txt) | #4000 Duskborn Blade (Long Sword)",
           "Duskborn Arms is not in Sets.txt."}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CSetModel model({&items, c.sets});
        std::set<std::int32_t> numbers;
        for (const SetNode& node : model.Tree().nodes)
            EXPECT_TRUE(numbers.insert(node.number).second) << "#" << node.number;
        const auto count = static_cast<std::int32_t>(c.expected.size());
        for (std::int32_t number = 0; number < count; ++number) {
            EXPECT_EQ(SetOutline(model, number), c.expected[number].outline);
            EXPECT_EQ(AddTarget(model, number), c.expected[number].add);
        }
        EXPECT_EQ(model.Tree().Find(count), -1);
        // A member of a set Sets.txt lacks is still edited in its own row.
        EXPECT_EQ(AddTarget(model, 1000), "0/2");
    }
}

} // namespace
} // namespace tolmere
