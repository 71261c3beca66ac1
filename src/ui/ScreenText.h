// SPDX-License-Identifier: MIT
// Bytes of the tables on screen and back. Cells and string-table texts are bytes; a
// text box shows them decoded and gives back the very same bytes unless the user
// changed the text.
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace tolmere {

enum class TextSource {
    kStringTable, // the game's string tables are UTF-8
    kTableCell,   // tab-table cells: UTF-8 when valid, otherwise Windows-1252
};

bool IsValidUtf8(std::string_view bytes);
QString FromWindows1252(std::string_view bytes);
// Characters outside Windows-1252 make the whole text UTF-8 instead, so nothing is lost.
std::string ToWindows1252OrUtf8(const QString& text);
// The bytes a table cell may hold `text` as: ToWindows1252OrUtf8, then UTF-8 where that
// differs, for finding a typed text in cells of either encoding.
std::vector<std::string> CellForms(const QString& text);

// The text as the screen shows it.
QString ScreenText(std::string_view bytes, TextSource source);

// The bytes to store for `shown`, the text a box holds now, when it was filled from
// `original`: the original bytes when the text is unchanged, otherwise the typed text
// in the encoding the original used. Table cells never take TAB, CR or LF: each
// becomes a space.
std::string StoredText(const QString& shown, std::string_view original, TextSource source);

} // namespace tolmere
