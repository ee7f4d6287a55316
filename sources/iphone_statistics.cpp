// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "iphone_statistics.h"

#include <sqlite3.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>

namespace talvio {
namespace {

// Rows in rowid order, as the per-chat aggregate reads them: no index covers these columns, and
// NOT INDEXED keeps it so, which decides which of two equal maxima (5 and 5.0) is reported.
constexpr std::string_view kAllMessagesQuery =
    "SELECT ZFROMJID, ZTOJID, ZMESSAGEDATE FROM ZWAMESSAGE NOT INDEXED;";

std::int32_t saturatedInt32(std::int64_t value) {
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t parseCount(const char* text) {
    if (text == nullptr)
        return 0;
    return saturatedInt32(std::strtoll(text, nullptr, 10));
}

// The largest value seen so far, kept the way SQLite's max() compares it.
struct MaxValue {
    int type = SQLITE_NULL;
    std::int64_t integer = 0;
    double real = 0;
    std::string bytes;  // text or blob
};

// SQLite's storage-class order: NULL < numbers < text < blob.
int storageRank(int type) {
    switch (type) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return 1;
        case SQLITE_TEXT:
            return 2;
        default:
            return 3;
    }
}

int sign(double d) {
    return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

// An integer against a real, exactly (a double cannot hold every 64-bit integer).
int compareIntReal(std::int64_t i, double r) {
    if (r < -9223372036854775808.0)
        return 1;
    if (r >= 9223372036854775808.0)
        return -1;
    const auto y = static_cast<std::int64_t>(r);
    if (i < y)
        return -1;
    if (i > y)
        return 1;
    return sign(static_cast<double>(i) - r);
}

// Byte order, then length, as SQLite compares texts and blobs. An empty blob comes back as a null
// pointer, which memcmp must not be handed even for no bytes; compare() never does.
int compareBytes(std::string_view a, std::string_view b) {
    return a.compare(b);
}

// Compares the column value of the current row with best: negative, 0 or positive.
int compareWithBest(sqlite3_stmt* stmt, int column, int type, const MaxValue& best) {
    const int rank = storageRank(type) - storageRank(best.type);
    if (rank != 0)
        return rank;
    switch (type) {
        case SQLITE_INTEGER: {
            const std::int64_t i = sqlite3_column_int64(stmt, column);
            if (best.type == SQLITE_INTEGER)
                return i < best.integer ? -1 : (i > best.integer ? 1 : 0);
            return compareIntReal(i, best.real);
        }
        case SQLITE_FLOAT: {
            const double r = sqlite3_column_double(stmt, column);
            if (best.type == SQLITE_FLOAT)
                return sign(r - best.real);
            return -compareIntReal(best.integer, r);
        }
        case SQLITE_TEXT: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            return compareBytes({p, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column))},
                                best.bytes);
        }
        default: {
            const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            const auto n = static_cast<std::size_t>(sqlite3_column_bytes(stmt, column));
            return compareBytes(p != nullptr ? std::string_view(p, n) : std::string_view(), best.bytes);
        }
    }
}

void takeAsBest(sqlite3_stmt* stmt, int column, int type, MaxValue& best) {
    best.type = type;
    switch (type) {
        case SQLITE_INTEGER:
            best.integer = sqlite3_column_int64(stmt, column);
            break;
        case SQLITE_FLOAT:
            best.real = sqlite3_column_double(stmt, column);
            break;
        case SQLITE_TEXT: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            best.bytes.assign(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
            break;
        }
        default: {
            const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
            best.bytes.assign(p != nullptr ? p : "",
                              static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
        }
    }
}

// The text a row handler would have been given for the value: SQLite's own rendering of numbers,
// and texts and blobs up to a first zero byte.
std::string renderedValue(const Database& db, const MaxValue& best) {
    switch (best.type) {
        case SQLITE_NULL:
            return {};
        case SQLITE_INTEGER:
            return std::to_string(best.integer);
        case SQLITE_FLOAT: {
            Statement echo(db, "SELECT ?1;");
            echo.bind(1, best.real);
            if (!echo.step())
                return {};
            return cutAtFirstDot(echo.text(0));
        }
        default:
            return cutAtFirstDot(best.bytes.c_str());
    }
}

// Affinity of a declared column type, by SQLite's rules, in the order SQLite applies them.
enum class Affinity { Integer, Text, Blob, Real, Numeric };

Affinity affinityOf(const char* declaredType) {
    std::string type = declaredType != nullptr ? declaredType : "";
    for (char& c : type) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    const auto has = [&type](const char* part) { return type.find(part) != std::string::npos; };
    if (has("INT"))
        return Affinity::Integer;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return Affinity::Text;
    if (has("BLOB") || type.empty())
        return Affinity::Blob;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

// Whether "column = ?text" is true exactly for text values with the same bytes: the column's
// affinity must not turn the bound text into a number, and its collation must be BINARY.
bool comparesAsPlainText(const Database& db, const char* column, bool needTextAffinity) {
    const char* type = nullptr;
    const char* collation = nullptr;
    if (sqlite3_table_column_metadata(db.handle(), "main", "ZWAMESSAGE", column, &type, &collation, nullptr,
                                      nullptr, nullptr) != SQLITE_OK) {
        return false;
    }
    if (collation == nullptr || sqlite3_stricmp(collation, "BINARY") != 0)
        return false;
    if (!needTextAffinity)
        return true;
    const Affinity affinity = affinityOf(type);
    return affinity == Affinity::Text || affinity == Affinity::Blob;
}

struct Accumulator {
    std::int64_t count = 0;
    MaxValue best;
};

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

using AccumulatorMap = std::unordered_map<std::string, Accumulator, StringHash, std::equal_to<>>;

void addMessage(sqlite3_stmt* stmt, Accumulator& acc) {
    ++acc.count;
    const int type = sqlite3_column_type(stmt, 2);
    if (type == SQLITE_NULL)
        return;
    // Strictly greater: of equal values the first one read stays, as in SQLite's max().
    if (compareWithBest(stmt, 2, type, acc.best) > 0)
        takeAsBest(stmt, 2, type, acc.best);
}

}  // namespace

std::string cutAtFirstDot(const char* text) {
    if (text == nullptr)
        return {};
    const char* dot = std::strchr(text, '.');
    return dot != nullptr ? std::string(text, dot) : std::string(text);
}

bool readChatStatistics(Statement& query, std::string_view jid, ChatStatistics& figures) {
    if (!query.ok())
        return false;
    query.reset();
    query.bind(1, jid);
    if (!query.step())
        return false;
    figures.lastMessageTime = cutAtFirstDot(query.text(0));
    figures.messageCount = parseCount(query.text(1));
    return true;
}

bool readAllChatStatistics(const Database& db, const std::vector<std::string>& jids,
                           std::unordered_map<std::string, ChatStatistics>& figures) {
    if (!db.isOpen())
        return false;
    if (!comparesAsPlainText(db, "ZFROMJID", true) || !comparesAsPlainText(db, "ZTOJID", true) ||
        !comparesAsPlainText(db, "ZMESSAGEDATE", false)) {
        return false;
    }
    AccumulatorMap accumulators;
    accumulators.reserve(jids.size());
    for (const std::string& jid : jids)
        accumulators.try_emplace(jid);

    Statement all(db, kAllMessagesQuery);
    if (!all.ok())
        return false;
    sqlite3_stmt* stmt = all.handle();
    while (all.step()) {
        std::string_view from;
        const bool fromIsText = sqlite3_column_type(stmt, 0) == SQLITE_TEXT;
        if (fromIsText) {
            from = all.textView(0);
            if (auto found = accumulators.find(from); found != accumulators.end())
                addMessage(stmt, found->second);
        }
        if (sqlite3_column_type(stmt, 1) == SQLITE_TEXT) {
            const std::string_view to = all.textView(1);
            // A message to and from the same jid is one message of that chat.
            if (fromIsText && to == from)
                continue;
            if (auto found = accumulators.find(to); found != accumulators.end())
                addMessage(stmt, found->second);
        }
    }
    if (all.result() != SQLITE_DONE)
        return false;

    figures.clear();
    figures.reserve(accumulators.size());
    for (const auto& [jid, acc] : accumulators) {
        ChatStatistics& f = figures[jid];
        f.lastMessageTime = renderedValue(db, acc.best);
        f.messageCount = saturatedInt32(acc.count);
    }
    return true;
}

}  // namespace talvio
