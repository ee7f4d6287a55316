// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The chat pages of all three sources built from any rows. Each input becomes one chat in an
// Android database of the legacy layout, one of the 2022 layout and an iPhone store; each folder
// is loaded and every row rendered as the viewer and talvio-export do it (Viewer and StandAlone,
// ExportMode off). Every page must read back whole (page_check.h), keep every message, give each
// player call exactly its file's path, and the contact list must show the figures the per-chat
// aggregate gives.
#include "fuzz/fuzz_support.h"
#include "fuzz/page_check.h"
#include "fuzz/row_input.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/iphone_statistics.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "sources/text_convert.h"

#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

using namespace talvio;
using namespace talvio::fuzz;

namespace {

constexpr std::string_view kJid = "a@s.whatsapp.net";

// The real layout's tables that the loaders read, with their column types and unique indexes,
// from the schema files the fixtures use. Only those: every open parses the whole schema, which is
// most of the time an input takes; the other indexes change plans, not results.
std::string schema(const std::string& name, std::initializer_list<std::string_view> tables) {
    std::ifstream in(std::string(TALVIO_TEST_DATA) + "/" + name, std::ios::binary);
    std::string text;
    for (std::string line; std::getline(in, line);) {
        const std::size_t comment = line.find("--");
        text += line.substr(0, comment) + "\n";
    }
    FUZZ_CHECK(!text.empty(), "cannot read the schema " + name);
    std::string kept;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string statement = text.substr(start, end - start);
        start = end + 1;
        // "CREATE TABLE name (" or "CREATE UNIQUE INDEX index ON name (".
        std::istringstream words(statement);
        std::vector<std::string> w;
        for (std::string word; w.size() < 6 && words >> word;)
            w.push_back(word.substr(0, word.find('(')));
        std::string table;
        if (w.size() >= 3 && w[0] == "CREATE" && w[1] == "TABLE") {
            table = w[2];
        } else if (w.size() >= 6 && w[0] == "CREATE" && w[1] == "UNIQUE" && w[2] == "INDEX" && w[4] == "ON") {
            table = w[5];
        }
        for (const std::string_view wanted : tables) {
            if (!table.empty() && table == wanted)
                kept += statement + ";\n";
        }
    }
    return kept;
}

void run(Database& db, const std::string& sql) {
    std::string error;
    FUZZ_CHECK(db.exec(sql, &error) == SQLITE_OK, sql.substr(0, 80) + ": " + error);
}

// A database of ours beside which the loaders find nothing but the file: no journal is left on
// disk and every commit is in the file when the loader opens it.
void create(Database& db, const std::string& path, const std::string& schemaSql) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    FUZZ_CHECK(db.open(path, Database::Access::Create) == SQLITE_OK, "cannot create " + path);
    run(db, "PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF;");
    run(db, schemaSql);
}

std::string textOf(const Statement& row, int column) {
    const char* text = row.text(column);
    return text != nullptr ? std::string(text) : std::string();
}

class Phones {
public:
    Phones() {
        const std::string& base = scratchFolder();
        legacy = base + "legacy/";
        modern = base + "modern/";
        iphone = base + "iphone/";
        resources = base + "resources/";
        create(m_legacyMessages, legacy + "databases/msgstore.db",
               schema("android/msgstore-schema.sql", {"messages"}));
        create(m_legacyContacts, legacy + "databases/wa.db",
               schema("android/wa-schema.sql", {"wa_contacts"}));
        create(m_modernMessages, modern + "databases/msgstore.db",
               schema("android/msgstore-modern-schema.sql", {"message", "chat", "jid", "jid_map"}));
        Database modernContacts;
        create(modernContacts, modern + "databases/wa.db", schema("android/wa-schema.sql", {"wa_contacts"}));
        create(m_iphone, iphone + "ChatStorage.sqlite",
               schema("iphone/chatstorage-schema.sql",
                      {"ZWACHATSESSION", "ZWAMESSAGE", "ZWAMEDIAITEM", "ZWAPROFILEPICTUREITEM"}));
        Database iphoneContacts;
        create(iphoneContacts, iphone + "Contacts.sqlite",
               "CREATE TABLE ZWAADDRESSBOOKCONTACT (Z_PK INTEGER PRIMARY KEY);");
        // Pictures the rows can name; the seeds do. Names with every character an address escapes.
        for (const char* name : {"Media/p.jpg", "Media/a b'\"&<>\\%#?.jpg",
                                 "Media/\xE7\x85\xA7\xE7\x89\x87.jpg", "Media/line\nbreak.jpg"}) {
            writeFileAt(resources + "Library/" + name);
        }
    }

    void fill(const RowInput& input) {
        run(m_legacyMessages, "BEGIN; DELETE FROM messages;");
        run(m_legacyContacts, "BEGIN; DELETE FROM wa_contacts;");
        run(m_modernMessages, "BEGIN; DELETE FROM message; DELETE FROM chat; DELETE FROM jid;");
        run(m_iphone, "BEGIN; DELETE FROM ZWAMESSAGE; DELETE FROM ZWAMEDIAITEM; DELETE FROM ZWACHATSESSION;");

        Statement contact(m_legacyContacts,
                          "INSERT INTO wa_contacts(jid, is_whatsapp_user, display_name) VALUES(?1, 1, ?2);");
        contact.bind(1, kJid);
        bindValue(contact.handle(), 2, input.name);
        contact.step();
        Statement chat(
            m_modernMessages,
            "INSERT INTO jid(_id, user, server, raw_string) VALUES(1, 'a', 's.whatsapp.net', ?1);");
        chat.bind(1, kJid);
        chat.step();
        Statement chatRow(m_modernMessages, "INSERT INTO chat(_id, jid_row_id, subject) VALUES(1, 1, ?1);");
        bindValue(chatRow.handle(), 1, input.name);
        chatRow.step();
        Statement session(m_iphone,
                          "INSERT INTO ZWACHATSESSION(Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES(1, ?1, ?2);");
        session.bind(1, kJid);
        bindValue(session.handle(), 2, input.name);
        session.step();

        Statement legacyRow(
            m_legacyMessages,
            "INSERT INTO messages(key_remote_jid, key_id, key_from_me, media_wa_type, timestamp, "
            "remote_resource, data) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7);");
        Statement member(m_modernMessages,
                         "INSERT OR IGNORE INTO jid(user, server, raw_string) VALUES('m', 's', ?1);");
        Statement modernRow(m_modernMessages,
                            "INSERT INTO message(chat_row_id, from_me, key_id, sender_jid_row_id, timestamp, "
                            "message_type, text_data) VALUES(1, COALESCE(?1, 0), ?2, "
                            "(SELECT _id FROM jid WHERE raw_string = ?3), ?4, ?5, ?6);");
        Statement iphoneRow(
            m_iphone,
            "INSERT INTO ZWAMESSAGE(Z_PK, ZISFROMME, ZMESSAGETYPE, ZMESSAGEDATE, ZPUSHNAME, ZTEXT, "
            "ZFROMJID, ZTOJID) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8);");
        Statement media(m_iphone,
                        "INSERT INTO ZWAMEDIAITEM(Z_PK, ZMESSAGE, ZMEDIALOCALPATH) VALUES(?1, ?1, ?2);");
        for (std::size_t i = 0; i < input.rows.size(); ++i) {
            const Row& row = input.rows[i];
            const auto id = static_cast<std::int64_t>(i + 1);
            insert(legacyRow, {kJid, id},
                   {&row.values[kFromMe], &row.values[kKind], &row.values[kTime], &row.values[kSender],
                    &row.values[kText]});
            if (row.values[kSender].type != Value::Type::Null) {
                member.reset();
                bindValue(member.handle(), 1, row.values[kSender]);
                member.step();
            }
            modernRow.reset();
            bindValue(modernRow.handle(), 1, row.values[kFromMe]);
            modernRow.bind(2, id);
            bindValue(modernRow.handle(), 3, row.values[kSender]);
            bindValue(modernRow.handle(), 4, row.values[kTime]);
            bindValue(modernRow.handle(), 5, row.values[kKind]);
            bindValue(modernRow.handle(), 6, row.values[kText]);
            FUZZ_CHECK(!modernRow.step() && modernRow.result() == SQLITE_DONE, "a modern row was not stored");

            // Messages of the chat name it as sender, as receiver, or as both.
            iphoneRow.reset();
            iphoneRow.bind(1, id);
            bindValue(iphoneRow.handle(), 2, row.values[kFromMe]);
            bindValue(iphoneRow.handle(), 3, row.values[kKind]);
            bindValue(iphoneRow.handle(), 4, row.values[kTime]);
            bindValue(iphoneRow.handle(), 5, row.values[kSender]);
            bindValue(iphoneRow.handle(), 6, row.values[kText]);
            if (i % 3 != 1)
                iphoneRow.bind(7, kJid);
            if (i % 3 != 0)
                iphoneRow.bind(8, kJid);
            FUZZ_CHECK(!iphoneRow.step() && iphoneRow.result() == SQLITE_DONE,
                       "an iPhone row was not stored");
            if (row.values[kMediaPath].type != Value::Type::Null) {
                media.reset();
                media.bind(1, id);
                bindValue(media.handle(), 2, row.values[kMediaPath]);
                media.step();
            }
        }
        run(m_legacyMessages, "COMMIT;");
        run(m_legacyContacts, "COMMIT;");
        run(m_modernMessages, "COMMIT;");
        run(m_iphone, "COMMIT;");
    }

    // What the per-chat aggregate of each layout gives the chat.
    std::pair<std::string, int> legacyFigures() {
        return figures(m_legacyMessages,
                       "SELECT MAX(timestamp), COUNT(1) FROM messages WHERE key_remote_jid=?1;");
    }
    std::pair<std::string, int> iphoneFigures() {
        return figures(m_iphone, std::string(kIphoneStatisticsQuery));
    }
    int modernCount() {
        return figures(m_modernMessages, "SELECT NULL, COUNT(1) FROM message WHERE ?1 NOT NULL;").second;
    }
    int iphoneShownCount() {
        return figures(m_iphone,
                       "SELECT NULL, COUNT(1) FROM ZWAMESSAGE WHERE ZISFROMME IS NOT NULL AND ?1 NOT NULL;")
            .second;
    }

    // Every path a player call or picture of the chat may carry: the media root joined with each
    // stored media path up to a zero byte, or the bare root for a message without one.
    std::set<std::string> mediaPaths() {
        const std::string root = resources + "Library/";
        std::set<std::string> paths = {root};
        Statement stored(m_iphone, "SELECT ZMEDIALOCALPATH FROM ZWAMEDIAITEM;");
        while (stored.step())
            paths.insert(Utf8ToAnsi(root + textOf(stored, 0)));
        return paths;
    }

    std::string legacy;
    std::string modern;
    std::string iphone;
    std::string resources;

private:
    static void writeFileAt(const std::string& path) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        writeScratchFile(path, "\xFF\xD8\xFF");
    }

    void insert(Statement& statement, std::pair<std::string_view, std::int64_t> key,
                std::initializer_list<const Value*> values) {
        statement.reset();
        statement.bind(1, key.first);
        statement.bind(2, key.second);
        int index = 3;
        for (const Value* value : values)
            bindValue(statement.handle(), index++, *value);
        FUZZ_CHECK(!statement.step() && statement.result() == SQLITE_DONE, "a legacy row was not stored");
    }

    std::pair<std::string, int> figures(Database& db, const std::string& sql) {
        Statement aggregate(db, sql);
        aggregate.bind(1, kJid);
        FUZZ_CHECK(aggregate.step(), "the aggregate failed");
        return {textOf(aggregate, 0), static_cast<int>(aggregate.int64(1))};
    }

    Database m_legacyMessages;
    Database m_legacyContacts;
    Database m_modernMessages;
    Database m_iphone;
};

struct Expected {
    const char* source;
    int blocks;                          // of the chat's row
    const std::set<std::string>* paths;  // iPhone only
};

// Renders the chat's row; the placeholder row and any others only in the viewer's mode, as they
// hold no message of the input (the corrupt-corpus test renders every row in both).
void renderEveryRow(CChatSoftware& source, const Expected& expected) {
    const ContactTable& table = contactTable();
    for (int i = 0; i < table.count(); ++i) {
        const ContactEntry& entry = table.row(i);
        const bool chat = entry.jid == kJid;
        FUZZ_CHECK(isWellFormedUtf8(entry.displayName), std::string(expected.source) + ": ill-formed name");
        for (const int mode : {kViewer, kStandAlone}) {
            if (!chat && mode != kViewer)
                continue;
            ChatPageBuffer page;
            const RenderOutcome outcome = renderContact(source, entry, mode, page);
            ReadPage read;
            const std::string where = std::string(expected.source) +
                                      (mode == kViewer ? " viewer" : " stand-alone") + " page of row " +
                                      std::to_string(i) + ": ";
            if (auto fault = readChatPage(page.text(), mode, read))
                fail(__FILE__, __LINE__, where + *fault);
            FUZZ_CHECK(outcome.readable, where + "the chat could not be read: " + outcome.reason);
            const int blocks = chat ? expected.blocks : 0;
            FUZZ_CHECK(static_cast<int>(read.blocks.size()) == blocks,
                       where + std::to_string(read.blocks.size()) + " blocks for " + std::to_string(blocks) +
                           " messages");
            FUZZ_CHECK(read.noMessage == (entry.messageCount < 1 && mode == kViewer),
                       where + "wrong No message block");
            if (expected.paths == nullptr)
                continue;
            for (const PageBlock& block : read.blocks) {
                const bool call = block.body == BodyKind::VoiceViewer || block.body == BodyKind::VideoViewer;
                if (call || block.body == BodyKind::ImageViewer) {
                    FUZZ_CHECK(expected.paths->contains(block.value),
                               where + "a player call or picture carries a path no row gave: " + block.value);
                }
            }
        }
    }
}

const ContactEntry* chatRow() {
    for (const ContactEntry& entry : contactTable().rows()) {
        if (entry.jid == kJid)
            return &entry;
    }
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Phones phones;
    const RowInput input = parseRowInput(asText(data, size));
    phones.fill(input);
    resetProgramState();
    programState().timeZoneBias = 0;

    {
        setLoadPaths(kSourceAndroid, phones.legacy, "");
        CAndroidWeiXin source(chosenPhoneFolder());
        source.LoadContacts(contactTable());
        const ContactEntry* row = chatRow();
        FUZZ_CHECK(row != nullptr, "legacy: the chat's contact is not listed");
        const auto [time, count] = phones.legacyFigures();
        FUZZ_CHECK(row->messageCount == count && row->lastMessageTime == time,
                   "legacy: the list shows " + std::to_string(row->messageCount) + " / " +
                       row->lastMessageTime + ", the aggregate " + std::to_string(count) + " / " + time);
        renderEveryRow(source, {"legacy", count, nullptr});
    }
    {
        setLoadPaths(kSourceAndroid, phones.modern, "");
        CAndroidWeiXin source(chosenPhoneFolder());
        source.LoadContacts(contactTable());
        const int count = phones.modernCount();
        const ContactEntry* row = chatRow();
        FUZZ_CHECK((row != nullptr) == (count > 0), "modern: the chat is listed without messages or missing");
        if (row != nullptr)
            FUZZ_CHECK(row->messageCount == count, "modern: the list counts another number of messages");
        renderEveryRow(source, {"modern", count, nullptr});
    }
    {
        setLoadPaths(kSourceIPhone, phones.iphone, phones.resources);
        CIphoneWeiXin source(chosenPhoneFolder());
        source.LoadContacts(contactTable());
        const ContactEntry* row = chatRow();
        FUZZ_CHECK(row != nullptr, "iPhone: the chat's contact is not listed");
        auto [time, count] = phones.iphoneFigures();
        time = cutAtFirstDot(time.c_str());
        FUZZ_CHECK(row->messageCount == count && row->lastMessageTime == time,
                   "iPhone: the list shows " + std::to_string(row->messageCount) + " / " +
                       row->lastMessageTime + ", the aggregate " + std::to_string(count) + " / " + time);
        const std::set<std::string> paths = phones.mediaPaths();
        renderEveryRow(source, {"iPhone", phones.iphoneShownCount(), &paths});
    }
    return 0;
}
