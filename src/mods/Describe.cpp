// SPDX-License-Identifier: MIT
#include "mods/Describe.h"

#include "mods/GameText.h"
#include "mods/NumberFormat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace tolmere {
namespace {

const char kUnknownModifier[] = "Unknown modifier: ";
const char kDisabled[] = "Disabled: ";

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

enum GroupIndex { kPoison, kCold, kMagic, kLightning, kFire, kDamage, kGroupCount };

// The role digit a catalogue role stands for in a kind's group: minimum and maximum are
// 0 and 1 (for physical damage 1 and 0), lengths 2 for poison and 3 for cold.
int RoleDigit(char kind, DamageRole role) {
    switch (role) {
    case DamageRole::kMin:
        return kind == 'd' ? 1 : 0;
    case DamageRole::kMax:
        return kind == 'd' ? 0 : 1;
    case DamageRole::kLength:
        return kind == 'p' ? 2 : kind == 'c' ? 3 : -1;
    default:
        return -1;
    }
}

double Cell(const CTxtTable& table, std::int32_t row, std::int32_t column) {
    double value = 0;
    ParseNumber(table.Text(row, column), value);
    return value;
}

// A cell's number as a whole one, held to a range no table needs to leave, so that a
// wild cell or divisor cannot overflow the conversion.
std::int64_t Whole(double value) {
    if (!(value == value))
        return 0;
    return std::llround(std::clamp(value, -1e15, 1e15));
}

} // namespace

std::vector<ModLine> DescribeModifiers(const CTxtTable& table, std::int32_t row,
                                       const SlotList& slots, const CModKeys& keys,
                                       const CatalogueWording& wording) {
    std::array<DamageGroup, kGroupCount> groups{{
        {'p', 0b0111},
        {'c', 0b1011},
        {'m', 0b0011},
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
        // A disabled code ("*enr") is worded alone: the game does not count it.
        const bool disabled = code[0] == '*';
        const std::int32_t key = keys.Find(disabled ? code.substr(1) : code);
        if (key < 0) {
            made.push_back({slot, kUnknownModifier + std::string(code)});
            continue;
        }
        const float value = keys.Adjust(key, static_cast<float>(Cell(table, row, cells.max)));
        const char kind = keys.Kind(key);
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [kind](const DamageGroup& g) { return g.kind == kind; });
        if (disabled || kind == '\0' || group == groups.end()) {
            const std::string text = wording.useWording && !keys.Wording(key).empty()
                                         ? WordModifier(keys.Wording(key), table, row, cells,
                                                        keys.Divisor(key), wording.skillName)
                                         : FormatNumbers(keys.Pattern(key), {value});
            made.push_back({slot, (disabled ? kDisabled : "") + text});
            continue;
        }
        if (group->firstSlot == -1)
            group->firstSlot = slot;
        const auto store = [&group](int digit, float stored) {
            if (digit >= 0 && digit < 4 && (group->keptRoles >> digit & 1u))
                group->role[static_cast<std::size_t>(digit)] = stored;
        };
        // Codes that carry their role as a digit ("fir0") keep it; the others take it
        // from the catalogue's role column.
        const DamageRole role = keys.Role(key);
        if (code.size() > 3 && code[3] >= '0' && code[3] <= '9') {
            store(code[3] - '0', value);
        } else if (role == DamageRole::kMinMax || role == DamageRole::kMinMaxLength) {
            // One slot gives both ends, and for cold and poison its param the length.
            const double frames = Cell(table, row, cells.param);
            const double scale =
                kind == 'p' && role == DamageRole::kMinMaxLength ? frames / 256 : 1;
            store(RoleDigit(kind, DamageRole::kMin),
                  static_cast<float>(Cell(table, row, cells.min) * scale));
            store(RoleDigit(kind, DamageRole::kMax),
                  static_cast<float>(Cell(table, row, cells.max) * scale));
            if (role == DamageRole::kMinMaxLength)
                store(RoleDigit(kind, DamageRole::kLength), static_cast<float>(frames / 25));
        } else {
            store(RoleDigit(kind, role), value);
        }
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
    const DamageGroup& magic = groups[kMagic];
    if (magic.Present(0) || magic.Present(1))
        made.push_back({magic.firstSlot, FormatNumbers("%.0f - %.0f magic damage",
                                                       {magic.Value(0), magic.Value(1)})});
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

std::string ReplaceTokens(std::string_view wording,
                          const std::function<std::string(std::string_view)>& value) {
    std::string out;
    for (std::size_t at = 0; at < wording.size();) {
        const std::size_t open = wording.find('[', at);
        const std::size_t close = open == std::string_view::npos ? open : wording.find(']', open);
        if (close == std::string_view::npos) {
            out += wording.substr(at);
            break;
        }
        out += wording.substr(at, open - at);
        out += value(wording.substr(open + 1, close - open - 1));
        at = close + 1;
    }
    return out;
}

std::string WordModifier(std::string_view wording, const CTxtTable& table, std::int32_t row,
                         const SlotColumns& slot, double divisor, const SkillNamer& skillName) {
    const auto number = [&](std::int32_t column) { return Whole(Cell(table, row, column)); };
    const ValueRange range{number(slot.min), number(slot.max)};
    const std::int64_t par = number(slot.param);
    const auto cell = [&](std::int32_t column) { return std::string(table.Text(row, column)); };
    return ReplaceTokens(wording, [&](std::string_view token) {
        if (token == "range")
            return NumberText(range);
        if (token == "+range")
            return SignedText(range);
        if (token == "min")
            return cell(slot.min);
        if (token == "max")
            return cell(slot.max);
        if (token == "par")
            return cell(slot.param);
        if (token == "skill")
            return skillName ? skillName(cell(slot.param)) : cell(slot.param);
        if (token == "perlevel")
            return NumberText({Whole(std::trunc(static_cast<double>(par) / divisor)),
                               Whole(std::trunc(static_cast<double>(par) * 99 / divisor))});
        if (token == "seconds")
            return FormatNumbers("%.1f", {static_cast<double>(par) / 25});
        return "[" + std::string(token) + "]"; // not a token: as written
    });
}

} // namespace tolmere
