// SPDX-License-Identifier: MIT
#include "tables/TableFile.h"

#include "tables/BinFile.h"

#include <cstring>

namespace tolmere {

bool ParseTableBytes(std::string bytes, CTxtTable& table, std::string& error) {
    if (const void* zero = std::memchr(bytes.data(), 0, bytes.size())) {
        error = "it holds binary data (a zero byte at offset " +
                std::to_string(static_cast<const char*>(zero) - bytes.data()) +
                "), not a tab-delimited table";
        return false;
    }
    if (bytes.find('\t') >= bytes.find('\n')) {
        error = "its first line holds no TAB: it is not a tab-delimited table";
        return false;
    }
    CTxtTable parsed;
    if (!parsed.TryParse(std::move(bytes), &error))
        return false;
    table = std::move(parsed);
    return true;
}

bool LoadTableFile(const std::string& path, CTxtTable& table, std::string& error) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes, error, 0x7FFFFFFFu))
        return false;
    return ParseTableBytes(std::move(bytes), table, error);
}

} // namespace tolmere
