// SPDX-License-Identifier: MIT
// The maps were found by decoding the .bin files the game ships beside their .txt and
// comparing every record with the .txt rows; the stock 1.14d files come out equal byte
// for byte.
#include "compiled/BinLayouts.h"

#include <algorithm>
#include <array>
#include <strings.h>

namespace tolmere {
namespace {

BinField Num(std::uint16_t offset, std::uint8_t size, const char* column) {
    return {offset, size, BinConv::kNumber, 0, BinLink::kNone, column};
}
BinField Text(std::uint16_t offset, const char* column) {
    return {offset, 32, BinConv::kText, 0, BinLink::kNone, column};
}
BinField Code(std::uint16_t offset, const char* column) {
    return {offset, 4, BinConv::kCode, 0, BinLink::kNone, column};
}
BinField Flag(std::uint16_t offset, std::uint8_t bit, const char* column) {
    return {offset, 4, BinConv::kFlag, bit, BinLink::kNone, column};
}
BinField Link(std::uint16_t offset, std::uint8_t size, BinLink link, const char* column) {
    return {offset, size, BinConv::kLink, 0, link, column};
}
BinField Colour(std::uint16_t offset, const char* column) {
    return {offset, 1, BinConv::kColour, 0, BinLink::kNone, column};
}
BinField String(std::uint16_t offset, const char* column) {
    return {offset, 2, BinConv::kString, 0, BinLink::kNone, column};
}
BinField Own(const char* column) {
    return {0, 2, BinConv::kOwnIndex, 0, BinLink::kNone, column};
}

// Modifier slots of 16 bytes from `offset`: the property's row, its parameter, minimum
// and maximum, with the columns each name gives ("prop1" "par1" "min1" "max1").
struct SlotNames {
    std::string code, par, min, max;
};
void AddSlots(std::vector<BinField>& fields, std::uint16_t offset,
              const std::vector<SlotNames>& slots, BinConv parConv) {
    for (const SlotNames& slot : slots) {
        fields.push_back({offset, 4, BinConv::kLink, 0, BinLink::kProperties, slot.code});
        fields.push_back(
            {static_cast<std::uint16_t>(offset + 4), 4, parConv, 0, BinLink::kNone, slot.par});
        fields.push_back({static_cast<std::uint16_t>(offset + 8), 4, BinConv::kNumber, 0,
                          BinLink::kNone, slot.min});
        fields.push_back({static_cast<std::uint16_t>(offset + 12), 4, BinConv::kNumber, 0,
                          BinLink::kNone, slot.max});
        offset = static_cast<std::uint16_t>(offset + 16);
    }
}

// Slots whose four columns are named by the prefix, each part and each suffix in turn:
// "prop" + "1" for the part-less 1.10 names, "I1" + "Code" + "1" for 1.09 set
// members, or with `suffixInside` "ItemMod" + "1" + "Code" for 1.09 uniques.
std::vector<SlotNames> Named(const std::string& prefix, const std::array<const char*, 4>& parts,
                             const std::vector<std::string>& suffixes, bool suffixInside = false) {
    std::vector<SlotNames> slots;
    for (const std::string& s : suffixes) {
        std::array<std::string, 4> names;
        for (std::size_t i = 0; i < 4; ++i)
            names[i] = suffixInside ? prefix + s + parts[i] : prefix + parts[i] + s;
        slots.push_back({names[0], names[1], names[2], names[3]});
    }
    return slots;
}

std::vector<std::string> Numbered(int first, int last) {
    std::vector<std::string> suffixes;
    for (int i = first; i <= last; ++i)
        suffixes.push_back(std::to_string(i));
    return suffixes;
}

// "2a" "2b" "3a" ... for the partial-set bonuses.
std::vector<std::string> Paired(int first, int last) {
    std::vector<std::string> suffixes;
    for (int i = first; i <= last; ++i)
        for (const char* half : {"a", "b"})
            suffixes.push_back(std::to_string(i) + half);
    return suffixes;
}

BinLayout UniqueItems110() {
    BinLayout layout{"UniqueItems", "1.10+", 332, {"index", "code", "prop1"}, {}};
    layout.fields = {
        Text(0x02, "index"),
        Num(0x24, 2, "version"),
        Code(0x28, "code"),
        Flag(0x2C, 0, "enabled"),
        Flag(0x2C, 1, "nolimit"),
        Flag(0x2C, 2, "carry1"),
        Flag(0x2C, 3, "ladder"),
        Num(0x30, 2, "rarity"),
        Num(0x34, 2, "lvl"),
        Num(0x36, 2, "lvl req"),
        Colour(0x38, "chrtransform"),
        Colour(0x39, "invtransform"),
        Text(0x3A, "flippyfile"),
        Text(0x5A, "invfile"),
        Num(0x7C, 4, "cost mult"),
        Num(0x80, 4, "cost add"),
        Link(0x84, 2, BinLink::kSounds, "dropsound"),
        Link(0x86, 2, BinLink::kSounds, "usesound"),
        Num(0x88, 1, "dropsfxframe"),
    };
    AddSlots(layout.fields, 0x8C, Named("", {"prop", "par", "min", "max"}, Numbered(1, 12)),
             BinConv::kParam);
    return layout;
}

BinLayout SetItems110() {
    BinLayout layout{"SetItems", "1.10+", 440, {"index", "set", "aprop1a"}, {}};
    layout.fields = {
        Text(0x02, "index"),
        Code(0x28, "item"),
        Link(0x2C, 2, BinLink::kSets, "set"),
        Num(0x30, 2, "lvl"),
        Num(0x32, 2, "lvl req"),
        Num(0x34, 4, "rarity"),
        Num(0x38, 4, "cost mult"),
        Num(0x3C, 4, "cost add"),
        Colour(0x40, "chrtransform"),
        Colour(0x41, "invtransform"),
        Text(0x42, "flippyfile"),
        Text(0x62, "invfile"),
        Link(0x82, 2, BinLink::kSounds, "dropsound"),
        Link(0x84, 2, BinLink::kSounds, "usesound"),
        Num(0x86, 1, "dropsfxframe"),
        Num(0x87, 1, "add func"),
    };
    AddSlots(layout.fields, 0x88, Named("", {"prop", "par", "min", "max"}, Numbered(1, 9)),
             BinConv::kParam);
    AddSlots(layout.fields, 0x118, Named("", {"aprop", "apar", "amin", "amax"}, Paired(1, 5)),
             BinConv::kParam);
    return layout;
}

// Not in the shipped maps: found the same way, from the 1.14d Sets.bin. The set's name
// is the one string index the game compiles in rather than filling at load; the level
// column is not kept; the last 24 bytes (the members, found at load) stay 0.
BinLayout Sets110() {
    BinLayout layout{"Sets", "1.10+", 296, {"index", "PCode2a", "FCode1"}, {}};
    layout.fields = {Own("index"), String(0x02, "name"), Num(0x04, 4, "version")};
    AddSlots(layout.fields, 0x10, Named("", {"PCode", "PParam", "PMin", "PMax"}, Paired(2, 5)),
             BinConv::kParam);
    AddSlots(layout.fields, 0x90, Named("", {"FCode", "FParam", "FMin", "FMax"}, Numbered(1, 8)),
             BinConv::kParam);
    return layout;
}

BinLayout Properties110() {
    BinLayout layout{"Properties", "1.10+", 46, {"code", "func1", "stat1"}, {}};
    layout.fields = {Own("code")};
    for (int i = 0; i < 7; ++i) {
        const std::string n = std::to_string(i + 1);
        const auto at = [i](int base, int width) {
            return static_cast<std::uint16_t>(base + width * i);
        };
        layout.fields.push_back({at(0x02, 1), 1, BinConv::kNumber, 0, BinLink::kNone, "set" + n});
        layout.fields.push_back({at(0x0A, 2), 2, BinConv::kNumber, 0, BinLink::kNone, "val" + n});
        layout.fields.push_back({at(0x18, 1), 1, BinConv::kNumber, 0, BinLink::kNone, "func" + n});
        layout.fields.push_back(
            {at(0x20, 2), 2, BinConv::kLink, 0, BinLink::kItemStatCost, "stat" + n});
    }
    return layout;
}

BinLayout ItemStatCost110() {
    constexpr BinLink kStat = BinLink::kItemStatCost;
    BinLayout layout{"ItemStatCost", "1.10+", 324, {"stat", "descstrpos"}, {}};
    layout.fields = {
        Own("stat"),
        Flag(0x04, 0, "send other"),
        Flag(0x04, 1, "signed"),
        Flag(0x04, 2, "damagerelated"),
        Flag(0x04, 3, "itemspecific"),
        Flag(0x04, 4, "direct"),
        Flag(0x04, 9, "updateanimrate"),
        Flag(0x04, 10, "fmin"),
        Flag(0x04, 11, "fcallback"),
        Flag(0x04, 12, "saved"),
        Flag(0x04, 13, "csvsigned"),
        Num(0x08, 1, "send bits"),
        Num(0x09, 1, "send param bits"),
        Num(0x0A, 1, "csvbits"),
        Num(0x0B, 1, "csvparam"),
        Num(0x0C, 4, "divide"),
        Num(0x10, 4, "multiply"),
        Num(0x14, 4, "add"),
        Num(0x18, 1, "valshift"),
        Num(0x19, 1, "save bits"),
        Num(0x1A, 1, "1.09-save bits"),
        Num(0x1C, 4, "save add"),
        Num(0x20, 4, "1.09-save add"),
        Num(0x24, 4, "save param bits"),
        Num(0x2C, 4, "minaccr"),
        Num(0x30, 1, "encode"),
        Link(0x32, 2, kStat, "maxstat"),
        Num(0x34, 2, "descpriority"),
        Num(0x36, 1, "descfunc"),
        Num(0x37, 1, "descval"),
        String(0x38, "descstrpos"),
        String(0x3A, "descstrneg"),
        String(0x3C, "descstr2"),
        Num(0x3E, 2, "dgrp"),
        Num(0x40, 1, "dgrpfunc"),
        Num(0x41, 1, "dgrpval"),
        String(0x42, "dgrpstrpos"),
        String(0x44, "dgrpstrneg"),
        String(0x46, "dgrpstr2"),
        Link(0x48, 2, BinLink::kEvents, "itemevent1"),
        Link(0x4A, 2, BinLink::kEvents, "itemevent2"),
        Num(0x4C, 2, "itemeventfunc1"),
        Num(0x4E, 2, "itemeventfunc2"),
        Num(0x50, 1, "keepzero"),
        Num(0x54, 1, "op"),
        Num(0x55, 1, "op param"),
        Link(0x56, 2, kStat, "op base"),
        Link(0x58, 2, kStat, "op stat1"),
        Link(0x5A, 2, kStat, "op stat2"),
        Link(0x5C, 2, kStat, "op stat3"),
        Num(0x140, 4, "stuff"),
    };
    return layout;
}

BinLayout UniqueItems109() {
    BinLayout layout{"UniqueItems", "1.09", 228, {"name", "ItemMod1Code"}, {}};
    layout.fields = {
        Code(0x00, "code"),
        Num(0x04, 2, "version"),
        Text(0x06, "name"),
        Num(0x28, 1, "beta"),
        Num(0x29, 1, "transform"),
        Num(0x2A, 1, "invtransform"),
        Num(0x2B, 1, "transformcolor"),
        Num(0x2C, 4, "level"),
        Num(0x30, 4, "levelreq"),
        Num(0x34, 4, "cost mult"),
        Num(0x38, 4, "cost add"),
        Num(0x3C, 4, "completed"),
        Num(0x40, 4, "rarity"),
    };
    AddSlots(layout.fields, 0x44,
             Named("ItemMod", {"Code", "Param", "Min", "Max"}, Numbered(1, 10), true),
             BinConv::kNumber);
    return layout;
}

BinLayout SetItems109() {
    BinLayout layout{"SetItems", "1.09", 1332, {"name", "I1Code1"}, {}};
    layout.fields = {
        Text(0x00, "name"),        Num(0x60, 4, "version"),        Num(0x64, 4, "numitems"),
        Num(0x85, 1, "transform"), Num(0x86, 1, "transformcolor"), Num(0x88, 4, "level"),
    };
    for (int k = 1; k <= 6; ++k) {
        const std::string item = "Item" + std::to_string(k);
        const auto at = [k](int delta) {
            return static_cast<std::uint16_t>(0x8C + 0x3C * (k - 1) + delta);
        };
        layout.fields.push_back({at(0x00), 4, BinConv::kCode, 0, BinLink::kNone, item});
        layout.fields.push_back(
            {at(0x08), 4, BinConv::kNumber, 0, BinLink::kNone, item + " Rarity"});
        layout.fields.push_back(
            {at(0x0C), 4, BinConv::kNumber, 0, BinLink::kNone, item + " LvlReq"});
        layout.fields.push_back(
            {at(0x10), 4, BinConv::kNumber, 0, BinLink::kNone, item + " cost mult"});
        layout.fields.push_back(
            {at(0x14), 4, BinConv::kNumber, 0, BinLink::kNone, item + " cost add"});
        layout.fields.push_back({at(0x18), 1, BinConv::kNumber, 0, BinLink::kNone, item + " Add"});
        layout.fields.push_back(
            {at(0x19), 32, BinConv::kText, 0, BinLink::kNone, item + " Suffix"});
    }
    const std::vector<std::string> memberSlots{"1", "2", "A", "B", "C", "D", "E"};
    for (int k = 1; k <= 6; ++k) {
        const std::string i = "I" + std::to_string(k);
        AddSlots(layout.fields, static_cast<std::uint16_t>(0x1F4 + 0x70 * (k - 1)),
                 Named(i, {"Code", "Param", "Min", "Max"}, memberSlots), BinConv::kNumber);
    }
    AddSlots(layout.fields, 0x494, Named("", {"PCode", "PParam", "PMin", "PMax"}, Numbered(2, 5)),
             BinConv::kNumber);
    AddSlots(layout.fields, 0x4D4, Named("", {"FCode", "FParam", "FMin", "FMax"}, Numbered(1, 6)),
             BinConv::kNumber);
    return layout;
}

BinLayout ItemStatCost109() {
    BinLayout layout{"ItemStatCost", "1.09", 36, {"stat", "save bits", "target stat"}, {}};
    layout.fields = {
        Num(0x00, 1, "damagerelated"), Num(0x01, 1, "itemspecific"), Num(0x04, 4, "divide"),
        Num(0x08, 4, "multiply"),      Num(0x0C, 4, "add"),          Num(0x10, 1, "valshift"),
        Num(0x11, 1, "save bits"),     Num(0x14, 4, "save add"),     Num(0x18, 4, "target stat"),
        Num(0x1C, 1, "percent"),       Num(0x1D, 1, "perlevel"),     Num(0x1E, 1, "perlevelshift"),
        Num(0x1F, 1, "bytime"),        Num(0x20, 4, "encode"),
    };
    return layout;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// "Properties.txt", "properties" and "PROPERTIES.TXT" all name Properties.
std::string TableName(std::string name) {
    if (name.size() > 4 && SameName(std::string_view(name).substr(name.size() - 4), ".txt"))
        name.resize(name.size() - 4);
    return name;
}

} // namespace

const char* BinLinkFile(BinLink link) {
    switch (link) {
    case BinLink::kProperties:
        return "Properties.txt";
    case BinLink::kItemStatCost:
        return "ItemStatCost.txt";
    case BinLink::kSounds:
        return "Sounds.txt";
    case BinLink::kEvents:
        return "Events.txt";
    case BinLink::kSets:
        return "Sets.txt";
    case BinLink::kSkills:
        return "Skills.txt";
    case BinLink::kMonType:
        return "MonType.txt";
    case BinLink::kStates:
        return "States.txt";
    case BinLink::kNone:
        break;
    }
    return "";
}

const char* BinLinkColumn(BinLink link) {
    switch (link) {
    case BinLink::kProperties:
        return "code";
    case BinLink::kItemStatCost:
        return "stat";
    case BinLink::kSounds:
        return "Sound";
    case BinLink::kEvents:
        return "event";
    case BinLink::kSets:
        return "index";
    case BinLink::kSkills:
        return "skill";
    case BinLink::kMonType:
        return "type";
    case BinLink::kStates:
        return "state";
    case BinLink::kNone:
        break;
    }
    return "";
}

std::vector<BinLink> BinLayout::Links() const {
    std::vector<BinLink> links;
    const BinLink self = Self();
    for (BinLink link : kAllBinLinks) {
        const bool used = std::any_of(fields.begin(), fields.end(), [&](const BinField& f) {
            if (f.conv == BinConv::kParam)
                return link == BinLink::kSkills || link == BinLink::kMonType ||
                       link == BinLink::kStates;
            return f.conv == BinConv::kLink && f.link == link;
        });
        if (used && link != self)
            links.push_back(link);
    }
    return links;
}

bool BinLayout::NeedsStrings() const {
    return std::any_of(fields.begin(), fields.end(),
                       [](const BinField& f) { return f.conv == BinConv::kString; });
}

BinLink BinLayout::Self() const {
    for (BinLink link : kAllBinLinks)
        if (TableName(BinLinkFile(link)) == table)
            return link;
    return BinLink::kNone;
}

const std::vector<BinLayout>& BinLayouts() {
    static const std::vector<BinLayout> layouts{
        SetItems110(),     UniqueItems110(), Sets110(),     Properties110(),
        ItemStatCost110(), UniqueItems109(), SetItems109(), ItemStatCost109(),
    };
    return layouts;
}

const BinLayout* FindBinLayout(const CTxtTable& table) {
    const auto hasColumn = [&table](const std::string& name) {
        for (std::int32_t c = 0; c < table.ColumnCount(); ++c)
            if (SameName(table.HeaderCell(c).value_or(""), name))
                return true;
        return false;
    };
    for (const BinLayout& layout : BinLayouts())
        if (std::all_of(layout.signature.begin(), layout.signature.end(), hasColumn))
            return &layout;
    return nullptr;
}

const BinLayout* FindBinLayout(const std::string& table, const std::string& game) {
    const std::string name = TableName(table);
    for (const BinLayout& layout : BinLayouts())
        if (layout.game == game && SameName(layout.table, name))
            return &layout;
    return nullptr;
}

} // namespace tolmere
