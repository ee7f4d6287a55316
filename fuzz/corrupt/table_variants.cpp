// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/corrupt/variants.h"

#include "sources/database.h"
#include "sources/program_state.h"

#include <stdexcept>
#include <vector>

namespace talvio::corrupt {
namespace {

std::string sqlName(std::string_view name) {
    std::string out = "\"";
    for (const char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

struct Table {
    std::string name;
    std::vector<std::string> columns;
};

// The tables that hold rows: damage to an empty table changes nothing a loader could read.
std::vector<Table> tablesWithRows(const fs::path& database) {
    Database db;
    if (db.open(database.string(), Database::Access::ReadOnlySnapshot) != 0)
        throw std::runtime_error("cannot open " + database.string());
    std::vector<Table> tables;
    Statement names(
        db, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite%' ORDER BY name;");
    while (names.step()) {
        Table table{names.text(0), {}};
        Statement rows(db, "SELECT 1 FROM " + sqlName(table.name) + " LIMIT 1;");
        if (!rows.step())
            continue;
        Statement columns(db, "SELECT name FROM pragma_table_info(?1) ORDER BY cid;");
        columns.bind(1, table.name);
        while (columns.step())
            table.columns.emplace_back(columns.text(0));
        tables.push_back(std::move(table));
    }
    return tables;
}

// Values of every storage class and of the extremes of each: blobs with a zero byte and bytes that
// are no UTF-8, the empty blob (which SQLite hands out as a null pointer), the largest and smallest
// integers, reals beyond every integer, markup and quotes, ill-formed UTF-8 stored as text, NULL and
// the empty text.
constexpr const char* kWrongValues[] = {
    "X'00FF3C623E2700'",
    "X''",
    "9223372036854775807",
    "-9223372036854775808",
    "1e308",
    "NULL",
    "'<b>x</b>'' \"&amp; <script>'",
    "18446744073709551616.0",
    "CAST(X'E28028C3FF3C' AS TEXT)",
    "''",
};
constexpr int kWrongValueCount = static_cast<int>(std::size(kWrongValues));

// The tables whose rows the loaders query. Damage to any other table must change nothing, which
// the test checks: a loader that starts reading another table shows up there.
bool readByLoaders(const Corpus& corpus, const std::string& relative, const std::string& table) {
    if (relative != corpus.messageDatabase() && corpus.kind() == kSourceIPhone)
        return false;
    for (const char* name :
         {"messages", "wa_contacts", "message", "chat", "jid", "jid_map", "ZWACHATSESSION",
          "ZWAPROFILEPICTUREITEM", "ZWAMESSAGE", "ZWAMEDIAITEM",
          // The modern pages' companion tables: what they say shows on the page.
          "message_system", "message_system_chat_participant", "message_system_value_change",
          "message_system_number_change", "message_ephemeral_setting", "message_quoted", "message_add_on",
          "message_add_on_reaction", "message_revoked", "message_edit_info", "message_location",
          "message_vcard", "message_poll", "message_poll_option", "call_log", "message_call_log",
          "message_future", "message_view_once_media"}) {
        if (table == name)
            return true;
    }
    return false;
}

}  // namespace

std::optional<std::string> changedDatabase(const Corpus& corpus, const std::string& relative,
                                           const std::string& sql, bool ignoreErrors) {
    const fs::path copy = corpus.scratch() / "changed.db";
    writeFile(copy, corpus.read(relative));
    std::optional<std::string> bytes;
    {
        Database db;
        if (db.open(copy.string(), Database::Access::ReadWriteExisting) != 0)
            return std::nullopt;
        std::string error;
        if (ignoreErrors) {
            // Statement by statement, each allowed to fail.
            std::size_t start = 0;
            while (start < sql.size()) {
                const std::size_t end = sql.find(";\n", start);
                db.exec(sql.substr(start, end == std::string::npos ? std::string::npos : end - start + 1));
                start = end == std::string::npos ? sql.size() : end + 2;
            }
        } else if (db.exec(sql, &error) != 0) {
            return std::nullopt;
        }
    }
    bytes = readFile(copy);
    for (const char* companion : {"", "-wal", "-shm", "-journal"})
        fs::remove(copy.string() + companion);
    return bytes;
}

void addTableDamage(Corpus& corpus, const std::string& relative) {
    const std::string file = shortName(relative);
    const Expect expect = damaged(corpus, relative);
    const auto addChanged = [&](const std::string& name, Expect outcome, const std::string& sql,
                                bool ignoreErrors) {
        if (const auto bytes = changedDatabase(corpus, relative, sql, ignoreErrors))
            corpus.addWithBytes(name, outcome, relative, *bytes);
    };
    for (const Table& table : tablesWithRows(corpus.intact() / relative)) {
        const std::string t = sqlName(table.name);
        const std::string prefix = file + "-" + table.name;
        if (!readByLoaders(corpus, relative, table.name)) {
            addChanged("unread-table-dropped-" + prefix, Expect::SameAsIntact, "DROP TABLE " + t + ";",
                       false);
            std::string sql;
            for (const std::string& column : table.columns)
                sql += "UPDATE OR IGNORE " + t + " SET " + sqlName(column) + " = " + kWrongValues[0] + ";\n";
            addChanged("unread-table-types-" + prefix, Expect::SameAsIntact, sql, true);
            continue;
        }
        addChanged("table-dropped-" + prefix, expect, "DROP TABLE " + t + ";", false);
        // The table replaced by a view of the same columns that never ends: a loader that read it
        // would never finish. Views are not read, so it is as good as dropped.
        std::string endless;
        for (const std::string& column : table.columns)
            endless += (endless.empty() ? "" : ", ") + std::string("i AS ") + sqlName(column);
        addChanged("table-endless-view-" + prefix, expect,
                   "DROP TABLE " + t + "; CREATE VIEW " + t +
                       " AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) SELECT " +
                       endless + " FROM n;",
                   false);
        // Columns a loader does not name change nothing it reads.
        addChanged("table-extra-columns-" + prefix, Expect::SameAsIntact,
                   "ALTER TABLE " + t +
                       " ADD COLUMN talvio_extra TEXT DEFAULT '<b>extra</b>';"
                       "ALTER TABLE " +
                       t + " ADD COLUMN talvio_extra_blob BLOB DEFAULT X'00FF';",
                   false);
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const std::string& column = table.columns[c];
            if (table.columns.size() > 1) {
                std::string others;
                for (std::size_t o = 0; o < table.columns.size(); ++o) {
                    if (o != c)
                        others += (others.empty() ? "" : ", ") + sqlName(table.columns[o]);
                }
                addChanged("column-missing-" + prefix + "." + column, expect,
                           "CREATE TABLE talvio_rebuilt AS SELECT " + others + " FROM " + t +
                               "; DROP TABLE " + t + "; ALTER TABLE talvio_rebuilt RENAME TO " + t + ";",
                           false);
            }
            // Each row of the column gets another wrong value; successive columns start at
            // successive values, so that every value reaches columns of every kind.
            std::string sql;
            for (int k = 0; k < kWrongValueCount; ++k) {
                sql += "UPDATE OR IGNORE " + t + " SET " + sqlName(column) + " = " + kWrongValues[k] +
                       " WHERE (rowid + " + std::to_string(c) + ") % " + std::to_string(kWrongValueCount) +
                       " = " + std::to_string(k) + ";\n";
            }
            addChanged("column-types-" + prefix + "." + column, expect, sql, true);
        }
        // One wrong value in every column at once, the columns of the row key aside.
        for (int k = 0; k < kWrongValueCount; ++k) {
            std::string sql;
            for (const std::string& column : table.columns)
                sql += "UPDATE OR IGNORE " + t + " SET " + sqlName(column) + " = " + kWrongValues[k] + ";\n";
            addChanged("table-types-" + prefix + "-" + std::to_string(k), expect, sql, true);
        }
    }
}

void addLongTexts(Corpus& corpus) {
    struct Column {
        const char* database;
        const char* table;
        const char* column;
    };
    std::vector<Column> shown;
    if (corpus.kind() == kSourceIPhone) {
        shown = {{"ChatStorage.sqlite", "ZWAMESSAGE", "ZTEXT"},
                 {"ChatStorage.sqlite", "ZWAMESSAGE", "ZPUSHNAME"},
                 {"ChatStorage.sqlite", "ZWACHATSESSION", "ZPARTNERNAME"},
                 {"ChatStorage.sqlite", "ZWAMEDIAITEM", "ZMEDIALOCALPATH"}};
    } else if (corpus.modernLayout()) {
        shown = {{"databases/msgstore.db", "message", "text_data"},
                 {"databases/msgstore.db", "chat", "subject"},
                 {"databases/msgstore.db", "jid", "raw_string"}};
    } else {
        shown = {{"databases/msgstore.db", "messages", "data"},
                 {"databases/msgstore.db", "messages", "remote_resource"},
                 {"databases/wa.db", "wa_contacts", "display_name"}};
    }
    // Texts with every character the pages escape, longer than a page in every row, and one of
    // megabytes in one row of the column that holds message texts.
    const auto longText = [](int repeats) {
        return "replace(hex(zeroblob(" + std::to_string(repeats) + ")), '00', '长<b>&''\"\\' || char(10))";
    };
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const Column& c = shown[i];
        const std::string name = std::string(c.table) + "." + c.column;
        const std::string every = "UPDATE " + sqlName(c.table) + " SET " + sqlName(c.column) + " = " +
                                  longText(600) + " || rowid WHERE " + sqlName(c.column) + " IS NOT NULL;";
        if (const auto bytes = changedDatabase(corpus, c.database, every, false)) {
            corpus.addWithBytes("long-every-row-" + name, Expect::Any, c.database, *bytes);
            // Long values live on overflow pages, which can then be damaged.
            if (i == 0)
                addPageDamage(corpus, c.database, *bytes, "long-" + name + "-", Pages::Overflow);
        }
        const std::string one = "UPDATE " + sqlName(c.table) + " SET " + sqlName(c.column) + " = " +
                                longText(i == 0 ? 400000 : 40000) +
                                " WHERE rowid = (SELECT min(rowid) FROM " + sqlName(c.table) + " WHERE " +
                                sqlName(c.column) + " IS NOT NULL);";
        if (const auto bytes = changedDatabase(corpus, c.database, one, false))
            corpus.addWithBytes("long-one-row-" + name, Expect::Any, c.database, *bytes);
    }
}

}  // namespace talvio::corrupt
