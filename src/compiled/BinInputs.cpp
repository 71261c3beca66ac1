// SPDX-License-Identifier: MIT
#include "compiled/BinInputs.h"

#include "tables/BinFile.h"
#include "tables/StrTbl.h"

#include <filesystem>
#include <strings.h>
#include <system_error>

namespace tolmere {

std::string FindFileNoCase(const std::string& dir, const std::string& name) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (::strcasecmp(entry.c_str(), name.c_str()) == 0 && it->is_regular_file(ec))
            return it->path().string();
    }
    return std::string();
}

std::string LoadBinLinks(const BinLayout& layout, const std::string& gameDir,
                         const std::string& stringsDir, CBinLinks& links) {
    for (BinLink link : layout.Links()) {
        const std::string path = FindFileNoCase(gameDir, BinLinkFile(link));
        if (path.empty())
            return std::string(BinLinkFile(link)) + " is not in " + gameDir + "; " + layout.table +
                   ".bin links to it";
        CTxtTable table;
        std::string error;
        if (!table.Load(path, &error))
            return "cannot read " + path + ": " + error;
        error = links.Add(link, table);
        if (!error.empty())
            return error;
    }
    if (!layout.NeedsStrings())
        return std::string();
    BinStrings& strings = links.Strings();
    for (auto [name, keys] : {std::pair{"patchstring.tbl", &strings.patch},
                              std::pair{"expansionstring.tbl", &strings.expansion},
                              std::pair{"string.tbl", &strings.base}}) {
        std::string path = stringsDir.empty() ? std::string() : FindFileNoCase(stringsDir, name);
        if (path.empty())
            path = FindFileNoCase(gameDir, name);
        if (path.empty())
            continue;
        std::string bytes;
        std::string error;
        if (!ReadWholeFile(path, bytes, error, CStrTbl::kMaxFileBytes))
            return "cannot read " + path + ": " + error;
        error = keys->Parse(std::move(bytes));
        if (!error.empty())
            return path + " is not a string table the game reads: " + error;
    }
    if (!strings.Any())
        return "none of string.tbl, expansionstring.tbl and patchstring.tbl is in " +
               (stringsDir.empty() ? gameDir : stringsDir) + "; " + layout.table +
               ".bin holds string numbers";
    return std::string();
}

} // namespace tolmere
