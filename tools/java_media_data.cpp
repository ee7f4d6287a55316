// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/java_media_data.h"

#include <vector>

namespace talvio::fixture {

namespace {

constexpr unsigned char kMagic[] = {0xAC, 0xED, 0x00, 0x05};
constexpr char kObject = 0x73, kClassDesc = 0x72, kString = 0x74, kArray = 0x75, kNull = 0x70,
               kEndBlock = 0x78, kBlockData = 0x77;
constexpr char kSerializable = 0x02, kWriteMethod = 0x01;

void putBig(std::string& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Decodes one UTF-8 character; ill-formed bytes become U+FFFD.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    int length = lead < 0x80           ? 1
                 : (lead >> 5) == 0x6  ? 2
                 : (lead >> 4) == 0xE  ? 3
                 : (lead >> 3) == 0x1E ? 4
                                       : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return code;
}

void putUnit(std::string& out, char32_t unit) {
    if (unit != 0 && unit < 0x80) {
        out += static_cast<char>(unit);
    } else if (unit < 0x800) {
        out += static_cast<char>(0xC0 | (unit >> 6));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (unit >> 12));
        out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (unit & 0x3F));
    }
}

void putClassDesc(std::string& out, std::string_view name, std::uint64_t uid, char flags,
                  const std::vector<std::pair<std::string, std::string>>& fields) {
    out += kClassDesc;
    out += JavaMediaData::modifiedUtf(name);
    putBig(out, uid, 8);
    out += flags;
    putBig(out, fields.size(), 2);
    for (const auto& [type, field] : fields) {
        out += type.front();
        out += JavaMediaData::modifiedUtf(field);
        if (type.size() > 1) {  // object fields name their class as a string
            out += kString;
            out += JavaMediaData::modifiedUtf(type);
        }
    }
    out += kEndBlock;
    out += kNull;  // no serializable superclass
}

}  // namespace

std::string JavaMediaData::modifiedUtf(std::string_view utf8) {
    std::string body;
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t code = nextCodePoint(utf8, i);
        if (code > 0xFFFF) {
            putUnit(body, 0xD800 + ((code - 0x10000) >> 10));
            putUnit(body, 0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            putUnit(body, code);
        }
    }
    if (body.size() > 0xFFFF)
        body.resize(0xFFFF);
    std::string out;
    putBig(out, body.size(), 2);
    return out + body;
}

std::string JavaMediaData::serialize(std::string_view path, std::int64_t fileSize, bool transferred) {
    std::string out(reinterpret_cast<const char*>(kMagic), sizeof kMagic);
    out += kObject;
    // Java orders the fields primitives first, each group by name.
    putClassDesc(out, "com.whatsapp.MediaData", 0x3AB1C54E2D7F9012ull, kSerializable,
                 {{"I", "faceX"},
                  {"I", "faceY"},
                  {"J", "fileSize"},
                  {"Z", "suspiciousContent"},
                  {"Z", "transferred"},
                  {"Ljava/io/File;", "file"},
                  {"[B", "mediaKey"}});
    putBig(out, 0xFFFFFFFFu, 4);  // faceX: -1, no face found
    putBig(out, 0xFFFFFFFFu, 4);
    putBig(out, static_cast<std::uint64_t>(fileSize), 8);
    out += '\0';
    out += transferred ? '\1' : '\0';

    if (path.empty()) {
        out += kNull;
    } else {
        out += kObject;
        putClassDesc(out, "java.io.File", 0x042DA4450E0DE4FFull, kSerializable | kWriteMethod,
                     {{"Ljava/lang/String;", "path"}});
        out += kString;
        out += modifiedUtf(path);
        // File.writeObject adds the separator character as block data.
        out += kBlockData;
        out += '\x02';
        out += '\0';
        out += '/';
        out += kEndBlock;
    }

    // A media key that differs per file, as the real 32 random bytes do.
    out += kArray;
    putClassDesc(out, "[B", 0xACF317F8060854E0ull, kSerializable, {});
    putBig(out, 32, 4);
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : path)
        hash = (hash ^ c) * 1099511628211ull;
    for (int i = 0; i < 32; ++i) {
        hash = (hash ^ static_cast<unsigned>(i)) * 1099511628211ull;
        out += static_cast<char>(hash >> 56);
    }
    return out;
}

}  // namespace talvio::fixture
