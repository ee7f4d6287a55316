// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/corrupt/variants.h"

#include "sources/database.h"
#include "sources/program_state.h"

#include <sys/stat.h>

#include <stdexcept>

namespace talvio::corrupt {
namespace {

constexpr std::size_t kLogHeader = 32;
constexpr std::size_t kFrameHeader = 24;

// The log that SQL leaves beside a WAL-mode database while its connection is still open, which
// is what a folder copied off a running phone holds: committed frames not yet checkpointed.
std::string logOf(const Corpus& corpus, const std::string& databaseBytes, const std::string& sql) {
    const fs::path copy = corpus.scratch() / "logged.db";
    writeFile(copy, databaseBytes);
    std::string log;
    {
        Database db;
        if (db.open(copy.string(), Database::Access::ReadWriteExisting) != 0)
            throw std::runtime_error("cannot open a copy to log changes in");
        std::string error;
        if (db.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;" + sql, &error) != 0)
            throw std::runtime_error("logging changes failed: " + error);
        log = readFile(copy.string() + "-wal");
    }
    for (const char* companion : {"", "-wal", "-shm"})
        fs::remove(copy.string() + companion);
    if (log.size() <= kLogHeader)
        throw std::runtime_error("the changes left no log");
    return log;
}

std::uint32_t logPageSize(const std::string& log) {
    std::uint32_t size = 0;
    for (int i = 8; i < 12; ++i)
        size = size << 8 | static_cast<unsigned char>(log[static_cast<std::size_t>(i)]);
    return size;
}

}  // namespace

void addLogDamage(Corpus& corpus) {
    const std::string& database = corpus.messageDatabase();
    const std::string logName = database + "-wal";
    const std::string intact = corpus.read(database);
    // Android databases are read as they are, without their log; iPhone stores with theirs.
    const bool logRead = corpus.kind() == kSourceIPhone;
    const Expect expect = logRead ? Expect::Any : Expect::SameAsIntact;

    const std::string edit =
        corpus.kind() == kSourceIPhone
            ? "UPDATE ZWAMESSAGE SET ZTEXT = 'edited <b>' || ZTEXT;"
              "INSERT INTO ZWAMESSAGE(ZISFROMME, ZMESSAGETYPE, ZMESSAGEDATE, ZTEXT, ZFROMJID) "
              "SELECT 0, 0, 700000000, 'late', ZCONTACTJID FROM ZWACHATSESSION;"
        : corpus.modernLayout() ? "UPDATE message SET text_data = 'edited <b>' || text_data;"
                                : "UPDATE messages SET data = 'edited <b>' || data;";
    std::error_code ec;
    const bool intactLog = fs::is_regular_file(corpus.intact() / logName, ec);
    const std::string log = intactLog ? corpus.read(logName) : logOf(corpus, intact, edit);
    // Without a usable log the database is read as it is.
    const Expect noLog = logRead && intactLog ? Expect::Any : Expect::SameAsIntact;
    const std::size_t page = logPageSize(log);
    const std::size_t frame = kFrameHeader + page;

    const auto withLog = [&](const std::string& name, std::string_view bytes) {
        corpus.write(corpus.add("log-" + name, expect), logName, bytes);
    };
    withLog("matching", log);
    {
        const fs::path variant = corpus.add("log-removed", noLog);
        Corpus::remove(variant, logName);
    }
    for (const std::size_t cut :
         {kLogHeader, kLogHeader + 8, kLogHeader + frame / 2, log.size() - page / 2, log.size() - 1}) {
        if (cut < log.size())
            withLog("truncated-" + std::to_string(cut), std::string_view(log).substr(0, cut));
    }
    struct Patch {
        const char* name;
        std::size_t offset;
        std::string_view value;
    };
    using namespace std::string_view_literals;
    const Patch patches[] = {
        {"magic", 0, "\x37\x7f\x06\x80"sv},
        {"version", 4, "\x00\x00\x00\x01"sv},
        {"page-size", 8, page == 512 ? "\x00\x00\x04\x00"sv : "\x00\x00\x02\x00"sv},
        {"salt", 16, "\xde\xad\xbe\xef\xde\xad\xbe\xef"sv},
        {"header-checksum", 24, "\x00\x00\x00\x00"sv},
        {"frame-page-huge", kLogHeader, "\x7f\xff\xff\xf0"sv},
        {"frame-page-zero", kLogHeader, "\x00\x00\x00\x00"sv},
        {"frame-commit-size-huge", kLogHeader + 4, "\x7f\xff\xff\xff"sv},
        {"frame-salt", kLogHeader + 8, "\x01\x02\x03\x04"sv},
        {"frame-checksum", kLogHeader + 16, "\x00\x00\x00\x00\x00\x00\x00\x00"sv},
    };
    for (const Patch& patch : patches) {
        std::string bytes = log;
        bytes.replace(patch.offset, patch.value.size(), patch.value);
        withLog(patch.name, bytes);
    }
    {
        std::string bytes = log;
        std::mt19937 random = generatorFor("log-pages");
        std::uniform_int_distribution<int> mask(1, 255);
        for (std::size_t at = kLogHeader + kFrameHeader + 40; at < bytes.size(); at += frame)
            bytes[at] ^= static_cast<char>(mask(random));
        withLog("frame-pages-flipped", bytes);
        std::string garbage(log.size(), '\0');
        for (char& c : garbage)
            c = static_cast<char>(mask(random));
        withLog("garbage", garbage);
        withLog("zeros", std::string(log.size(), '\0'));
    }
    // Logs written against other databases: the contact database, and this one as it was before
    // a table was dropped and the file rebuilt.
    withLog("of-contact-database",
            logOf(corpus, corpus.read(corpus.contactDatabase()),
                  "CREATE TABLE talvio_logged(x); INSERT INTO talvio_logged VALUES(zeroblob(5000));"));
    const std::string table = corpus.kind() == kSourceIPhone ? "ZWAMEDIAITEM"
                              : corpus.modernLayout()        ? "chat"
                                                             : "messages";
    if (const auto dropped = changedDatabase(corpus, database, "DROP TABLE " + table + "; VACUUM;", false)) {
        withLog("of-other-version",
                logOf(corpus, *dropped,
                      "CREATE TABLE talvio_logged(x); INSERT INTO talvio_logged VALUES(zeroblob(9000));"));
    }
    // The log of this database beside a database that changed after it was written.
    if (const auto changed = changedDatabase(
            corpus, database,
            "CREATE TABLE talvio_later(x); INSERT INTO talvio_later VALUES(zeroblob(20000));", false)) {
        const fs::path variant = corpus.add("log-database-changed-since", expect);
        Corpus::write(variant, database, *changed);
        Corpus::write(variant, logName, log);
    }
    {
        const fs::path variant = corpus.add("log-shm-garbage", expect);
        Corpus::write(variant, logName, log);
        Corpus::write(variant, database + "-shm", std::string(32768, '\x5a'));
    }
    // A log that is not a file is no log.
    {
        const fs::path variant = corpus.add("log-folder", noLog);
        Corpus::remove(variant, logName);
        fs::create_directory(variant / logName);
    }
    {
        const fs::path variant = corpus.add("log-fifo", noLog);
        Corpus::remove(variant, logName);
        if (::mkfifo((variant / logName).c_str(), 0600) != 0)
            throw std::runtime_error("mkfifo failed");
    }
    // The message database's log beside the contact database, which is read without its log or
    // (iPhone) not at all.
    corpus.write(corpus.add("log-beside-contacts", Expect::SameAsIntact), corpus.contactDatabase() + "-wal",
                 log);
}

}  // namespace talvio::corrupt
