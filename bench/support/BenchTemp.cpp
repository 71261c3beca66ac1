// SPDX-License-Identifier: MIT
#include "support/BenchTemp.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace tolmere::bench {
namespace {

struct ScratchDirHolder {
    std::string path;

    ScratchDirHolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolmere-bench-XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            std::perror("tolmere-bench: cannot make a scratch directory");
            std::exit(1);
        }
        path = pattern;
    }
    ~ScratchDirHolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

} // namespace

const std::string& ScratchDir() {
    static ScratchDirHolder holder;
    return holder.path;
}

std::string ScratchPath(const std::string& name) {
    return ScratchDir() + "/" + name;
}

void WriteScratchFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "tolmere-bench: cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

} // namespace tolmere::bench
