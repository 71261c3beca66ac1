// SPDX-License-Identifier: MIT
// What the user waits for when the editor saves a table: one whole `mpq2k a` process, with
// the archive copy, the StormLib work, the read-back check, fsync and rename. The archive is
// the size of a modded patch archive (about 3.5 MB of imploded tables).
#include <StormLib.h>

#include "support/TableText.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

const char kTableName[] = "data\\global\\excel\\UniqueItems.txt";

using tolmere::testing::TableText;

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class GameDir {
public:
    GameDir() {
        std::string pattern = "/tmp/mpq2k-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        path_ = pattern;
        std::filesystem::create_directory(path_ + "/tmp");
        BuildArchive();
        WriteFile(path_ + "/a.txt", TableText(1, 100 * 1024));
        WriteFile(path_ + "/b.txt", TableText(2, 100 * 1024));
    }
    ~GameDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    GameDir(const GameDir&) = delete;
    GameDir& operator=(const GameDir&) = delete;

    const std::string& Path() const { return path_; }

private:
    void BuildArchive() {
        SFILE_CREATE_MPQ info;
        std::memset(&info, 0, sizeof info);
        info.cbSize = sizeof info;
        info.dwMpqVersion = MPQ_FORMAT_VERSION_1;
        info.dwFileFlags1 = MPQ_FILE_IMPLODE;
        info.dwSectorSize = 0x1000;
        info.dwMaxFileCount = 256;
        HANDLE mpq = nullptr;
        if (!SFileCreateArchive2((path_ + "/patch_d2.mpq").c_str(), &info, &mpq)) {
            throw std::runtime_error("cannot create the archive");
        }
        for (int i = 0; i < 141; ++i) {
            const std::string name = i == 0 ? std::string(kTableName)
                                            : "data\\global\\excel\\t" + std::to_string(i) + ".txt";
            const std::string bytes = TableText(100 + i, i == 0 ? 100 * 1024 : 40000);
            HANDLE file = nullptr;
            if (!SFileCreateFile(mpq, name.c_str(), 0, static_cast<DWORD>(bytes.size()), 0,
                                 MPQ_FILE_IMPLODE, &file) ||
                !SFileWriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                MPQ_COMPRESSION_PKWARE) ||
                !SFileFinishFile(file)) {
                throw std::runtime_error("cannot fill the archive");
            }
        }
        SFileCloseArchive(mpq);
    }

    std::string path_;
};

int RunTool(const std::string& dir, std::vector<std::string> args) {
    std::string program = MPQ2K;
    std::vector<char*> argv{program.data()};
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, STDIN_FILENO);
        ::dup2(devNull, STDOUT_FILENO);
        if (::chdir(dir.c_str()) != 0) {
            ::_exit(126);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_Mpq2kAddTable(benchmark::State& state) {
    GameDir game;
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        if (RunTool(game.Path(), {"a", "patch_d2.mpq", flip ? "a.txt" : "b.txt", kTableName}) !=
            0) {
            state.SkipWithError("mpq2k a failed");
            break;
        }
    }
}
BENCHMARK(BM_Mpq2kAddTable)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Mpq2kExtractTable(benchmark::State& state) {
    GameDir game;
    for (auto _ : state) {
        if (RunTool(game.Path(), {"e", "patch_d2.mpq", kTableName, "tmp\\"}) != 0) {
            state.SkipWithError("mpq2k e failed");
            break;
        }
    }
}
BENCHMARK(BM_Mpq2kExtractTable)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
