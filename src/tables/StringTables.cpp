// SPDX-License-Identifier: MIT
#include "tables/StringTables.h"

namespace tolmere {

const char* CStringTables::FileName(StringSource source) {
    switch (source) {
    case StringSource::kPatch:
        return "patchstring.tbl";
    case StringSource::kExpansion:
        return "expansionstring.tbl";
    case StringSource::kBase:
        break;
    }
    return "string.tbl";
}

CStringTables::Found CStringTables::Lookup(const std::string& key) const {
    for (StringSource source : kLookupOrder) {
        if (const StrEntry* entry = Table(source).Find(key))
            return {entry, source};
    }
    return {};
}

void CStringTables::Reset() {
    for (CStrTbl& table : tables_)
        table.Reset();
    patchProblem_.clear();
}

} // namespace tolmere
