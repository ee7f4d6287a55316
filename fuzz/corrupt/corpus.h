// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::corrupt {

namespace fs = std::filesystem;

// What loading a variant must end in, besides never crashing, hanging or writing to it.
enum class Expect {
    Intact,        // the fixture itself: rows and messages
    SameAsIntact,  // a change the loaders never look at: the intact outcome exactly
    NoMessages,    // the message database is unusable: no page shows a message
    NoContacts,    // the database the list comes from is unusable: an empty list
    Any,           // any outcome, as long as it is one of the loaders' own
};

std::string_view expectName(Expect expect);

// A folder of variants of one fixture folder. "intact" is a copy of the fixture; every other
// variant is a folder whose files are hard links to the intact copy's, except those that a variant
// replaces (replacing first removes the link, so the intact copy is never written through one).
// variants.txt lists each variant with what it must end in.
class Corpus {
public:
    // Empties out, then copies the fixture to out/intact.
    Corpus(const fs::path& fixture, const fs::path& out);

    int kind() const { return m_kind; }
    // The database files of the fixture's kind, relative to its folder: the message database first.
    const std::vector<std::string>& databases() const { return m_databases; }
    const std::string& messageDatabase() const { return m_databases[0]; }
    const std::string& contactDatabase() const { return m_databases[1]; }
    // Whether the Android message database holds the layout of 2022 on.
    bool modernLayout() const { return m_modern; }
    const fs::path& intact() const { return m_intact; }

    std::string read(const std::string& relative) const;

    // A new variant linked to the intact copy; returns its folder.
    fs::path add(const std::string& name, Expect expect);
    // A new variant in which one file has other bytes.
    void addWithBytes(const std::string& name, Expect expect, const std::string& relative,
                      std::string_view bytes);
    // Replaces or removes one file of a variant.
    static void write(const fs::path& variant, const std::string& relative, std::string_view bytes);
    static void remove(const fs::path& variant, const std::string& relative);

    // A scratch folder for databases being changed, outside every variant.
    const fs::path& scratch() const { return m_scratch; }

    // The outcome for a database that cannot be read at all.
    Expect unusable(const std::string& relative) const;

    // Writes variants.txt and removes the scratch folder; returns the number of variants.
    std::size_t finish();

private:
    fs::path m_out;
    fs::path m_intact;
    fs::path m_scratch;
    int m_kind = -1;
    bool m_modern = false;
    std::vector<std::string> m_databases;
    std::vector<std::pair<std::string, Expect>> m_variants;
};

// A file-name-safe form of a relative path ("databases/wa.db" -> "wa.db").
std::string shortName(const std::string& relative);

std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, std::string_view bytes);

}  // namespace talvio::corrupt
