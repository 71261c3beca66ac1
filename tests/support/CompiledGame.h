// SPDX-License-Identifier: MIT
// A game whose patch archive holds compiled tables, as 1.14d's does: small invented
// tables for the compiled ones to link to, and the .bin of each.
#pragma once

#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <map>
#include <string>

namespace tolmere::testing {

class CompiledGame {
public:
    // `gameDir` ends with '/'; `mpq2k` is the archive tool; `scratch` a folder of the test's.
    CompiledGame(std::string gameDir, std::string mpq2k, std::string scratch);

    // Puts the bytes into the patch archive as data\GLOBAL\Excel\<name>; false when the
    // tool failed.
    bool Add(const std::string& name, const std::string& bytes) const;
    // The .bin the game compiles the table to, linking to the invented tables and the
    // string tables; empty (a test failure added) when it cannot be compiled.
    std::string Compile(const CTxtTable& table, const CStringTables& strings) const;
    // Puts the invented tables, their Properties.bin and ItemStatCost.bin, and the
    // compiled `uniques` as UniqueItems.bin into the patch archive.
    bool Give(const CTxtTable& uniques, const CStringTables& strings) const;
    // A mod's change to Properties.txt without one to Properties.bin: its first two rows
    // swapped, so that "ac" and "str" trade rows.
    bool ChangeProperties() const;

private:
    std::string gameDir_, mpq2k_, scratch_;
    std::map<std::string, CTxtTable> linked_;
};

} // namespace tolmere::testing
