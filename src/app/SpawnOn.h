// Spawn On: the questions and messages around writing a table, and on request the
// string table, into the patch archive. Shared by the windows that edit tables.
#pragma once

#include "archive/ArchiveBridge.h"

#include <string>

namespace tolmere {

// Asks `question`, adds the table as data\GLOBAL\Excel\<fileName>, then asks whether
// the string table goes too and adds it. True when the table was written.
bool RunSpawnOn(const CArchiveBridge& bridge, const CTxtTable& table, const std::string& fileName,
                const CStrTbl& strings, const std::string& language, const std::string& question);

} // namespace tolmere
