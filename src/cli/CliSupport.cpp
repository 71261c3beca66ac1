#include "cli/Commands.h"

#include "tables/SafeWriter.h"
#include "tables/StringTables.h"
#include "tables/TableFile.h"
#include "tables/TxtTable.h"

#include <cstdio>
#include <sys/stat.h>

namespace tolmere {

int Fail(const std::string& message) {
    std::fprintf(stderr, "tolmere-cli: %s\n", message.c_str());
    return 1;
}

void Warn(const std::string& message) {
    std::fprintf(stderr, "tolmere-cli: warning: %s\n", message.c_str());
}

bool Emit(const std::string& path, const std::string& bytes) {
    if (path == "-")
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
               std::fflush(stdout) == 0;
    return WriteFileSafely(path, bytes);
}

bool LoadTable(const std::string& path, CTxtTable& table) {
    std::string error;
    if (!LoadTableFile(path, table, error)) {
        Fail("cannot load " + path + ": " + error);
        return false;
    }
    if (table.ColumnCount() == 0) {
        Fail(path + " holds no table");
        return false;
    }
    return true;
}

bool LoadStringFolder(const std::string& dir, CStringTables& strings) {
    int found = 0;
    for (StringSource source : CStringTables::kLookupOrder) {
        const std::string path = dir + "/" + CStringTables::FileName(source);
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            continue;
        std::string error;
        if (!strings.Table(source).Read(path, &error)) {
            Fail("cannot read " + path + ": " + error);
            return false;
        }
        ++found;
    }
    if (found == 0) {
        Fail(dir + " holds no string.tbl, expansionstring.tbl or patchstring.tbl");
        return false;
    }
    return true;
}

} // namespace tolmere
