// SPDX-License-Identifier: MIT
// Load and save of a large tab table, on disk and in memory.
//
// Bytes processed are counted once per file pass: a load+save of a 20 MiB file counts
// 20 MiB, not 40, so the MB/s figure reads as "tables of this size per second".
//
// The file benchmarks also report the most heap memory the work held at once, as
// peak_bytes and as peak_x_file (that peak over the file's size), counted in one extra
// untimed pass (support/HeapPeak.h), so the timings carry no counting.
#include "support/BenchTemp.h"
#include "support/HeapPeak.h"
#include "tables/TableFile.h"
#include "tables/TxtTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace tolmere {
namespace {

using bench::PeakHeap;
using bench::ReportPeak;

constexpr int kColumns = 70;
constexpr int kSlotGroups = 14; // prop/par/min/max groups from column 12 to 67
constexpr int kFirstSlotColumn = 12;

const char* const kNameWords[] = {
    "Storm",  "Grave",   "Iron",   "Bone",   "Frost", "Ember", "Shadow", "Thorn",
    "Wolf",   "Raven",   "Blood",  "Ash",    "Crown", "Veil",  "Fang",   "Hollow",
    "Gloom",  "Warden",  "Spire",  "Mantle", "Grip",  "Ward",  "Coil",   "Lash",
    "Harrow", "Bastion", "Shroud", "Talon",  "Vigil", "Brand", "Husk",   "Sigil",
};
const char* const kItemCodes[] = {"cap", "skp", "hlm", "fhl", "ghm", "crn", "msk", "qui",
                                  "lea", "hla", "stu", "rng", "scl", "chn", "brs", "spl",
                                  "plt", "fld", "gth", "ful", "aar", "ltp", "buc", "sml",
                                  "lrg", "kit", "tow", "gts", "lgl", "vgl", "mgl", "tgl"};
const char* const kPropCodes[] = {
    "ac",       "ac%",       "str",       "dex",       "vit",       "enr",    "res-fire",
    "res-cold", "res-ltng",  "res-pois",  "res-all",   "mana",      "hp",     "att",
    "dmg%",     "lifesteal", "manasteal", "fireskill", "allskills", "sock",   "light",
    "regen",    "swing2",    "move2",     "cast2",     "gold%",     "mag%",   "dmg-fire",
    "dmg-cold", "dmg-ltng",  "thorns",    "red-dmg",   "abs-fire%", "hp/lvl", "mana/lvl",
};

const char* const kHeader[kFirstSlotColumn] = {"index",     "version",   "enabled", "code",
                                               "level",     "level req", "rarity",  "nolimit",
                                               "cost mult", "cost add",  "carry1",  "uber"};

template <typename Array> const char* Pick(std::mt19937& rng, const Array& words) {
    return words[rng() % std::size(words)];
}

std::string Number(std::mt19937& rng, int low, int high) {
    return std::to_string(low + static_cast<int>(rng() % static_cast<unsigned>(high - low + 1)));
}

// A table shaped like the game's item tables: a name, a few codes and small numbers,
// then modifier groups of which only the first few are filled. Deterministic, so
// runs compare.
std::string MakeTableText(std::size_t targetBytes) {
    std::mt19937 rng(0x70117e5u);
    std::string text;
    text.reserve(targetBytes + 4096);

    for (int c = 0; c < kColumns; ++c) {
        if (c < kFirstSlotColumn) {
            text += kHeader[c];
        } else if (c < kFirstSlotColumn + 4 * kSlotGroups) {
            static const char* const kSlotFields[] = {"prop", "par", "min", "max"};
            const int group = (c - kFirstSlotColumn) / 4 + 1;
            text += kSlotFields[(c - kFirstSlotColumn) % 4] + std::to_string(group);
        } else if (c == kColumns - 2) {
            text += "invfile";
        } else {
            text += "*eol";
        }
        text += c + 1 < kColumns ? "\t" : "\r\n";
    }

    while (text.size() < targetBytes) {
        text += Pick(rng, kNameWords);
        text += ' ';
        text += Pick(rng, kNameWords);
        if (rng() % 3 == 0) {
            text += " of the ";
            text += Pick(rng, kNameWords);
        }
        text += '\t';
        text += rng() % 4 == 0 ? "0" : "100";
        text += "\t1\t";
        text += Pick(rng, kItemCodes);
        text += '\t';
        text += Number(rng, 1, 99);
        text += '\t';
        text += Number(rng, 1, 90);
        text += '\t';
        text += Number(rng, 1, 8);
        text += rng() % 5 == 0 ? "\t1\t" : "\t\t";
        text += Number(rng, 1, 5);
        text += '\t';
        text += Number(rng, 0, 5000);
        text += rng() % 3 == 0 ? "\tflpskp\t" : "\t\t";
        text += rng() % 2 ? "1" : "";

        const int used = 2 + static_cast<int>(rng() % 9);
        for (int g = 0; g < kSlotGroups; ++g) {
            text += '\t';
            if (g >= used) {
                text += "\t\t\t";
                continue;
            }
            text += Pick(rng, kPropCodes);
            text += '\t';
            if (rng() % 4 == 0)
                text += Number(rng, 1, 30);
            const int low = static_cast<int>(rng() % 40);
            text += '\t' + std::to_string(low) + '\t' + Number(rng, low, low + 60);
        }
        text += "\tinv";
        text += Pick(rng, kItemCodes);
        text += "\t0\r\n";
    }
    return text;
}

// Generated text by size in MiB, made once per size.
const std::string& TableText(std::int64_t mebibytes) {
    static std::map<std::int64_t, std::string> cache;
    auto it = cache.find(mebibytes);
    if (it == cache.end())
        it = cache.emplace(mebibytes, MakeTableText(static_cast<std::size_t>(mebibytes) << 20))
                 .first;
    return it->second;
}

// The generated text written to a scratch file, once per size.
const std::string& TableFile(std::int64_t mebibytes) {
    static std::map<std::int64_t, std::string> files;
    auto it = files.find(mebibytes);
    if (it == files.end()) {
        const std::string path = bench::ScratchPath("table-" + std::to_string(mebibytes) + ".txt");
        bench::WriteScratchFile(path, TableText(mebibytes));
        it = files.emplace(mebibytes, path).first;
    }
    return it->second;
}

void ReportSize(benchmark::State& state, std::size_t fileBytes, const CTxtTable& table) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fileBytes));
    state.counters["rows"] = table.RowCount();
    state.counters["cells"] = table.CellCount();
}

[[noreturn]] void Fail(benchmark::State& state, const char* what) {
    state.SkipWithError(what);
    std::fprintf(stderr, "tolmere-bench: %s\n", what);
    std::exit(1);
}

// Each pass fills a fresh table, as opening a file in the editor does; freeing the
// previous pass's cells is kept out of the measurement. CTxtTable has no move
// operations (its destructor is virtual), hence the pointer.
class FreshTables {
public:
    CTxtTable& Next(benchmark::State& state) {
        state.PauseTiming();
        previous_ = std::move(current_);
        previous_.reset();
        current_ = std::make_unique<CTxtTable>();
        state.ResumeTiming();
        return *current_;
    }
    const CTxtTable& Last() const { return current_ ? *current_ : empty_; }

private:
    std::unique_ptr<CTxtTable> current_;
    std::unique_ptr<CTxtTable> previous_;
    CTxtTable empty_;
};

void BM_TxtTableLoadSave(benchmark::State& state) {
    const std::string& source = TableFile(state.range(0));
    const std::string target = bench::ScratchPath("saved.txt");
    const std::size_t fileBytes = TableText(state.range(0)).size();
    FreshTables tables;
    for (auto _ : state) {
        CTxtTable& table = tables.Next(state);
        if (!table.Load(source))
            Fail(state, "Load failed");
        if (!table.Save(target))
            Fail(state, "Save failed");
    }
    ReportSize(state, fileBytes, tables.Last());
}
BENCHMARK(BM_TxtTableLoadSave)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// What tolmere-cli resave does: the checks that a file is a table, the load, and a save
// over another file.
void BM_TxtTableResave(benchmark::State& state) {
    const std::string& source = TableFile(state.range(0));
    const std::string target = bench::ScratchPath("resaved.txt");
    const std::size_t fileBytes = TableText(state.range(0)).size();
    auto resave = [&] {
        CTxtTable table;
        std::string error;
        if (!LoadTableFile(source, table, error) || !table.Save(target, &error))
            Fail(state, "resave failed");
    };
    for (auto _ : state)
        resave();
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fileBytes));
    ReportPeak(state, fileBytes, PeakHeap(resave));
}
BENCHMARK(BM_TxtTableResave)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// A save after a cell was set in every row, so that every line is written from its
// cells and not as the bytes it was read from.
void BM_TxtTableSaveEdited(benchmark::State& state) {
    const std::string target = bench::ScratchPath("saved.txt");
    const std::string& text = TableText(state.range(0));
    CTxtTable table;
    table.Parse(text.data(), text.size());
    for (std::int32_t d = 0; d < table.DataRowCount(); ++d)
        table.SetCell(d, 0, std::string(table.Text(d, 0)));
    for (auto _ : state) {
        if (!table.Save(target))
            Fail(state, "Save failed");
    }
    ReportSize(state, text.size(), table);
    // Only what the save adds to the table it writes (extra_*).
    ReportPeak(state, text.size(), PeakHeap([&] {
                   if (!table.Save(target))
                       Fail(state, "Save failed");
               }),
               "extra");
}
BENCHMARK(BM_TxtTableSaveEdited)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TxtTableLoad(benchmark::State& state) {
    const std::string& source = TableFile(state.range(0));
    const std::size_t fileBytes = TableText(state.range(0)).size();
    FreshTables tables;
    for (auto _ : state) {
        if (!tables.Next(state).Load(source))
            Fail(state, "Load failed");
    }
    ReportSize(state, fileBytes, tables.Last());
    ReportPeak(state, fileBytes, PeakHeap([&] {
                   CTxtTable table;
                   if (!table.Load(source))
                       Fail(state, "Load failed");
               }));
}
BENCHMARK(BM_TxtTableLoad)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TxtTableSave(benchmark::State& state) {
    const std::string target = bench::ScratchPath("saved.txt");
    const std::string& text = TableText(state.range(0));
    CTxtTable table;
    table.Parse(text.data(), text.size());
    for (auto _ : state) {
        if (!table.Save(target))
            Fail(state, "Save failed");
    }
    ReportSize(state, text.size(), table);
    // The table loaded from its file and saved: the peak counts the table itself too, as
    // a save never runs without one.
    const std::string& source = TableFile(state.range(0));
    ReportPeak(state, text.size(), PeakHeap([&] {
                   CTxtTable loaded;
                   if (!loaded.Load(source) || !loaded.Save(target))
                       Fail(state, "Load or Save failed");
               }));
}
BENCHMARK(BM_TxtTableSave)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same round trip without the disk: what is left is the parser and the writer.
void BM_TxtTableParseSerialize(benchmark::State& state) {
    const std::string& text = TableText(state.range(0));
    FreshTables tables;
    for (auto _ : state) {
        CTxtTable& table = tables.Next(state);
        table.Parse(text.data(), text.size());
        std::string out = table.Serialize();
        benchmark::DoNotOptimize(out.data());
        if (out.size() != text.size())
            Fail(state, "Serialize changed the size of a well-formed table");
    }
    ReportSize(state, text.size(), tables.Last());
}
// Several sizes, so that the cost per byte can be seen to stay flat (or not).
BENCHMARK(BM_TxtTableParseSerialize)
    ->Arg(1)
    ->Arg(4)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_TxtTableParse(benchmark::State& state) {
    const std::string& text = TableText(state.range(0));
    FreshTables tables;
    for (auto _ : state)
        tables.Next(state).Parse(text.data(), text.size());
    ReportSize(state, text.size(), tables.Last());
}
BENCHMARK(BM_TxtTableParse)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TxtTableSerialize(benchmark::State& state) {
    const std::string& text = TableText(state.range(0));
    CTxtTable table;
    table.Parse(text.data(), text.size());
    for (auto _ : state) {
        std::string out = table.Serialize();
        benchmark::DoNotOptimize(out.data());
    }
    ReportSize(state, text.size(), table);
}
BENCHMARK(BM_TxtTableSerialize)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

// A table with a cell set in every row, so that no row is written as the bytes it was
// read from: the cost of saving after a large edit.
void BM_TxtTableSerializeEdited(benchmark::State& state) {
    const std::string& text = TableText(state.range(0));
    CTxtTable table;
    table.Parse(text.data(), text.size());
    for (std::int32_t d = 0; d < table.DataRowCount(); ++d)
        table.SetCell(d, 0, std::string(table.Text(d, 0)));
    for (auto _ : state) {
        std::string out = table.Serialize();
        benchmark::DoNotOptimize(out.data());
        if (out.size() != text.size())
            Fail(state, "Serialize changed the size of a table set to its own texts");
    }
    ReportSize(state, text.size(), table);
}
BENCHMARK(BM_TxtTableSerializeEdited)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace tolmere
