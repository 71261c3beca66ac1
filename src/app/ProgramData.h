// SPDX-License-Identifier: MIT
// The data every window of the program works on: one instance for the whole run,
// owned by the application and handed to the windows.
#pragma once

#include "archive/Backups.h"
#include "archive/GameDir.h"
#include "images/ItemPics.h"
#include "items/BaseLists.h"
#include "items/UniqueLayout.h"
#include "mods/GameData.h"
#include "mods/ModKeys.h"
#include "tables/EditHistory.h"
#include "tables/StringTables.h"
#include "tables/TxtTable.h"

#include <string>
#include <vector>

namespace tolmere {

inline const char kStartLanguage[] = "ENG";

struct ProgramData {
    CTxtTable uniqueItems;
    UniqueItemsLayout uniqueLayout; // found from uniqueItems' header whenever it is loaded
    // The game's archive uniqueItems came from when that was not the patch archive.
    std::string uniqueServedBy;
    CTxtTable setItems;
    CTxtTable sets; // "Sets.txt", for the layout that keeps each set's bonuses there
    // The game's archive each came from when that was not the patch archive.
    std::string setItemsServedBy;
    std::string setsServedBy;
    CModKeys modKeys; // "modkey.txt"
    // The game's Properties.txt, ItemStatCost.txt and skill tables, which word the
    // modifiers as the game does; not Ready() when the game lacks them.
    CGameData game;
    GameTables gameTables; // those tables as read, for finding which rows name which texts
    CTxtTable colours;     // "colors.txt"
    CBaseLists baseLists;
    CItemPics pictures;    // every picture decoded in the run, shared with the picture worker
    CStringTables strings; // the string tables of `language`
    GameSearch gameSearch; // where the user told the program to find the game
    CEditHistory history;  // every edit of the tables and the string table, for undo
    BackupSession backup;  // whether the run has kept a copy of the patch archive yet
    std::string language = kStartLanguage;
    bool extraFeatures = false;
    // Where the program's own data files lie: the program's directory, ending with '/'.
    std::string programDir;

    ProgramData();
};

// Where a data file that ships with the program is looked for, in order: beside the
// program, in the installed data directory (../share/tolmere/ from the program), then
// in the game directory. Both directories end with '/'; an empty one is skipped.
std::vector<std::string> DataFilePlaces(const std::string& fileName, const std::string& programDir,
                                        const std::string& gameDir);

// Loads the first place that loads; false when none does (the table is then unchanged).
bool LoadDataTable(CTxtTable& table, const std::string& fileName, const std::string& programDir,
                   const std::string& gameDir);
bool LoadModKeys(CModKeys& keys, const std::string& programDir, const std::string& gameDir);

} // namespace tolmere
