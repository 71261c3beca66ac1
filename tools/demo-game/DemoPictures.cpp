// SPDX-License-Identifier: MIT
// Draws an inventory picture for every base item of the demo game's lists, as DC6
// files named after the lists' picture columns, so that the editor has something of
// the right size and shape to show. `--patched` draws a recoloured set for the
// patch archive to override the base pictures with.
//
//   demo-pictures [--patched] WEAPONS.txt ARMOR.txt MISC.txt OUT_DIR [ITEMS.txt …]
//
// Item tables given after OUT_DIR (unique or set items) get a picture for every name
// in their own "invfile" column too.
#include "dc6enc/Dc6Encode.h"
#include "items/BaseLists.h"
#include "tables/ColumnFinder.h"
#include "tables/SafeWriter.h"

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using tolmere::dc6enc::File;

// Inventory cells are 28 pixels; weapons stand tall, armour is square, small things
// take one cell.
struct Size {
    int cellsWide, cellsHigh;
};
constexpr Size kListSizes[] = {{2, 3}, {2, 2}, {1, 1}};

// A framed emblem: a border, a diagonal and a fill whose colours depend on the name,
// so neighbouring items differ and the patched set is plainly another colour.
std::vector<std::string> Draw(const std::string& name, Size size, bool patched) {
    const int width = size.cellsWide * 28, height = size.cellsHigh * 28;
    unsigned hash = 2166136261u;
    for (unsigned char ch : name)
        hash = (hash ^ ch) * 16777619u;
    const auto fill = static_cast<char>(patched ? 0x97 : 0x20 + hash % 0x60);
    const auto edge = static_cast<char>(patched ? 0x84 : 0xA0 + (hash >> 8) % 0x40);
    std::vector<std::string> rows(static_cast<std::size_t>(height), std::string(width, '\0'));
    for (int y = 2; y < height - 2; ++y)
        for (int x = 2; x < width - 2; ++x) {
            bool border = x < 4 || y < 4 || x >= width - 4 || y >= height - 4;
            bool diagonal = (x * height / width - y) / 2 == 0;
            rows[y][x] = border || diagonal ? edge : fill;
        }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    bool patched = !args.empty() && args[0] == "--patched";
    if (patched)
        args.erase(args.begin());
    if (args.size() < 4) {
        std::fprintf(stderr,
                     "usage: demo-pictures [--patched] WEAPONS ARMOR MISC OUT_DIR [ITEMS…]\n");
        return 2;
    }
    tolmere::CBaseLists lists;
    for (std::size_t i = 0; i < tolmere::CBaseLists::kListCount; ++i) {
        if (!lists.Load(i, args[i])) {
            std::fprintf(stderr, "demo-pictures: cannot read %s\n", args[i].c_str());
            return 1;
        }
    }
    std::set<std::string> drawn;
    auto draw = [&](const std::string& name, Size size) {
        if (name.empty() || !drawn.insert(name).second)
            return true;
        File file;
        file.frames.push_back(
            tolmere::dc6enc::FrameOf(Draw(name, size, patched), tolmere::dc6enc::kTerminationEE));
        const std::string path = args[3] + "/" + name + ".dc6";
        if (!tolmere::WriteFileSafely(path, tolmere::dc6enc::Encode(file))) {
            std::fprintf(stderr, "demo-pictures: cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("%s\n", name.c_str());
        return true;
    };
    // Rings and amulets are shown by their first look, whatever the lists say.
    for (const char* name : {"invrin1", "invamu1"})
        if (!draw(name, kListSizes[2]))
            return 1;
    for (std::size_t i = 0; i < tolmere::CBaseLists::kListCount; ++i) {
        const auto& layout = lists.Layout(i);
        const auto& list = lists.List(i);
        for (std::int32_t row = 0; row < list.DataRowCount(); ++row)
            for (std::int32_t column :
                 {layout.fallbackPictureColumn, layout.pictureColumn, layout.setPictureColumn})
                if (column >= 0 && !draw(std::string(list.Text(row, column)), kListSizes[i]))
                    return 1;
    }
    for (std::size_t a = 4; a < args.size(); ++a) {
        tolmere::CTxtTable items;
        if (!items.Load(args[a])) {
            std::fprintf(stderr, "demo-pictures: cannot read %s\n", args[a].c_str());
            return 1;
        }
        const std::int32_t column = tolmere::CColumnFinder(items).Find("invfile");
        for (std::int32_t row = 0; column >= 0 && row < items.DataRowCount(); ++row)
            if (!draw(std::string(items.Text(row, column)), kListSizes[0]))
                return 1;
    }
    return 0;
}
