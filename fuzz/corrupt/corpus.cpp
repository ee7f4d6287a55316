// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/corrupt/corpus.h"

#include "sources/database.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace talvio::corrupt {

std::string_view expectName(Expect expect) {
    switch (expect) {
        case Expect::Intact:
            return "intact";
        case Expect::SameAsIntact:
            return "same-as-intact";
        case Expect::NoMessages:
            return "no-messages";
        case Expect::NoContacts:
            return "no-contacts";
        case Expect::Any:
            return "any";
    }
    return "any";
}

std::string shortName(const std::string& relative) {
    return fs::path(relative).filename().string();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

namespace {

bool hasRows(const fs::path& database, const char* table) {
    Database db;
    if (db.open(database.string(), Database::Access::ReadOnlySnapshot) != 0)
        return false;
    Statement probe(db, std::string("SELECT 1 FROM ") + table + " LIMIT 1;");
    return probe.step();
}

}  // namespace

Corpus::Corpus(const fs::path& fixture, const fs::path& out)
    : m_out(out), m_intact(out / "intact"), m_scratch(out / ".scratch") {
    m_kind = detectSourceKind(fixture.string());
    if (m_kind == kSourceNone)
        throw std::runtime_error(fixture.string() + " is neither an Android nor an iPhone folder");
    m_databases = {messageDbName(m_kind), contactDbName(m_kind)};
    fs::remove_all(out);
    fs::create_directories(out);
    fs::copy(fixture, m_intact, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    fs::create_directories(m_scratch);
    m_modern = m_kind == kSourceAndroid && hasRows(m_intact / messageDatabase(), "message");
    m_variants.emplace_back("intact", Expect::Intact);
}

std::string Corpus::read(const std::string& relative) const {
    return readFile(m_intact / relative);
}

fs::path Corpus::add(const std::string& name, Expect expect) {
    for (const auto& variant : m_variants) {
        if (variant.first == name)
            throw std::runtime_error("two variants named " + name);
    }
    const fs::path folder = m_out / name;
    fs::create_directories(folder);
    for (const auto& item : fs::recursive_directory_iterator(m_intact)) {
        const fs::path target = folder / fs::relative(item.path(), m_intact);
        if (item.is_symlink()) {
            fs::copy_symlink(item.path(), target);
        } else if (item.is_directory()) {
            fs::create_directories(target);
        } else {
            std::error_code ec;
            fs::create_hard_link(item.path(), target, ec);
            if (ec)
                fs::copy_file(item.path(), target);
        }
    }
    m_variants.emplace_back(name, expect);
    return folder;
}

void Corpus::addWithBytes(const std::string& name, Expect expect, const std::string& relative,
                          std::string_view bytes) {
    write(add(name, expect), relative, bytes);
}

void Corpus::write(const fs::path& variant, const std::string& relative, std::string_view bytes) {
    remove(variant, relative);
    writeFile(variant / relative, bytes);
}

void Corpus::remove(const fs::path& variant, const std::string& relative) {
    std::error_code ec;
    fs::remove_all(variant / relative, ec);
}

Expect Corpus::unusable(const std::string& relative) const {
    if (m_kind == kSourceIPhone)
        return relative == messageDatabase() ? Expect::NoContacts : Expect::SameAsIntact;
    if (relative == messageDatabase())
        return Expect::NoMessages;
    // Chats of the modern layout are listed from the message database alone.
    return m_modern ? Expect::Any : Expect::NoContacts;
}

std::size_t Corpus::finish() {
    fs::remove_all(m_scratch);
    std::string list;
    for (const auto& [name, expect] : m_variants) {
        list += name;
        list += '\t';
        list += expectName(expect);
        list += '\n';
    }
    writeFile(m_out / "variants.txt", list);
    return m_variants.size();
}

}  // namespace talvio::corrupt
