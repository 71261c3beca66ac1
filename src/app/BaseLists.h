// The game's base item lists: weapons.txt, armor.txt and misc.txt.
#pragma once

#include "tables/TxtTable.h"

#include <array>
#include <string>

namespace tolmere {

// Where one list keeps what the editor reads.
struct BaseListLayout {
    const char* fileName;
    std::int32_t codeColumn;
    std::int32_t nameColumn;
    std::int32_t fallbackPictureColumn;
    std::int32_t pictureColumn;
};

// The lists in search order, with the columns this editor targets.
inline constexpr std::array<BaseListLayout, 3> kClassicBaseLists{{
    {"weapons.txt", 27, 0, 54, 55},
    {"armor.txt", 15, 0, 28, 29},
    {"misc.txt", 10, 1, 19, 20},
}};

struct BaseItem {
    std::string picture;
    std::string fallbackPicture;
    std::string name;
};

class CBaseLists {
public:
    static constexpr std::size_t kListCount = kClassicBaseLists.size();

    CTxtTable& List(std::size_t i) { return lists_[i]; }
    const CTxtTable& List(std::size_t i) const { return lists_[i]; }
    const BaseListLayout& Layout(std::size_t i) const { return kClassicBaseLists[i]; }

    // True when every list has columns and rows (a header line alone is enough).
    bool Loaded() const;
    // Assigns the outputs from every row whose code matches, in list order, so the last
    // match decides; outputs of a code no list has stay as they were. A row too short
    // to hold every column of its list does not match.
    void FindBaseItem(const std::string& code, BaseItem& item) const;

private:
    std::array<CTxtTable, kListCount> lists_;
};

} // namespace tolmere
