#include "app/ProgramData.h"

#include "tables/Services.h"

namespace tolmere {

std::vector<std::string> DataFilePlaces(const std::string& fileName, const std::string& gameDir) {
    std::vector<std::string> places;
    const std::string& programDir = ModuleDir();
    if (!programDir.empty()) {
        places.push_back(programDir + fileName);
        places.push_back(programDir + "../share/tolmere/" + fileName);
    }
    if (!gameDir.empty())
        places.push_back(gameDir + fileName);
    return places;
}

bool LoadDataTable(CTxtTable& table, const std::string& fileName, const std::string& gameDir) {
    for (const std::string& place : DataFilePlaces(fileName, gameDir)) {
        if (table.Load(place))
            return true;
    }
    return false;
}

bool LoadModKeys(CModKeys& keys, const std::string& gameDir) {
    for (const std::string& place : DataFilePlaces("modkey.txt", gameDir)) {
        if (keys.Load(place))
            return true;
    }
    return false;
}

} // namespace tolmere
