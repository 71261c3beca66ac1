// SPDX-License-Identifier: MIT
#include "archive/WineRegistry.h"

#include "base/ByteOrder.h"
#include "tables/BinFile.h"

#include <cctype>
#include <cstdint>

namespace tolmere {
namespace {

std::string Lower(std::string text) {
    for (char& ch : text)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return text;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int HexDigit(char ch) {
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ch >= 'a' && ch <= 'f' ? ch - 'a' + 10 : -1;
}

// Decodes a quoted string starting after its opening quote, up to the closing
// `delimiter`; `i` ends after the delimiter. Wine writes \\, \", \n and friends,
// \xHHHH for characters above 127 and octal for other control characters.
std::string Unescape(const std::string& s, std::size_t& i, char delimiter) {
    std::string out;
    while (i < s.size() && s[i] != delimiter) {
        char ch = s[i++];
        if (ch != '\\' || i >= s.size()) {
            out += ch;
            continue;
        }
        char e = s[i++];
        switch (e) {
        case 'a':
            out += '\a';
            break;
        case 'b':
            out += '\b';
            break;
        case 'e':
            out += '\x1b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'v':
            out += '\v';
            break;
        case 'x': {
            std::uint32_t cp = 0;
            int digits = 0;
            for (int d; digits < 4 && i < s.size() && (d = HexDigit(s[i])) >= 0; ++digits, ++i)
                cp = cp * 16 + static_cast<std::uint32_t>(d);
            if (digits == 0)
                out += 'x';
            else
                AppendUtf8(out, cp);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                std::uint32_t cp = static_cast<std::uint32_t>(e - '0');
                for (int digits = 1; digits < 3 && i < s.size() && s[i] >= '0' && s[i] <= '7';
                     ++digits, ++i)
                    cp = cp * 8 + static_cast<std::uint32_t>(s[i] - '0');
                AppendUtf8(out, cp);
            } else {
                out += e; // \\ and \" and anything else stand for themselves
            }
        }
    }
    if (i < s.size())
        ++i;
    return out;
}

// hex:/hex(N): data, already joined across continuation lines.
std::string DecodeHex(const std::string& data, bool utf16) {
    std::string bytes;
    int high = -1;
    for (char ch : data) {
        int d = HexDigit(ch);
        if (d < 0)
            continue;
        if (high < 0) {
            high = d;
        } else {
            bytes += static_cast<char>(high * 16 + d);
            high = -1;
        }
    }
    if (!utf16)
        return bytes;
    std::string text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t unit = ReadLe16(reinterpret_cast<const unsigned char*>(&bytes[i]));
        if (unit == 0)
            break;
        AppendUtf8(text, unit);
    }
    return text;
}

} // namespace

std::string CWineRegistryFile::NormalKey(const std::string& keyPath) {
    std::string key;
    for (char ch : keyPath) {
        if (ch == '\\' && (key.empty() || key.back() == '\\'))
            continue; // collapse doubled separators and drop a leading one
        key += ch;
    }
    while (!key.empty() && key.back() == '\\')
        key.pop_back();
    return Lower(key);
}

bool CWineRegistryFile::Load(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text))
        return false;
    Parse(text);
    return true;
}

void CWineRegistryFile::Parse(const std::string& text) {
    keys_.clear();
    std::map<std::string, std::string>* current = nullptr;
    std::string pending; // a value line continued with a trailing backslash
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!pending.empty()) {
            std::size_t first = line.find_first_not_of(" \t");
            line = pending + (first == std::string::npos ? "" : line.substr(first));
            pending.clear();
        }
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            std::size_t i = 1;
            std::string key = Unescape(line, i, ']');
            current = &keys_[NormalKey(key)];
            continue;
        }
        if (!current)
            continue;
        // A hex value runs on over lines that end with a backslash.
        if (line.back() == '\\' && line.find("=hex") != std::string::npos) {
            line.pop_back();
            pending = line;
            continue;
        }
        std::string name;
        std::size_t i = 0;
        if (line[0] == '@') {
            i = 1;
        } else if (line[0] == '"') {
            i = 1;
            name = Unescape(line, i, '"');
        } else {
            continue;
        }
        if (i >= line.size() || line[i] != '=')
            continue;
        const std::string data = line.substr(i + 1);
        std::string value;
        if (!data.empty() && data[0] == '"') {
            std::size_t j = 1;
            value = Unescape(data, j, '"');
        } else if (data.rfind("str(", 0) == 0 && data.find(":\"") != std::string::npos) {
            std::size_t j = data.find(":\"") + 2;
            value = Unescape(data, j, '"');
        } else if (data.rfind("hex(1):", 0) == 0 || data.rfind("hex(2):", 0) == 0) {
            value = DecodeHex(data.substr(7), true);
        } else if (data.rfind("hex", 0) == 0) {
            value = DecodeHex(data.substr(data.find(':') + 1), false);
        } else {
            value = data; // dword:0000001 and the like, as written
        }
        (*current)[Lower(name)] = value;
    }
}

bool CWineRegistryFile::HasKey(const std::string& keyPath) const {
    return keys_.count(NormalKey(keyPath)) != 0;
}

std::optional<std::string> CWineRegistryFile::Value(const std::string& keyPath,
                                                    const std::string& name) const {
    auto key = keys_.find(NormalKey(keyPath));
    if (key == keys_.end())
        return std::nullopt;
    auto value = key->second.find(Lower(name));
    if (value == key->second.end())
        return std::nullopt;
    return value->second;
}

} // namespace tolmere
