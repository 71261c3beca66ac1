// SPDX-License-Identifier: MIT
// What the windows that open item tables say alike: the file filter of their open and
// save dialogs, and the message of a table the game's archives would not give.
#pragma once

#include <string>

namespace tolmere {

inline const char kTableFileFilter[] = "Tab Delimited Text File (*.txt)|*.txt|All Files(*.*)|*.*||";

// `file` ("UniqueItems.txt") came out of none of the archives.
inline std::string NotExtractedMessage(const std::string& file) {
    return "Unable to extract " + file +
           " from either mpq\nYou probably don't have mpq2k, (this program needs it in D2 "
           "directory).\nOf course, there's also the chances that something's wrong \nwith "
           "your D2 set-up";
}

} // namespace tolmere
