// SPDX-License-Identifier: MIT
#include "strings/StringEdits.h"
#include "strings/StringList.h"
#include "strings/StringUsage.h"

#include "support/CliRun.h"
#include "support/TableBuilder.h"
#include "support/TempDir.h"
#include "tables/StrTblText.h"

#include <gtest/gtest.h>

namespace tolmere {
namespace {

std::string Bytes(CStrTbl table) {
    std::string bytes;
    table.Serialize(bytes);
    return bytes;
}

// A table as it comes from a file: read back from its bytes, with a hash table larger
// than its entries and version 0, as the game's tables have.
CStrTbl ReadTable(const std::vector<std::pair<std::string, std::string>>& entries) {
    CStrTbl made;
    made.SetHashLayout(static_cast<std::uint32_t>(entries.size() + 3), 0);
    for (const auto& [key, text] : entries)
        made.Add(key, text);
    CStrTbl read;
    EXPECT_TRUE(read.Parse(Bytes(made)));
    return read;
}

// patch: a, b (twice), c; expansion: b, d, d; base: a, b, e, e.
CStringTables Invented() {
    CStringTables tables;
    tables.Patch() = ReadTable({{"a", "pa"}, {"b", "pb1"}, {"c", "pc"}, {"b", "pb2"}});
    tables.Table(StringSource::kExpansion) = ReadTable({{"b", "xb"}, {"d", "xd1"}, {"d", "xd2"}});
    tables.Table(StringSource::kBase) =
        ReadTable({{"a", "ba"}, {"b", "bb"}, {"e", "\xc3\x89pee"}, {"e", "second"}});
    return tables;
}

struct Shown {
    std::string text;
    StringSource source;
    bool overrides, duplicate;
};

Shown ShownOf(const CStringList& list, const std::string& key) {
    const std::ptrdiff_t i = list.RowOf(key);
    EXPECT_GE(i, 0) << key;
    if (i < 0)
        return {};
    const StringRow& row = list.Rows()[static_cast<std::size_t>(i)];
    return {std::string(row.text), row.source, row.overrides, row.duplicate};
}

struct KeyShown {
    const char* key;
    Shown shown;
};

template <std::size_t N> void ExpectShown(const CStringList& list, const KeyShown (&cases)[N]) {
    for (const KeyShown& c : cases) {
        const Shown shown = ShownOf(list, c.key);
        EXPECT_EQ(shown.text, c.shown.text) << c.key;
        EXPECT_EQ(shown.source, c.shown.source) << c.key;
        EXPECT_EQ(shown.overrides, c.shown.overrides) << c.key;
        EXPECT_EQ(shown.duplicate, c.shown.duplicate) << c.key;
    }
}

TEST(StringList, LookupOrderAndMarks) {
    const CStringTables tables = Invented();
    CStringList list;
    list.Build(tables);
    ASSERT_EQ(list.Rows().size(), 5u);
    using S = StringSource;
    const KeyShown cases[] = {
        {"a", {"pa", S::kPatch, true, false}},         {"b", {"pb1", S::kPatch, true, true}},
        {"c", {"pc", S::kPatch, false, false}},        {"d", {"xd1", S::kExpansion, false, true}},
        {"e", {"\xc3\x89pee", S::kBase, false, true}},
    };
    ExpectShown(list, cases);
}

TEST(StringList, FilterByWordTableAndProblems) {
    const CStringTables tables = Invented();
    CTxtTable unique =
        testing::NamedTable({"index", "code"}, {{"e", "rin"}, {"zz", "amu"}, {"Expansion", ""}});
    CStringUsage usage;
    usage.Build(UsageSources({&unique}));
    CStringList list;
    list.Build(tables, &usage);
    const auto keys = [&](const StringFilter& filter) {
        std::string out;
        for (std::size_t i : list.Filter(filter))
            out += std::string(list.Rows()[i].key) + " ";
        return out;
    };
    StringFilter upper;
    upper.query = "P"; // in the texts of a, b, c and, as "Pee" after "É", of e
    const StringFilter accented{"\xc3\xa9P", {}, false, false};
    const StringFilter expansion{"", StringSource::kExpansion, false, false};
    const StringFilter used{"", {}, true, false};
    const StringFilter problems{"", {}, false, true};
    EXPECT_EQ(keys(upper), "a b c e ");
    EXPECT_EQ(keys(accented), "e ");
    EXPECT_EQ(keys(expansion), "d ");
    EXPECT_EQ(keys(used), "e zz ");
    EXPECT_EQ(keys(problems), "b d e zz ");
    EXPECT_EQ(keys({"pb", {}, false, false}), "b ");
    EXPECT_EQ(keys({"cp", {}, false, false}), ""); // key and text are not one string
    // Narrowing an earlier answer gives what a fresh search gives.
    const std::vector<std::size_t> wide = list.Filter(upper);
    StringFilter narrow = upper;
    narrow.query = "pc";
    EXPECT_EQ(list.Filter(narrow, &wide), list.Filter(narrow));
}

// Which cells name keys in each layout's set table: never a classic set's item1 (its
// base item), a 1.09 set's Item1 (its key) where it has no key1.
TEST(StringUsage, SetColumnsByLayout) {
    const struct {
        testing::Row header;
        testing::Row row;
        const char* keys;
    } cases[] = {
        {{"name", "key2", "items", "item1", "code1", "key1", "item2", "code2", "key2"},
         {"Kit", "Kit Prefix", "2", "Ring", "rin", "Kit Ring", "Amulet", "amu", "Kit Amulet"},
         "Kit;Kit Prefix;Kit Ring;Kit Amulet;"},
        {{"Name", "Item1", "Item2"},
         {"Old Set", "Old Helm", "Old Mail"},
         "Old Set;Old Helm;Old Mail;"},
        {{"index", "set", "item", "*eol"}, {"Member", "The Set", "rin", "0"}, "Member;"},
    };
    for (const auto& c : cases) {
        const CTxtTable table = testing::NamedTable(c.header, {c.row});
        ItemTables tables;
        tables.setItems = &table;
        CStringUsage usage;
        usage.Build(UsageSources(tables));
        std::string keys;
        for (const std::string& key : usage.Keys())
            keys += key + ";";
        EXPECT_EQ(keys, c.keys) << c.header[0];
    }
}

// Each edit, its outcome and the text then shown; undone, patchstring.tbl's bytes are
// those it had.
TEST(StringEdits, EditsUndoToTheSameBytes) {
    using S = StringSource;
    enum Op { kSet, kAdd, kDelete, kRevert };
    const struct {
        Op op;
        const char* key;
        std::string text;
        bool done;
        const char* shown; // nullptr: no table has the key then
        S source;
    } cases[] = {
        {kSet, "a", "new", true, "new", S::kPatch},
        {kSet, "d", "over", true, "over", S::kPatch},              // added over expansion's
        {kSet, "e", "\xc3\x89pee", true, "\xc3\x89pee", S::kBase}, // as it reads: nothing
        {kSet, "zz", "x", false, nullptr, S::kPatch},              // no table has it
        {kSet, "a", std::string("x\0y", 3), false, "pa", S::kPatch},
        {kAdd, "a", "x", false, "pa", S::kPatch},     // patch has it
        {kAdd, "e", "mine", true, "mine", S::kPatch}, // over base's, with a note
        {kAdd, "new", "", true, "", S::kPatch},
        {kAdd, "", "x", false, nullptr, S::kPatch},
        {kDelete, "b", "", true, "xb", S::kExpansion}, // both of patch's entries go
        {kDelete, "c", "", true, nullptr, S::kPatch},
        {kDelete, "d", "", false, "xd1", S::kExpansion}, // not patch's to delete
        {kRevert, "a", "", true, "ba", S::kBase},
        {kRevert, "c", "", false, "pc", S::kPatch}, // nothing to go back to
    };
    for (const auto& c : cases) {
        CStringTables tables = Invented();
        const std::string before = Bytes(tables.Patch());
        StringEditResult result = c.op == kSet      ? SetString(tables, c.key, c.text)
                                  : c.op == kAdd    ? AddString(tables, c.key, c.text)
                                  : c.op == kDelete ? DeleteString(tables, c.key)
                                                    : RevertString(tables, c.key);
        SCOPED_TRACE(std::string(c.key) + " op " + std::to_string(c.op));
        EXPECT_EQ(result.done, c.done) << result.message;
        const CStringTables::Found found = tables.Lookup(c.key);
        EXPECT_EQ(found.entry ? found.entry->text : "-", c.shown ? c.shown : "-");
        if (found.entry && c.shown) {
            EXPECT_EQ(found.source, c.source);
        }
        CEditHistory history;
        const bool changed = !result.step.Empty();
        history.Push(std::move(result.step));
        EXPECT_EQ(history.Modified(&tables.Patch()), changed);
        history.Undo();
        EXPECT_EQ(Bytes(tables.Patch()), before);
        if (changed) {
            history.Redo();
            const CStringTables::Found again = tables.Lookup(c.key);
            EXPECT_EQ(again.entry ? again.entry->text : "-", c.shown ? c.shown : "-");
        }
    }
}

TEST(StringEdits, RefusedWhilePatchDidNotLoad) {
    CStringTables tables = Invented();
    tables.SetPatchProblem("damaged");
    const StringEditResult result = SetString(tables, "a", "x");
    EXPECT_FALSE(result.done);
    EXPECT_NE(result.message.find("damaged"), std::string::npos);
    EXPECT_EQ(tables.Patch().Find("a")->text, "pa");
}

TEST(StringEdits, ImportExportRoundTrip) {
    CStringTables tables = Invented();
    const std::string before = Bytes(tables.Patch());
    const std::string text = ExportPatchText(tables.Patch());
    EXPECT_EQ(text, "tbl hash-slots=7 version=0\na\tpa\nb\tpb1\nc\tpc\nb\tpb2\n");
    // The same text changes nothing; another one changes, adds and removes, in one step.
    StringEditResult same = ImportPatchText(tables, text);
    EXPECT_TRUE(same.done);
    EXPECT_TRUE(same.step.Empty());
    StringEditResult other = ImportPatchText(tables, "b\tone\\ntwo\nz\tnew\na\tpa\n");
    ASSERT_TRUE(other.done) << other.message;
    EXPECT_EQ(ExportPatchText(tables.Patch()),
              "tbl hash-slots=7 version=0\na\tpa\nb\tone\\ntwo\nz\tnew\n");
    EXPECT_EQ(tables.Patch().HashSlots(), 7u);
    CEditHistory history;
    history.Push(std::move(other.step));
    history.Undo();
    EXPECT_EQ(Bytes(tables.Patch()), before);
    const StringEditResult bad = ImportPatchText(tables, "a\tpa\nno tab here\n");
    EXPECT_FALSE(bad.done);
    EXPECT_NE(bad.message.find("line 2"), std::string::npos);
}

// The real English tables: about 8,700 keys over the three.
struct RealStrings {
    CStringTables tables;
    std::string dir;
    bool Load(const std::string& real) {
        dir = real;
        return tables.Patch().Read(real + "/114d/patchstring.tbl") &&
               tables.Table(StringSource::kExpansion).Read(real + "/strings/expansionstring.tbl") &&
               tables.Table(StringSource::kBase).Read(real + "/strings/string.tbl");
    }
};

TEST(StringListReal, LookupOrderAndMarks) {
    REAL_TABLES_OR_SKIP(real);
    RealStrings strings;
    ASSERT_TRUE(strings.Load(real));
    CStringList list;
    list.Build(strings.tables);
    EXPECT_EQ(list.Rows().size(), 8683u);
    using S = StringSource;
    const KeyShown cases[] = {
        {"ModStr1w", {"Extra Gold from Monsters", S::kPatch, true, false}}, // over string.tbl
        {"NecOnly", {"(Necromancer Only)", S::kPatch, true, false}},        // over both
        {"Imp4", {"Demon Trickster", S::kExpansion, true, false}},
        {"The Stone of Jordan", {"The Stone of Jordan", S::kBase, false, false}},
        {"Vidala's Ambush", {"Vidala's Ambush", S::kPatch, false, false}},
        {"strModEnhancedDamage", {"Enhanced Damage\n", S::kPatch, true, true}},
        {"Eschuta's temper", {"Eschuta's Temper", S::kExpansion, false, true}},
    };
    ExpectShown(list, cases);
}

TEST(StringUsageReal, KnownKeys) {
    REAL_TABLES_OR_SKIP(real);
    CTxtTable unique, setItems, sets, stats, skillDesc;
    for (auto [table, name] : {std::pair{&unique, "UniqueItems.txt"},
                               {&setItems, "SetItems.txt"},
                               {&sets, "Sets.txt"},
                               {&stats, "ItemStatCost.txt"},
                               {&skillDesc, "SkillDesc.txt"}})
        ASSERT_TRUE(table->Load(real + "/114d/" + name)) << name;
    CStringUsage usage;
    usage.Build(UsageSources({&unique, &setItems, &sets, &stats, &skillDesc}));
    const auto uses = [&](const char* key) {
        std::string out;
        for (const StringUse& use : usage.Uses(key))
            out += use.table + "#" + std::to_string(use.row) + " " + use.column + " " + use.rowKey +
                   ";";
        return out;
    };
    EXPECT_EQ(uses("The Stone of Jordan"), "UniqueItems.txt#122 index The Stone of Jordan;");
    EXPECT_EQ(uses("Tal Rasha's Wrappings"), "Sets.txt#20 name Tal Rasha's Wrappings;");
    EXPECT_EQ(uses("ModStr1w"), "ItemStatCost.txt#79 descstrpos item_goldbonus;"
                                "ItemStatCost.txt#79 descstrneg item_goldbonus;"
                                "ItemStatCost.txt#239 descstrpos item_find_gold_perlevel;"
                                "ItemStatCost.txt#239 descstrneg item_find_gold_perlevel;"
                                "ItemStatCost.txt#292 descstrpos item_find_gold_bytime;"
                                "ItemStatCost.txt#292 descstrneg item_find_gold_bytime;");
    EXPECT_EQ(uses("Expansion"), "");
    RealStrings strings;
    ASSERT_TRUE(strings.Load(real));
    for (const std::string& key : usage.Missing(strings.tables))
        EXPECT_FALSE(strings.tables.Lookup(key).entry) << key;
}

TEST(StringsCliReal, FindGetAndEdits) {
    REAL_TABLES_OR_SKIP(real);
    testing::TempDir dir;
    const std::string patch = real + "/114d/patchstring.tbl";
    for (const char* name : {"string.tbl", "expansionstring.tbl"})
        testing::WriteBytes(dir.File(name), testing::ReadBytes(real + "/strings/" + name));
    testing::WriteBytes(dir.File("patchstring.tbl"), testing::ReadBytes(patch));
    const std::string folder = testing::Q(dir.Path()) + " ";

    testing::CliRun run = testing::Cli(dir, "strings " + folder + "find 'STONE OF JOR'");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "The Stone of Jordan\tstring.tbl\tThe Stone of Jordan\n");
    run = testing::Cli(dir, "strings " + folder + "get strModEnhancedDamage");
    EXPECT_EQ(run.out, "strModEnhancedDamage\tpatchstring.tbl\tEnhanced Damage\\n\n");
    run = testing::Cli(dir, "strings " + folder + "get NoSuchKey");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("NoSuchKey"), std::string::npos);

    // Added and deleted again: the very file; changed: the same size of hash table.
    const std::string tbl = testing::Q(patch) + " ";
    const std::string added = dir.File("added.tbl"), back = dir.File("back.tbl");
    run = testing::Cli(dir, "strings " + tbl + "add MyKey 'My text' " + testing::Q(added));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = testing::Cli(dir, "strings " + testing::Q(added) + " delete MyKey " + testing::Q(back));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(testing::ReadBytes(back), testing::ReadBytes(patch));
    run = testing::Cli(dir, "strings " + tbl + "add NecOnly x -");
    EXPECT_EQ(run.exitCode, 1);
    run = testing::Cli(dir, "strings " + tbl + "set NecOnly '(Necro)' " + testing::Q(added));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    CStrTbl changed, original;
    ASSERT_TRUE(changed.Read(added));
    ASSERT_TRUE(original.Read(patch));
    EXPECT_EQ(changed.HashSlots(), original.HashSlots());
    EXPECT_EQ(changed.Version(), original.Version());
    EXPECT_EQ(changed.Find("NecOnly")->text, "(Necro)");
    original.Set("NecOnly", "(Necro)");
    EXPECT_EQ(StrTblToText(changed), StrTblToText(original));
}

} // namespace
} // namespace tolmere
