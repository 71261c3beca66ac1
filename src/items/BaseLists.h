// SPDX-License-Identifier: MIT
// The game's base item lists: weapons.txt, armor.txt and misc.txt.
#pragma once

#include "tables/TxtTable.h"

#include <array>
#include <string>

namespace tolmere {

// Where one list keeps what the editor reads, found by the header's column names;
// -1 for a column the list does not have.
struct BaseListLayout {
    std::int32_t codeColumn = -1;
    std::int32_t nameColumn = -1;            // "name", else the string key "namestr"
    std::int32_t fallbackPictureColumn = -1; // "invfile": the base item's own picture
    std::int32_t pictureColumn = -1;         // "uniqueinvfile": what its unique items show
    std::int32_t setPictureColumn = -1;      // "setinvfile": what its set items show
};

BaseListLayout RecogniseBaseList(const CTxtTable& list);

// The lists' file names, in search order.
inline constexpr std::array<const char*, 3> kBaseListFiles{"weapons.txt", "armor.txt", "misc.txt"};

struct BaseItem {
    std::string picture;
    std::string fallbackPicture;
    std::string setPicture;
    std::string name;
};

class CBaseLists {
public:
    static constexpr std::size_t kListCount = kBaseListFiles.size();

    const CTxtTable& List(std::size_t i) const { return lists_[i]; }
    const BaseListLayout& Layout(std::size_t i) const { return layouts_[i]; }
    static const char* FileName(std::size_t i) { return kBaseListFiles[i]; }
    // Replaces list i; false (the list unchanged) when the file cannot be read.
    bool Load(std::size_t i, const std::string& path);
    void Assign(std::size_t i, CTxtTable list);

    // True when every list has columns and rows (a header line alone is enough).
    bool Loaded() const;
    // Assigns the outputs from every row whose code matches, in list order, so the last
    // match decides; outputs of a code no list has stay as they were. Outputs whose
    // column a list lacks are left alone by that list's rows.
    void FindBaseItem(const std::string& code, BaseItem& item) const;

private:
    std::array<CTxtTable, kListCount> lists_;
    std::array<BaseListLayout, kListCount> layouts_;
};

} // namespace tolmere
