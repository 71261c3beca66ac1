// SPDX-License-Identifier: MIT
#include "ui/ScreenText.h"

#include "tables/Cp1252.h"

#include <QStringDecoder>

namespace tolmere {
namespace {

char16_t Decode1252(unsigned char byte) {
    return Cp1252ToUnicode(byte);
}

bool Encode1252(char16_t unit, char& byte) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        byte = static_cast<char>(unit);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        const char16_t mapped = kCp1252High[i] != 0 ? kCp1252High[i] : char16_t(0x80 + i);
        if (mapped == unit) {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

} // namespace

namespace {

// The text and whether the bytes were valid UTF-8. Qt's decoder is strict: overlong
// forms, surrogates and truncated sequences are errors.
QString DecodeUtf8(std::string_view bytes, bool& valid) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    valid = !decoder.hasError();
    return text;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    bool valid = false;
    DecodeUtf8(bytes, valid);
    return valid;
}

QString FromWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char byte : bytes)
        text.append(QChar(Decode1252(static_cast<unsigned char>(byte))));
    return text;
}

std::vector<std::string> CellForms(const QString& text) {
    std::vector<std::string> forms{ToWindows1252OrUtf8(text)};
    std::string utf8 = text.toStdString();
    if (utf8 != forms.front())
        forms.push_back(std::move(utf8));
    return forms;
}

std::string ToWindows1252OrUtf8(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar unit : text) {
        char byte = 0;
        if (!Encode1252(unit.unicode(), byte))
            return text.toStdString();
        bytes.push_back(byte);
    }
    return bytes;
}

QString ScreenText(std::string_view bytes, TextSource source) {
    bool valid = false;
    QString text = DecodeUtf8(bytes, valid);
    // String tables are UTF-8 even where a byte is broken; cells fall back to Windows-1252.
    return valid || source == TextSource::kStringTable ? text : FromWindows1252(bytes);
}

std::string StoredText(const QString& shown, std::string_view original, TextSource source) {
    if (shown == ScreenText(original, source))
        return std::string(original);
    QString text = shown;
    if (source == TextSource::kTableCell) {
        for (QChar& unit : text) {
            if (unit == u'\t' || unit == u'\r' || unit == u'\n')
                unit = u' ';
        }
        if (!IsValidUtf8(original))
            return ToWindows1252OrUtf8(text);
    }
    return text.toStdString();
}

} // namespace tolmere
