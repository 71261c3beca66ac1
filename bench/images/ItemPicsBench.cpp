// SPDX-License-Identifier: MIT
// "Cache Img" on a real-size table: decoding 400 item pictures into the cache, and the
// whole flow (one mpq2k script run extracting them from an archive, the decoding,
// the cleaning up).
#include "archive/ArchiveBridge.h"
#include "images/ItemPics.h"
#include "support/BenchTemp.h"

#include "dc6enc/Dc6Encode.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tolmere {
namespace {

constexpr int kPictures = 400;

std::string PictureName(int i) {
    return "invbench" + std::to_string(i);
}

// 400 pictures the size of a two-handed weapon's (56 × 84), of varied content.
const std::string& PictureDir() {
    static const std::string dir = [] {
        const std::string path = bench::ScratchPath("pictures");
        std::filesystem::create_directories(path);
        for (int i = 0; i < kPictures; ++i) {
            std::vector<std::string> rows;
            for (int y = 0; y < 84; ++y) {
                std::string row(56, '\0');
                for (int x = 4; x < 52; ++x)
                    row[x] = static_cast<char>((x * 7 + y * 3 + i) % 200 + 20);
                rows.push_back(row);
            }
            dc6enc::File file;
            file.frames.push_back(dc6enc::FrameOf(rows, dc6enc::kTerminationEE));
            bench::WriteScratchFile(path + "/" + PictureName(i) + ".dc6", dc6enc::Encode(file));
        }
        return path;
    }();
    return dir;
}

void BM_Decode400Pictures(benchmark::State& state) {
    const std::string& dir = PictureDir();
    for (auto _ : state) {
        CItemPics pictures;
        for (int i = 0; i < kPictures; ++i)
            LoadItemPic(pictures, dir, PictureName(i));
        benchmark::DoNotOptimize(pictures.CurrentPic());
    }
    state.SetItemsProcessed(state.iterations() * kPictures);
}
BENCHMARK(BM_Decode400Pictures)->Unit(benchmark::kMillisecond);

// A game folder whose base archive holds the 400 pictures.
const std::string& GameDir() {
    static const std::string dir = [] {
        const std::string game = bench::ScratchPath("game") + "/";
        std::filesystem::create_directories(game + "pictures");
        std::filesystem::copy_file(MPQ2K, game + "mpq2k");
        // One archive built in one script-free pass: each picture added in turn.
        for (int i = 0; i < kPictures; ++i) {
            const std::string name = PictureName(i) + ".dc6";
            const std::string command = "cd '" + game + "' && ./mpq2k a d2data.mpq '" +
                                        PictureDir() + "/" + name + "' 'data\\GLOBAL\\Items\\" +
                                        name + "' >/dev/null";
            if (std::system(command.c_str()) != 0)
                std::abort();
        }
        return game;
    }();
    return dir;
}

void BM_CacheImgFlow400(benchmark::State& state) {
    const CArchiveBridge bridge(GameDir(), GameDir() + "mpq2k");
    std::vector<std::string> names;
    for (int i = 0; i < kPictures; ++i)
        names.push_back(PictureName(i));
    for (auto _ : state) {
        CItemPics pictures;
        bridge.RunPictureScript(names);
        for (const std::string& name : names)
            LoadItemPic(pictures, bridge.WorkDir(), name);
        bridge.RemovePictures();
        benchmark::DoNotOptimize(pictures.CurrentPic());
    }
}
BENCHMARK(BM_CacheImgFlow400)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace tolmere
