// SPDX-License-Identifier: MIT
#include "base/Services.h"

#include "base/ProgramExit.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <new>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tolmere {
namespace {

const char kOutOfMemoryText[] = "Unable to allocate, initiating exit..";

thread_local int allocationMayFail = 0;

void OutOfMemory() {
    if (allocationMayFail > 0)
        throw std::bad_alloc();
    DiagLog(kOutOfMemoryText);
    ExitProgram(kExitOutOfMemory);
}

} // namespace

CAllocationMayFail::CAllocationMayFail() {
    ++allocationMayFail;
}

CAllocationMayFail::~CAllocationMayFail() {
    --allocationMayFail;
}

char* AllocOrExit(std::size_t size) {
    char* block = new (std::nothrow) char[size == 0 ? 1 : size];
    if (!block)
        OutOfMemory();
    return block;
}

void FreeAndClear(char*& block) {
    delete[] block;
    block = nullptr;
}

void InstallOutOfMemoryExit() {
    std::set_new_handler(OutOfMemory);
}

void DiagLog(const std::string& text) {
    static std::mutex logMutex;
    const char* path = std::getenv("TOLMERE_LOG");
    if (!path || !*path)
        return;
    std::lock_guard<std::mutex> lock(logMutex);
    if (std::FILE* f = std::fopen(path, "ab")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fwrite("\r\n", 1, 2, f);
        std::fclose(f);
    }
}

void FatalError(const std::string& text) {
    DiagLog(text);
    std::fprintf(stderr, "tolmere: fatal error: %s\n", text.c_str());
    ExitProgram(kExitFatalError);
}

const std::string& ModuleDir() {
    static const std::string dir = [] {
        std::string path(4096, '\0');
        ssize_t n = readlink("/proc/self/exe", path.data(), path.size() - 1);
        if (n <= 0)
            return std::string();
        path.resize(static_cast<std::size_t>(n));
        return path.substr(0, path.rfind('/') + 1);
    }();
    return dir;
}

std::string EntryIgnoringCase(const std::string& dir, const std::string& name) {
    struct stat info {};
    if (::stat((dir + "/" + name).c_str(), &info) == 0)
        return name;
    std::string found;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* entry = ::readdir(d)) {
            if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
                found = entry->d_name;
                break;
            }
        }
        ::closedir(d);
    }
    return found;
}

} // namespace tolmere
