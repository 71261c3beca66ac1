// SPDX-License-Identifier: MIT
#include "support/CompiledGame.h"

#include "compiled/BinCompiler.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tolmere::testing {
namespace {

// The linked tables, by their game names. ItemStatCost names two string keys.
const std::pair<const char*, const char*> kLinked[] = {
    {"Properties.txt",
     "code\tfunc1\tstat1\r\nac\t1\tarmorclass\r\nstr\t1\tstrength\r\nfire-max\t1\tmaxfire\r\n"
     "dmg-max\t1\tmaxdamage\r\n"},
    {"ItemStatCost.txt", "Stat\tID\tdescstrpos\r\nstrength\t0\tModStr1a\r\narmorclass\t1\t\r\n"
                         "maxfire\t2\tModStr1b\r\nmaxdamage\t3\t\r\n"},
    {"Events.txt", "event\t*desc\r\nhitbymissile\t\r\n"},
    {"Sounds.txt", "Sound\tIndex\r\n\t0\r\nitem_ring\t1\r\n"},
    {"Skills.txt", "skill\tId\r\nAttack\t0\r\n"},
    {"MonType.txt", "type\t*eol\r\n\t0\r\nundead\t0\r\n"},
    {"States.txt", "state\tid\r\nnone\t0\r\n"},
};

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

} // namespace

CompiledGame::CompiledGame(std::string gameDir, std::string mpq2k, std::string scratch)
    : gameDir_(std::move(gameDir)), mpq2k_(std::move(mpq2k)), scratch_(std::move(scratch)) {
    for (const auto& [name, text] : kLinked)
        linked_[name].Parse(text, std::char_traits<char>::length(text));
}

bool CompiledGame::Add(const std::string& name, const std::string& bytes) const {
    WriteBytes(scratch_ + "/upload", bytes);
    const std::string command = "cd " + Quoted(gameDir_) + " && " + Quoted(mpq2k_) +
                                " a patch_d2.mpq " + Quoted(scratch_ + "/upload") +
                                " 'data\\GLOBAL\\Excel\\" + name + "' >/dev/null";
    return std::system(command.c_str()) == 0;
}

std::string CompiledGame::Compile(const CTxtTable& table, const CStringTables& strings) const {
    const BinLayout* layout = FindBinLayout(table);
    if (!layout) {
        ADD_FAILURE() << "no layout";
        return std::string();
    }
    CBinLinks links;
    for (BinLink link : kAllBinLinks) {
        if (link != BinLink::kSets) {
            EXPECT_EQ(links.Add(link, linked_.at(BinLinkFile(link))), "");
        }
    }
    CStrTbl patch = strings.Table(StringSource::kPatch);
    std::string bytes;
    EXPECT_TRUE(patch.Serialize(bytes));
    EXPECT_EQ(links.Strings().patch.Parse(bytes), "");
    std::string bin;
    EXPECT_EQ(CompileBin(table, *layout, links, bin), "");
    return bin;
}

bool CompiledGame::Give(const CTxtTable& uniques, const CStringTables& strings) const {
    for (const auto& [name, text] : kLinked)
        if (!Add(name, text))
            return false;
    return Add("Properties.bin", Compile(linked_.at("Properties.txt"), strings)) &&
           Add("ItemStatCost.bin", Compile(linked_.at("ItemStatCost.txt"), strings)) &&
           Add("UniqueItems.bin", Compile(uniques, strings));
}

bool CompiledGame::ChangeProperties() const {
    return Add("Properties.txt", "code\tfunc1\tstat1\r\nstr\t1\tstrength\r\nac\t1\tarmorclass\r\n"
                                 "fire-max\t1\tmaxfire\r\ndmg-max\t1\tmaxdamage\r\n");
}

} // namespace tolmere::testing
