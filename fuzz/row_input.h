// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace talvio::fuzz {

// One database value of a fuzzed row.
struct Value {
    enum class Type { Null, Text, Integer, Real, Blob } type = Type::Null;
    std::string bytes;
    std::int64_t integer = 0;
    double real = 0;

    // The value as the loaders' row handlers see it through sqlite3_column_text: cut at a zero
    // byte, numbers as SQLite writes them. Only meaningful for Text and Blob.
    std::string_view cText() const { return std::string_view(bytes.c_str()); }
};

// The columns of a message row, in the order the input gives them.
enum Column { kFromMe, kKind, kTime, kSender, kText, kMediaPath, kColumns };

struct Row {
    std::array<Value, kColumns> values;
};

// The text form of the page target's inputs, kept readable so that seeds and regressions are
// plain text:
//   line 1: the contact's name
//   then one message per line, tab-separated: from_me, kind, time, sender, text, media path.
// In a field, \\ \t \n \r \0 and \xHH are escapes; a field "\N" is NULL, "\i123" an integer,
// "\f1.5" a real and "\b…" a blob. Missing fields are NULL. At most kMaxRows messages are read.
struct RowInput {
    static constexpr std::size_t kMaxRows = 48;
    Value name;
    std::vector<Row> rows;
};

RowInput parseRowInput(std::string_view text);

// Binds a value to a statement parameter with its own type.
void bindValue(sqlite3_stmt* statement, int index, const Value& value);

}  // namespace talvio::fuzz
