// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "fuzz/corrupt/corpus.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace talvio::corrupt {

// The same corpus on every run: each family of variants draws from a generator seeded by its name.
std::mt19937 generatorFor(std::string_view name);

// The outcome of damage to a database that is still partly readable.
Expect damaged(const Corpus& corpus, const std::string& relative);

// Byte damage (byte_variants.cpp): the file cut at many offsets, fields of the database header
// set to wrong values and random header bytes flipped.
void addTruncations(Corpus& corpus, const std::string& relative);
void addHeaderDamage(Corpus& corpus, const std::string& relative);
// Page damage to the given bytes of a database, written as variants named prefix + what was
// damaged: b-tree pages of the intact file, overflow pages of one with long texts.
enum class Pages { Tree, Overflow };
void addPageDamage(Corpus& corpus, const std::string& relative, const std::string& bytes,
                   const std::string& prefix, Pages pages);

// Runs SQL on a scratch copy of the intact database and returns the changed file; nothing when
// SQLite refuses the change. With ignoreErrors, each ";\n"-ended statement may fail on its own.
std::optional<std::string> changedDatabase(const Corpus& corpus, const std::string& relative,
                                           const std::string& sql, bool ignoreErrors);

// Table damage (table_variants.cpp): tables dropped, columns dropped and added, values of the
// wrong types in every column, very long texts where the pages show texts. Tables the loaders
// never read get a few variants, which must change nothing.
void addTableDamage(Corpus& corpus, const std::string& relative);
void addLongTexts(Corpus& corpus);

// Logs that do not belong to their database (wal_variants.cpp).
void addLogDamage(Corpus& corpus);

// Databases that are not regular files (special_variants.cpp): a folder, a FIFO, symbolic links
// to a folder, to a device and to nothing, an empty file.
void addSpecialFiles(Corpus& corpus, const std::string& relative);

}  // namespace talvio::corrupt
