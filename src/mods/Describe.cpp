#include "mods/Describe.h"

#include "mods/NumberFormat.h"

#include <algorithm>
#include <array>

namespace tolmere {
namespace {

const char kUnknownModifier[] = "Unknown modifier";

// One damage kind's accumulators: the slot that first carried the kind, and one
// value per role digit 0 to 3 (only the kept roles are ever stored).
struct DamageGroup {
    char kind;
    unsigned keptRoles; // bit r set: role r is kept
    std::int32_t firstSlot = -1;
    std::array<float, 4> role{};

    bool Present(int r) const { return role[static_cast<std::size_t>(r)] != 0.0f; }
    double Value(int r) const { return role[static_cast<std::size_t>(r)]; }
};

enum GroupIndex { kPoison, kCold, kLightning, kFire, kDamage, kGroupCount };

} // namespace

std::vector<ModLine> DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                       const SlotList& slots, const CModKeys& keys) {
    std::array<DamageGroup, kGroupCount> groups{{
        {'p', 0b0111},
        {'c', 0b1011},
        {'l', 0b0011},
        {'f', 0b0011},
        {'d', 0b0011},
    }};
    // Lines in the order they are made; the list shows the newest on top.
    std::vector<ModLine> made;

    for (std::int32_t slot = 0; slot < static_cast<std::int32_t>(slots.size()); ++slot) {
        const SlotColumns& cells = slots[static_cast<std::size_t>(slot)];
        const std::string_view code = table.Text(row, cells.code);
        if (code.empty())
            continue;
        const std::int32_t key = keys.Find(code);
        if (key < 0) {
            made.push_back({slot, kUnknownModifier});
            continue;
        }
        double stored = 0;
        ParseNumber(table.Text(row, cells.max), stored);
        const float value = keys.Adjust(key, static_cast<float>(stored));

        const char kind = keys.Kind(key);
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [kind](const DamageGroup& g) { return g.kind == kind; });
        if (kind == '\0' || group == groups.end()) {
            made.push_back({slot, FormatNumbers(keys.Pattern(key), {value})});
            continue;
        }
        if (group->firstSlot == -1)
            group->firstSlot = slot;
        const int roleDigit = code.size() > 3 ? code[3] - '0' : -1;
        if (roleDigit >= 0 && roleDigit < 4 && (group->keptRoles >> roleDigit & 1u))
            group->role[static_cast<std::size_t>(roleDigit)] = value;
    }

    const DamageGroup& poison = groups[kPoison];
    if (poison.Present(0) || poison.Present(1) || poison.Present(2))
        made.push_back(
            {poison.firstSlot, FormatNumbers("%.0f - %.0f poison damage over %.1f sec",
                                             {poison.Value(0), poison.Value(1), poison.Value(2)})});
    const DamageGroup& cold = groups[kCold];
    if (cold.Present(0) || cold.Present(1) || cold.Present(3))
        made.push_back(
            {cold.firstSlot, FormatNumbers("%.0f - %.0f cold damage (%.1f sec freeze)",
                                           {cold.Value(0), cold.Value(1), cold.Value(3)})});
    const DamageGroup& lightning = groups[kLightning];
    if (lightning.Present(0) || lightning.Present(1))
        made.push_back(
            {lightning.firstSlot, FormatNumbers("%.0f - %.0f lightning damage",
                                                {lightning.Value(0), lightning.Value(1)})});
    const DamageGroup& fire = groups[kFire];
    if (fire.Present(0) || fire.Present(1))
        made.push_back({fire.firstSlot,
                        FormatNumbers("%.0f - %.0f fire damage", {fire.Value(0), fire.Value(1)})});
    const DamageGroup& damage = groups[kDamage];
    if (damage.Present(0) && damage.Present(1))
        made.push_back({damage.firstSlot, FormatNumbers("add %.0f - %.0f damage",
                                                        {damage.Value(1), damage.Value(0)})});
    else if (damage.Present(0))
        made.push_back(
            {damage.firstSlot, FormatNumbers("+%.0f to maximum damage", {damage.Value(0)})});
    else if (damage.Present(1))
        made.push_back(
            {damage.firstSlot, FormatNumbers("+%.0f to minimum damage", {damage.Value(1)})});

    std::reverse(made.begin(), made.end());
    return made;
}

} // namespace tolmere
