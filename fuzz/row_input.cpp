// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/row_input.h"
#include "sources/text_convert.h"

#include <sqlite3.h>

#include <cstdlib>

namespace talvio::fuzz {
namespace {

std::string unescaped(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char e = field[++i];
        switch (e) {
            case '\\':
                out += '\\';
                break;
            case 't':
                out += '\t';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case '0':
                out += '\0';
                break;
            case 'x':
                if (i + 2 < field.size() && hexDigitValue(field[i + 1]) >= 0 &&
                    hexDigitValue(field[i + 2]) >= 0) {
                    out += static_cast<char>(hexDigitValue(field[i + 1]) * 16 + hexDigitValue(field[i + 2]));
                    i += 2;
                } else {
                    out += "\\x";
                }
                break;
            default:
                out += '\\';
                out += e;
        }
    }
    return out;
}

Value parseValue(std::string_view field) {
    Value value;
    if (field == "\\N")
        return value;
    if (field.starts_with("\\i")) {
        const std::string digits(field.substr(2));
        value.type = Value::Type::Integer;
        value.integer = std::strtoll(digits.c_str(), nullptr, 10);
        return value;
    }
    if (field.starts_with("\\f")) {
        const std::string digits(field.substr(2));
        value.type = Value::Type::Real;
        value.real = std::strtod(digits.c_str(), nullptr);
        return value;
    }
    if (field.starts_with("\\b")) {
        value.type = Value::Type::Blob;
        value.bytes = unescaped(field.substr(2));
        return value;
    }
    value.type = Value::Type::Text;
    value.bytes = unescaped(field);
    return value;
}

}  // namespace

RowInput parseRowInput(std::string_view text) {
    RowInput input;
    std::size_t line = 0;
    while (!text.empty() && input.rows.size() < RowInput::kMaxRows) {
        const std::size_t end = text.find('\n');
        const std::string_view current = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line++ == 0) {
            input.name = parseValue(current);
            continue;
        }
        Row row;
        std::string_view fields = current;
        for (std::size_t column = 0; column < kColumns && !fields.empty(); ++column) {
            const std::size_t tab = fields.find('\t');
            row.values[column] = parseValue(fields.substr(0, tab));
            fields.remove_prefix(tab == std::string_view::npos ? fields.size() : tab + 1);
        }
        input.rows.push_back(std::move(row));
    }
    return input;
}

void bindValue(sqlite3_stmt* statement, int index, const Value& value) {
    switch (value.type) {
        case Value::Type::Null:
            sqlite3_bind_null(statement, index);
            break;
        case Value::Type::Text:
            sqlite3_bind_text64(statement, index, value.bytes.data(), value.bytes.size(), SQLITE_TRANSIENT,
                                SQLITE_UTF8);
            break;
        case Value::Type::Integer:
            sqlite3_bind_int64(statement, index, value.integer);
            break;
        case Value::Type::Real:
            sqlite3_bind_double(statement, index, value.real);
            break;
        case Value::Type::Blob:
            sqlite3_bind_blob64(statement, index, value.bytes.data(), value.bytes.size(), SQLITE_TRANSIENT);
            break;
    }
}

}  // namespace talvio::fuzz
