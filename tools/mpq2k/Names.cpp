// SPDX-License-Identifier: MIT
#include "Names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

namespace mpq2k {

namespace {

char UpperChar(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ForwardSlashes(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

} // namespace

std::string ArchivedName(std::string_view name) {
    std::string out(name);
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string LastComponent(std::string_view name) {
    const auto cut = name.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? name : name.substr(cut + 1));
}

bool IsSafeLeafName(std::string_view leaf) {
    return !leaf.empty() && leaf != "." && leaf != "..";
}

std::string DirectoryPath(std::string_view dir) {
    std::string out = ForwardSlashes(dir);
    while (out.size() > 1 && out.back() == '/') {
        out.pop_back();
    }
    return out.empty() ? std::string(".") : out;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (UpperChar(a[i]) != UpperChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), UpperChar);
    return out;
}

void SplitPath(const std::string& path, std::string* directory, std::string* leaf) {
    const auto cut = path.find_last_of('/');
    if (cut == std::string::npos) {
        *directory = ".";
        *leaf = path;
    } else {
        *directory = cut == 0 ? std::string("/") : path.substr(0, cut);
        *leaf = path.substr(cut + 1);
    }
}

ArchiveLookup FindArchive(std::string_view given) {
    ArchiveLookup result;
    const std::string literal(given);
    if (IsRegularFile(literal)) {
        result.status = ArchiveLookup::Status::Found;
        result.path = literal;
        return result;
    }
    const std::string path = ForwardSlashes(given);
    result.path = path;
    if (path != literal && IsRegularFile(path)) {
        result.status = ArchiveLookup::Status::Found;
        return result;
    }

    std::string directory;
    std::string leaf;
    SplitPath(path, &directory, &leaf);
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) {
        return result;
    }
    std::vector<std::string> matches;
    while (const dirent* entry = ::readdir(dir)) {
        if (!SameNameIgnoringCase(entry->d_name, leaf)) {
            continue;
        }
        const bool bare = path.find('/') == std::string::npos;
        std::string candidate = bare               ? std::string(entry->d_name)
                                : directory == "/" ? "/" + std::string(entry->d_name)
                                                   : directory + "/" + entry->d_name;
        if (IsRegularFile(candidate)) {
            matches.push_back(std::move(candidate));
        }
    }
    ::closedir(dir);
    if (matches.size() == 1) {
        result.status = ArchiveLookup::Status::Found;
        result.path = matches.front();
    } else if (matches.size() > 1) {
        result.status = ArchiveLookup::Status::Ambiguous;
    }
    return result;
}

} // namespace mpq2k
