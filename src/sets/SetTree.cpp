// SPDX-License-Identifier: MIT
#include "sets/SetTree.h"

#include "mods/GameData.h"
#include "mods/SlotNames.h"
#include "tables/ColumnFinder.h"

#include <algorithm>
#include <climits>
#include <map>

namespace tolmere {
namespace {

constexpr std::int32_t kMemberNumberBase = 1000;

// The tables, only read here.
struct ReadTables {
    const CTxtTable* setItems;
    const CTxtTable* sets;
};

const SlotNames kPropSlots{"prop#", "par#", "min#", "max#"};

// A count cell as the game's designers' tools read it: its leading digits, 0 when it
// starts with none.
// A count cell as the designers' tools read it; 0 when it holds no number.
std::int32_t CountCell(std::string_view text) {
    return static_cast<std::int32_t>(CellNumber(text).value_or(0));
}

std::string HeaderName(const CTxtTable& table, std::int32_t column) {
    return std::string(table.HeaderCell(column).value_or(std::string_view()));
}

// "[prop1-prop9]": the code columns a group spans, as the header names them.
std::string ColumnSpan(const CTxtTable& table, const SlotList& slots) {
    if (slots.empty())
        return std::string();
    const std::string first = HeaderName(table, slots.front().code);
    if (slots.size() == 1)
        return "[" + first + "]";
    return "[" + first + "-" + HeaderName(table, slots.back().code) + "]";
}

// One slot by the full names of its four columns; nothing when one is missing.
bool NamedSlot(const CColumnFinder& finder, const std::string& code, const std::string& param,
               const std::string& min, const std::string& max, SlotList& out) {
    SlotColumns slot{finder.Find(code), finder.Find(param), finder.Find(min), finder.Find(max)};
    if (slot.code < 0 || slot.param < 0 || slot.min < 0 || slot.max < 0)
        return false;
    out.push_back(slot);
    return true;
}

// A group of the game's own layouts: its own slots, no count column, freed empty.
SetSlotGroup OwnGroup(const CTxtTable& table, const std::string& what, SlotList slots,
                      bool fixed = false) {
    SetSlotGroup group;
    group.title = what + " " + ColumnSpan(table, slots);
    group.count = static_cast<std::int32_t>(slots.size());
    group.edit = ModifierSlots{std::move(slots), -1, ""};
    group.fixed = fixed;
    return group;
}

std::int32_t SlotTotal(const std::vector<SetSlotGroup>& groups, bool fixedOnly) {
    std::int32_t total = 0;
    for (const SetSlotGroup& group : groups) {
        if (!fixedOnly || group.fixed)
            total += group.count;
    }
    return total;
}

// Member k of the set node at `parent`, numbered after its set's number.
SetNode MemberNode(std::int32_t setNumber, std::int32_t parent, std::int32_t k, std::int32_t row) {
    SetNode member;
    member.number = (setNumber + 1) * kMemberNumberBase + k;
    member.parent = parent;
    member.member = k;
    member.row = row;
    return member;
}

std::string LimitsText(const SetTree& tree) {
    auto first = [&](bool member) {
        for (const SetNode& node : tree.nodes) {
            if (node.IsMember() == member && !node.groups.empty())
                return &node;
        }
        return static_cast<const SetNode*>(nullptr);
    };
    const SetNode* member = first(true);
    const SetNode* set = first(false);
    const std::int32_t memberSlots = member ? SlotTotal(member->groups, false) : 0;
    const std::int32_t fixed = member ? SlotTotal(member->groups, true) : 0;
    const std::int32_t setSlots = set ? SlotTotal(set->groups, false) : 0;
    std::string text = "[" + std::to_string(memberSlots) + "] on each Item";
    if (fixed > 0 && fixed < memberSlots)
        text += ", [" + std::to_string(fixed) + "] fixed";
    return text + "  [" + std::to_string(setSlots) + "] on each Set";
}

// The designers' first layout: one row a set, members in blocks of three columns, and
// 25 slots shared out two to each member and the rest to the set.
struct ClassicColumns {
    std::int32_t name, secondKey, items, count, colour;
    struct Member {
        std::int32_t base, key;
    };
    std::vector<Member> members;
    SlotList slots;
};

bool NamedAt(const CColumnFinder& finder, std::int32_t column, const std::string& name) {
    return finder.Table().HeaderCell(column) &&
           CColumnFinder::SameName(*finder.Table().HeaderCell(column), name);
}

ClassicColumns FindClassic(CColumnFinder& finder) {
    ClassicColumns c;
    c.name = finder.Require("name");
    c.secondKey = finder.Require("key2");
    c.items = finder.Require("items");
    c.count = finder.Require("nummods");
    c.colour = finder.Find("color");
    // Each member is three neighbouring columns. The set's second key is named like
    // the second member's key, so a member's key is found beside its item.
    for (int n : finder.Numbers("item#")) {
        const std::int32_t base = finder.Find(CColumnFinder::Numbered("item#", n));
        if (n != static_cast<int>(c.members.size()) + 1 ||
            !NamedAt(finder, base + 1, CColumnFinder::Numbered("code#", n)) ||
            !NamedAt(finder, base + 2, CColumnFinder::Numbered("key#", n)))
            break;
        c.members.push_back({base, base + 2});
    }
    c.slots = SlotsByName(finder, kPropSlots);
    if (c.slots.empty())
        finder.Require("prop1");
    return c;
}

void BuildClassic(const CTxtTable& table, const ClassicColumns& c, SetTree& tree) {
    const ModifierSlots row{c.slots, c.count, "0"};
    const std::int32_t slotCount = row.SlotCount();
    for (std::int32_t r = 0; r < table.DataRowCount(); ++r) {
        // Members beyond the columns, or beyond the slots that would be theirs, are not
        // there to show: their cells would be other members' or the set's own.
        const std::int32_t items =
            std::clamp(CountCell(table.Text(r, c.items)), 0,
                       std::min(static_cast<std::int32_t>(c.members.size()), slotCount / 2));
        SetNode set;
        set.number = r;
        set.row = r;
        set.labelColumn = set.nameKeyColumn = c.name;
        set.secondKeyColumn = c.secondKey;
        set.colourColumn = c.colour;
        set.groups.push_back({"", row, 2 * items, slotCount - 2 * items, false});
        const auto parent = static_cast<std::int32_t>(tree.nodes.size());
        tree.nodes.push_back(std::move(set));
        for (std::int32_t k = 0; k < items; ++k) {
            SetNode member = MemberNode(r, parent, k, r);
            member.labelColumn = member.nameKeyColumn = c.members[k].key;
            member.shownColumn = c.members[k].base;
            member.codeColumn = c.members[k].base + 1;
            member.colourColumn = c.colour;
            member.groups.push_back({"", row, 2 * k, 2, true});
            tree.nodes.push_back(std::move(member));
        }
    }
    tree.frameText =
        "[" + std::to_string(slotCount) + "] Max total modifiers  [2] Fixed on each Item";
}

// The game's layout from 1.10 on: a row per set item in SetItems.txt, a row per set
// in Sets.txt.
struct SplitColumns {
    std::int32_t index, set, base, baseName, colour, picture;
    std::int32_t setIndex = -1, setName = -1;
};

std::vector<SetSlotGroup> ItemGroups(const CTxtTable& table, CColumnFinder& finder) {
    std::vector<SetSlotGroup> groups;
    SlotList own = SlotsByName(finder, kPropSlots);
    if (own.empty())
        finder.Require("prop1");
    groups.push_back(OwnGroup(table, "Item", std::move(own)));
    const std::vector<int> bonuses = finder.Numbers("aprop#a");
    if (bonuses.empty())
        finder.Require("aprop1a");
    for (int n : bonuses) {
        SlotList slots;
        for (const char* half : {"a", "b"}) {
            const std::string s = std::to_string(n) + half;
            NamedSlot(finder, "aprop" + s, "apar" + s, "amin" + s, "amax" + s, slots);
        }
        // The item's n-th bonus comes with the n-th other item of its set worn.
        groups.push_back(
            OwnGroup(table, "Worn with " + std::to_string(n + 1) + " items", std::move(slots)));
    }
    return groups;
}

std::vector<SetSlotGroup> SetGroups(const CTxtTable& table, CColumnFinder& finder, bool halves) {
    std::vector<SetSlotGroup> groups;
    const char* pattern = halves ? "PCode#a" : "PCode#";
    for (int n : finder.Numbers(pattern)) {
        SlotList slots;
        for (const char* half :
             halves ? std::vector<const char*>{"a", "b"} : std::vector<const char*>{""}) {
            const std::string s = std::to_string(n) + half;
            NamedSlot(finder, "PCode" + s, "PParam" + s, "PMin" + s, "PMax" + s, slots);
        }
        groups.push_back(
            OwnGroup(table, "Worn with " + std::to_string(n) + " items", std::move(slots)));
    }
    SlotList full = SlotsByName(finder, {"FCode#", "FParam#", "FMin#", "FMax#"});
    if (full.empty())
        finder.Require("FCode1");
    groups.push_back(OwnGroup(table, "Full set", std::move(full)));
    return groups;
}

void BuildSplit(const ReadTables& tables, const SplitColumns& c,
                const std::vector<SetSlotGroup>& itemGroups,
                const std::vector<SetSlotGroup>& setGroups, SetTree& tree) {
    const CTxtTable& items = *tables.setItems;
    const CTxtTable* sets = tables.sets;
    // The sets in the set table's order, then those only the items name, in the order
    // the items first name them.
    std::vector<SetNode> setNodes;
    std::map<std::string, std::int32_t, std::less<>> byName;
    if (sets && c.setIndex >= 0) {
        for (std::int32_t r = 0; r < sets->DataRowCount(); ++r) {
            SetNode set;
            set.table = SetTableId::kSets;
            set.row = r;
            set.labelColumn = c.setIndex;
            set.nameKeyColumn = c.setName;
            set.groups = setGroups;
            byName.emplace(std::string(sets->Text(r, c.setIndex)),
                           static_cast<std::int32_t>(setNodes.size()));
            setNodes.push_back(std::move(set));
        }
    }
    std::vector<std::vector<std::int32_t>> members;
    members.resize(setNodes.size());
    for (std::int32_t r = 0; r < items.DataRowCount(); ++r) {
        const std::string setName(items.Text(r, c.set));
        auto found = byName.find(setName);
        if (found == byName.end()) {
            SetNode missing;
            missing.missingSet = setName;
            found = byName.emplace(setName, static_cast<std::int32_t>(setNodes.size())).first;
            setNodes.push_back(std::move(missing));
            members.emplace_back();
        }
        members[static_cast<std::size_t>(found->second)].push_back(r);
    }
    for (std::size_t s = 0; s < setNodes.size(); ++s) {
        const auto number = static_cast<std::int32_t>(s);
        setNodes[s].number = number;
        const auto parent = static_cast<std::int32_t>(tree.nodes.size());
        tree.nodes.push_back(std::move(setNodes[s]));
        for (std::size_t k = 0; k < members[s].size(); ++k) {
            SetNode member =
                MemberNode(number, parent, static_cast<std::int32_t>(k), members[s][k]);
            member.labelColumn = member.nameKeyColumn = c.index;
            member.shownColumn = c.baseName >= 0 ? c.baseName : c.base;
            member.codeColumn = c.base;
            member.pictureColumn = c.picture;
            member.colourColumn = c.colour;
            member.groups = itemGroups;
            tree.nodes.push_back(std::move(member));
        }
    }
}

// The designers' layout of 1.09: a row per set, each member in a block of named
// columns with two fixed slots and five bonus slots.
void Build109(const CTxtTable& table, CColumnFinder& finder, SetTree& tree) {
    const std::int32_t name = finder.Require("Name");
    const std::int32_t items = finder.Require("NumItems");
    const std::int32_t colour = finder.Find("transformcolor");
    struct Member {
        std::int32_t base, key;
        std::vector<SetSlotGroup> groups;
    };
    std::vector<Member> members;
    for (int n = 1;; ++n) {
        const std::string item = "Item" + std::to_string(n);
        const std::string prefix = "I" + std::to_string(n);
        Member member{finder.Find(item), finder.Find(item + " Suffix"), {}};
        SlotList fixed;
        for (const char* s : {"1", "2"})
            NamedSlot(finder, prefix + "Code" + s, prefix + "Param" + s, prefix + "Min" + s,
                      prefix + "Max" + s, fixed);
        if (member.key < 0 || fixed.empty())
            break;
        member.groups.push_back(OwnGroup(table, "Item", std::move(fixed), true));
        for (const char* s : {"A", "B", "C", "D", "E"}) {
            SlotList bonus;
            if (NamedSlot(finder, prefix + "Code" + s, prefix + "Param" + s, prefix + "Min" + s,
                          prefix + "Max" + s, bonus))
                member.groups.push_back(
                    OwnGroup(table, std::string("Set bonus ") + s, std::move(bonus)));
        }
        members.push_back(std::move(member));
    }
    if (members.empty())
        finder.Require("I1Code1");
    const std::vector<SetSlotGroup> setGroups = SetGroups(table, finder, false);
    if (!finder.Missing().empty())
        return;
    for (std::int32_t r = 0; r < table.DataRowCount(); ++r) {
        SetNode set;
        set.number = r;
        set.row = r;
        set.labelColumn = set.nameKeyColumn = name;
        set.colourColumn = colour;
        set.groups = setGroups;
        const auto parent = static_cast<std::int32_t>(tree.nodes.size());
        tree.nodes.push_back(std::move(set));
        const std::int32_t count = std::clamp(CountCell(table.Text(r, items)), 0,
                                              static_cast<std::int32_t>(members.size()));
        for (std::int32_t k = 0; k < count; ++k) {
            SetNode member = MemberNode(r, parent, k, r);
            member.labelColumn = member.nameKeyColumn = members[k].key;
            member.shownColumn = member.codeColumn = members[k].base;
            member.colourColumn = colour;
            member.groups = members[k].groups;
            tree.nodes.push_back(std::move(member));
        }
    }
}

// Tries each layout on the tables; the one with nothing missing wins.
struct Attempt {
    SetTree tree;
    std::vector<std::string> missing;
    std::string table = "SetItems.txt";
};

Attempt TryClassic(const ReadTables& tables) {
    Attempt attempt;
    CColumnFinder finder(*tables.setItems);
    const ClassicColumns columns = FindClassic(finder);
    attempt.missing = finder.Missing();
    attempt.tree.layout = "classic";
    if (attempt.missing.empty())
        BuildClassic(*tables.setItems, columns, attempt.tree);
    return attempt;
}

Attempt TrySplit(const ReadTables& tables) {
    Attempt attempt;
    attempt.tree.layout = "1.10+";
    attempt.tree.usesSetsTable = true;
    CColumnFinder finder(*tables.setItems);
    SplitColumns c{};
    c.index = finder.Require("index");
    c.set = finder.Require("set");
    c.base = finder.Require("item");
    c.baseName = finder.Find("*item");
    c.colour = finder.Find("invtransform");
    c.picture = finder.Find("invfile");
    const std::vector<SetSlotGroup> itemGroups = ItemGroups(*tables.setItems, finder);
    attempt.missing = finder.Missing();
    if (!attempt.missing.empty())
        return attempt;
    std::vector<SetSlotGroup> setGroups;
    if (tables.sets && tables.sets->RowCount() > 0) {
        CColumnFinder setFinder(*tables.sets);
        c.setIndex = setFinder.Require("index");
        c.setName = setFinder.Require("name");
        setGroups = SetGroups(*tables.sets, setFinder, true);
        attempt.missing = setFinder.Missing();
        attempt.table = "Sets.txt";
        if (!attempt.missing.empty())
            return attempt;
    }
    BuildSplit(tables, c, itemGroups, setGroups, attempt.tree);
    return attempt;
}

Attempt Try109(const ReadTables& tables) {
    Attempt attempt;
    attempt.tree.layout = "1.09";
    CColumnFinder finder(*tables.setItems);
    Build109(*tables.setItems, finder, attempt.tree);
    attempt.missing = finder.Missing();
    return attempt;
}

} // namespace

std::int32_t SetTree::Find(std::int32_t number) const {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].number == number)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}

SetsTableColumns FindSetsTableColumns(const CTxtTable& sets) {
    SetsTableColumns columns;
    if (sets.RowCount() == 0)
        return columns;
    CColumnFinder finder(sets);
    columns.index = finder.Require("index");
    finder.Require("name");
    std::vector<SetSlotGroup> groups = SetGroups(sets, finder, true);
    if (finder.Missing().empty())
        columns.groups = std::move(groups);
    return columns;
}

SetTree BuildSetTree(const CTxtTable& setItems, const CTxtTable* setsTable) {
    const ReadTables tables{&setItems, setsTable};
    const CTxtTable& items = *tables.setItems;
    std::string problem = "SetItems.txt: no header row";
    std::size_t fewestMissing = SIZE_MAX;
    if (items.RowCount() > 0) {
        for (auto attemptLayout : {TryClassic, TrySplit, Try109}) {
            Attempt attempt = attemptLayout(tables);
            if (attempt.missing.empty()) {
                attempt.tree.frameText = attempt.tree.frameText.empty() ? LimitsText(attempt.tree)
                                                                        : attempt.tree.frameText;
                return std::move(attempt.tree);
            }
            if (attempt.missing.size() < fewestMissing) {
                fewestMissing = attempt.missing.size();
                problem = attempt.table + ": no column named " + attempt.missing.front();
            }
        }
    }
    // Shown, never written: a node a row, named by its first cell.
    SetTree tree;
    tree.layout = "unknown";
    tree.problem = problem;
    tree.frameText = "Read-only";
    for (std::int32_t r = 0; r < items.DataRowCount(); ++r) {
        SetNode node;
        node.number = r;
        node.row = r;
        node.labelColumn = 0;
        tree.nodes.push_back(std::move(node));
    }
    return tree;
}

} // namespace tolmere
