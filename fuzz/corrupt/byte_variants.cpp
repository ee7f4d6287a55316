// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/corrupt/variants.h"

#include "sources/database.h"
#include "sources/program_state.h"

#include <algorithm>
#include <set>
#include <stdexcept>
#include <vector>

namespace talvio::corrupt {
namespace {

constexpr std::size_t kHeaderSize = 100;

std::uint32_t pageSizeOf(const std::string& bytes) {
    if (bytes.size() < kHeaderSize)
        throw std::runtime_error("not a database: too short");
    const std::uint32_t size =
        static_cast<unsigned char>(bytes[16]) << 8 | static_cast<unsigned char>(bytes[17]);
    return size == 1 ? 65536 : size;
}

void put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value >> 8);
    bytes[at + 1] = static_cast<char>(value & 0xFF);
}

void put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (24 - 8 * i));
}

void flipBytes(std::string& bytes, std::size_t from, std::size_t to, int count, std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> where(from, to - 1);
    std::uniform_int_distribution<int> mask(1, 255);
    for (int i = 0; i < count; ++i)
        bytes[where(random)] ^= static_cast<char>(mask(random));
}

struct Page {
    std::uint32_t number;
    std::string type;  // "internal", "leaf" or "overflow", as dbstat names them
};

// The pages of a database by kind, from SQLite's own dbstat table over a scratch copy.
std::vector<Page> pagesOf(const Corpus& corpus, const std::string& bytes) {
    const fs::path copy = corpus.scratch() / "pages.db";
    writeFile(copy, bytes);
    std::vector<Page> pages;
    Database db;
    if (db.open(copy.string(), Database::Access::ReadOnlySnapshot) == 0) {
        Statement rows(db, "SELECT pageno, pagetype FROM dbstat ORDER BY pageno;");
        while (rows.step())
            pages.push_back(
                {static_cast<std::uint32_t>(rows.int64(0)), rows.text(1) != nullptr ? rows.text(1) : ""});
    }
    db.close();
    fs::remove(copy);
    return pages;
}

// A few pages of a kind spread over the file: first, middle and last.
std::vector<std::uint32_t> spread(const std::vector<Page>& pages, std::string_view type, std::size_t most) {
    std::vector<std::uint32_t> of;
    for (const Page& page : pages) {
        if (page.type == type)
            of.push_back(page.number);
    }
    if (of.size() <= most)
        return of;
    std::vector<std::uint32_t> chosen;
    for (std::size_t i = 0; i < most; ++i)
        chosen.push_back(of[i * (of.size() - 1) / (most - 1)]);
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    return chosen;
}

}  // namespace

std::mt19937 generatorFor(std::string_view name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return std::mt19937(hash);
}

Expect damaged(const Corpus& corpus, const std::string& relative) {
    return corpus.unusable(relative) == Expect::SameAsIntact ? Expect::SameAsIntact : Expect::Any;
}

void addTruncations(Corpus& corpus, const std::string& relative) {
    const std::string bytes = corpus.read(relative);
    const std::size_t page = pageSizeOf(bytes);
    std::set<std::size_t> offsets = {0,
                                     1,
                                     16,
                                     99,
                                     100,
                                     101,
                                     page / 2,
                                     page - 1,
                                     page + 1,
                                     2 * page - 1,
                                     2 * page + 100,
                                     3 * page + 7,
                                     bytes.size() / 2,
                                     bytes.size() - page,
                                     bytes.size() - page / 2,
                                     bytes.size() - 1};
    // Every page boundary of a small file, one in four of a larger one.
    const std::size_t pages = bytes.size() / page;
    for (std::size_t p = 1; p<pages; p += pages> 24 ? 4 : 1)
        offsets.insert(p * page);
    for (const std::size_t offset : offsets) {
        if (offset >= bytes.size())
            continue;
        corpus.addWithBytes("truncated-" + shortName(relative) + "-" + std::to_string(offset),
                            offset == 0 ? corpus.unusable(relative) : damaged(corpus, relative), relative,
                            std::string_view(bytes).substr(0, offset));
    }
}

void addHeaderDamage(Corpus& corpus, const std::string& relative) {
    const std::string intact = corpus.read(relative);
    struct Field {
        const char* name;
        std::size_t offset;
        std::string_view value;
    };
    using namespace std::string_view_literals;
    const Field fields[] = {
        {"magic", 0, "SQLite format 4"sv},
        {"page-size-0", 16, "\x00\x00"sv},
        {"page-size-65536", 16, "\x00\x01"sv},
        {"page-size-odd", 16, "\x03\x01"sv},
        {"page-size-halved", 16, intact.substr(16, 2) == "\x10\x00" ? "\x08\x00"sv : "\x02\x00"sv},
        {"write-version-9", 18, "\x09"sv},
        {"read-version-9", 19, "\x09"sv},
        {"reserved-255", 20, "\xFF"sv},
        {"payload-fractions", 21, "\x00\xFF\x00"sv},
        {"page-count-huge", 28, "\x7F\xFF\xFF\xFF"sv},
        {"freelist-trunk-beyond", 32, "\x00\xFF\xFF\xF0"sv},
        {"freelist-count-huge", 36, "\x7F\xFF\xFF\xFF"sv},
        {"schema-cookie", 40, "\x12\x34\x56\x78"sv},
        {"schema-format-9", 44, "\x00\x00\x00\x09"sv},
        {"cache-size-negative", 48, "\xFF\xFF\xFF\xFF"sv},
        {"vacuum-root-7", 52, "\x00\x00\x00\x07"sv},
        {"encoding-utf16le", 56, "\x00\x00\x00\x02"sv},
        {"encoding-utf16be", 56, "\x00\x00\x00\x03"sv},
        {"encoding-9", 56, "\x00\x00\x00\x09"sv},
        {"valid-for-beyond", 92, "\x7F\xFF\xFF\xFF"sv},
    };
    for (const Field& field : fields) {
        std::string bytes = intact;
        bytes.replace(field.offset, field.value.size(), field.value);
        corpus.addWithBytes("header-" + shortName(relative) + "-" + field.name, damaged(corpus, relative),
                            relative, bytes);
    }
    std::mt19937 random = generatorFor("header" + relative);
    for (int i = 0; i < 10; ++i) {
        std::string bytes = intact;
        flipBytes(bytes, 16, kHeaderSize, 1 + i % 3, random);
        corpus.addWithBytes("header-" + shortName(relative) + "-flipped-" + std::to_string(i),
                            damaged(corpus, relative), relative, bytes);
    }
}

void addPageDamage(Corpus& corpus, const std::string& relative, const std::string& bytes,
                   const std::string& prefix, Pages kinds) {
    const std::size_t pageSize = pageSizeOf(bytes);
    const std::vector<Page> pages = pagesOf(corpus, bytes);
    const Expect expect = damaged(corpus, relative);
    std::mt19937 random = generatorFor(prefix + relative);
    const auto add = [&](std::uint32_t page, const std::string& what, std::string changed) {
        corpus.addWithBytes(prefix + shortName(relative) + "-page" + std::to_string(page) + "-" + what,
                            expect, relative, changed);
    };
    for (const char* type : {"leaf", "internal"}) {
        if (kinds != Pages::Tree)
            break;
        for (const std::uint32_t page : spread(pages, type, 3)) {
            const std::size_t start = (page - 1) * pageSize;
            // Page 1 carries the database header before its b-tree header.
            const std::size_t header = start + (page == 1 ? kHeaderSize : 0);
            if (header + 12 > bytes.size())
                continue;
            const bool interior = std::string_view(type) == "internal";
            std::string b = bytes;
            b[header] ^= 0x08;  // leaf <-> interior
            add(page, "type", b);
            b = bytes;
            put16(b, header + 3, 0xFFFF);
            add(page, "cell-count", b);
            b = bytes;
            put16(b, header + 1, static_cast<std::uint16_t>(pageSize - 2));
            add(page, "freeblock", b);
            b = bytes;
            put16(b, header + 5, 1);
            add(page, "content-start", b);
            b = bytes;
            put16(b, header + (interior ? 12 : 8), 0xFFFF);
            add(page, "cell-pointer", b);
            if (interior) {
                b = bytes;
                put32(b, header + 8, page);  // its own child: a cycle
                add(page, "child-cycle", b);
            }
            b = bytes;
            flipBytes(b, header + (interior ? 12 : 8), start + pageSize, 4, random);
            add(page, "flipped", b);
        }
    }
    for (const std::uint32_t page : spread(pages, "overflow", kinds == Pages::Overflow ? 3 : 0)) {
        const std::size_t start = (page - 1) * pageSize;
        if (start + pageSize > bytes.size())
            continue;
        std::string b = bytes;
        put32(b, start, 0);  // the chain ends early
        add(page, "overflow-end", b);
        b = bytes;
        put32(b, start, page);  // and loops
        add(page, "overflow-loop", b);
        b = bytes;
        put32(b, start, 0x7FFFFFF0);
        add(page, "overflow-beyond", b);
        b = bytes;
        flipBytes(b, start + 4, start + pageSize, 16, random);
        add(page, "overflow-flipped", b);
    }
}

}  // namespace talvio::corrupt
