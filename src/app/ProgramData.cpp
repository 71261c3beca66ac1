// SPDX-License-Identifier: MIT
#include "app/ProgramData.h"

#include "base/Services.h"

namespace tolmere {

ProgramData::ProgramData() : programDir(ModuleDir()) {}

std::vector<std::string> DataFilePlaces(const std::string& fileName, const std::string& programDir,
                                        const std::string& gameDir) {
    std::vector<std::string> places;
    if (!programDir.empty()) {
        places.push_back(programDir + fileName);
        places.push_back(programDir + "../share/tolmere/" + fileName);
    }
    if (!gameDir.empty())
        places.push_back(gameDir + fileName);
    return places;
}

bool LoadDataTable(CTxtTable& table, const std::string& fileName, const std::string& programDir,
                   const std::string& gameDir) {
    for (const std::string& place : DataFilePlaces(fileName, programDir, gameDir)) {
        if (table.Load(place))
            return true;
    }
    return false;
}

bool LoadModKeys(CModKeys& keys, const std::string& programDir, const std::string& gameDir) {
    for (const std::string& place : DataFilePlaces("modkey.txt", programDir, gameDir)) {
        if (keys.Load(place))
            return true;
    }
    return false;
}

} // namespace tolmere
