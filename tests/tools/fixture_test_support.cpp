// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fixture_test_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace talvio::fixture::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvio-fixture-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

Database openSnapshot(const std::filesystem::path& file) {
    Database db;
    EXPECT_EQ(db.open(file.string(), Database::Access::ReadOnlySnapshot), SQLITE_OK) << file;
    return db;
}

std::int64_t queryInt(const Database& db, const std::string& sql) {
    Statement statement(db, sql);
    EXPECT_TRUE(statement.ok()) << sql << ": " << db.lastError();
    return statement.step() ? statement.int64(0) : -1;
}

std::vector<std::string> queryColumn(const Database& db, const std::string& sql) {
    Statement statement(db, sql);
    EXPECT_TRUE(statement.ok()) << sql << ": " << db.lastError();
    std::vector<std::string> values;
    while (statement.step()) {
        values.emplace_back(statement.isNull(0) ? "<null>" : std::string(statement.textView(0)));
    }
    return values;
}

std::string fileBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

const std::vector<std::string>& legacyMessageColumns() {
    static const std::vector<std::string> columns = {"_id",
                                                     "key_remote_jid",
                                                     "key_from_me",
                                                     "key_id",
                                                     "status",
                                                     "needs_push",
                                                     "data",
                                                     "timestamp",
                                                     "media_url",
                                                     "media_mime_type",
                                                     "media_wa_type",
                                                     "media_size",
                                                     "media_name",
                                                     "media_caption",
                                                     "media_hash",
                                                     "media_duration",
                                                     "origin",
                                                     "latitude",
                                                     "longitude",
                                                     "thumb_image",
                                                     "remote_resource",
                                                     "received_timestamp",
                                                     "send_timestamp",
                                                     "receipt_server_timestamp",
                                                     "receipt_device_timestamp",
                                                     "read_device_timestamp",
                                                     "played_device_timestamp",
                                                     "raw_data",
                                                     "recipient_count",
                                                     "participant_hash",
                                                     "starred",
                                                     "quoted_row_id",
                                                     "mentioned_jids",
                                                     "multicast_id",
                                                     "edit_version",
                                                     "media_enc_hash",
                                                     "payment_transaction_id",
                                                     "forwarded",
                                                     "preview_type",
                                                     "send_count",
                                                     "lookup_tables",
                                                     "future_message_type"};
    return columns;
}

const std::vector<std::string>& waContactColumns() {
    static const std::vector<std::string> columns = {"_id",
                                                     "jid",
                                                     "is_whatsapp_user",
                                                     "status",
                                                     "status_timestamp",
                                                     "number",
                                                     "raw_contact_id",
                                                     "display_name",
                                                     "phone_type",
                                                     "phone_label",
                                                     "unseen_msg_count",
                                                     "photo_ts",
                                                     "thumb_ts",
                                                     "photo_id_timestamp",
                                                     "given_name",
                                                     "family_name",
                                                     "wa_name",
                                                     "sort_name",
                                                     "nickname",
                                                     "company",
                                                     "title",
                                                     "status_autodownload_disabled",
                                                     "keep_timestamp",
                                                     "is_spam_reported",
                                                     "is_sidelist_synced",
                                                     "is_business_synced",
                                                     "disappearing_mode_duration",
                                                     "disappearing_mode_timestamp"};
    return columns;
}

namespace {

void expectWaLayout(const std::filesystem::path& folder) {
    using ::testing::ElementsAre;
    using ::testing::UnorderedElementsAre;
    const Database wa = openSnapshot(folder / "databases" / "wa.db");
    EXPECT_EQ(queryColumn(wa, "SELECT name FROM pragma_table_info('wa_contacts')"), waContactColumns());
    EXPECT_THAT(queryColumn(wa, "SELECT name FROM pragma_index_list('wa_contacts')"),
                UnorderedElementsAre("jid_index", "is_wa_index"));
    EXPECT_THAT(queryColumn(wa, "SELECT name FROM pragma_index_info('jid_index')"), ElementsAre("jid"));
}

}  // namespace

void expectRealLayout(const std::filesystem::path& folder) {
    using ::testing::ElementsAre;
    using ::testing::IsSupersetOf;
    using ::testing::UnorderedElementsAre;

    const Database msgstore = openSnapshot(folder / "databases" / "msgstore.db");
    EXPECT_EQ(queryColumn(msgstore, "SELECT name FROM pragma_table_info('messages')"),
              legacyMessageColumns());
    EXPECT_EQ(queryColumn(msgstore, "SELECT name FROM pragma_table_info('messages_quotes')"),
              legacyMessageColumns());
    // The viewer compares the kind as text; an INTEGER column would store 1, not '1'.
    EXPECT_THAT(
        queryColumn(msgstore, "SELECT type FROM pragma_table_info('messages') WHERE name='media_wa_type'"),
        ElementsAre("TEXT"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM sqlite_master WHERE type='table'"),
                IsSupersetOf({"messages", "chat_list", "messages_quotes", "message_thumbnails", "receipts",
                              "group_participants", "props"}));
    EXPECT_THAT(
        queryColumn(msgstore, "SELECT name || ':' || \"unique\" FROM pragma_index_list('messages')"),
        UnorderedElementsAre("messages_key_index:1", "messages_jid_id_index:0", "media_type_jid_index:0",
                             "media_type_index:0", "media_hash_index:0", "starred_index:0"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM pragma_index_info('messages_key_index')"),
                ElementsAre("key_remote_jid", "key_from_me", "key_id"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM pragma_index_info('messages_jid_id_index')"),
                ElementsAre("key_remote_jid", "_id"));

    expectWaLayout(folder);
}

void expectModernLayout(const std::filesystem::path& folder, bool legacyToo) {
    using ::testing::Contains;
    using ::testing::ElementsAre;
    using ::testing::IsSupersetOf;
    using ::testing::UnorderedElementsAre;

    const Database msgstore = openSnapshot(folder / "databases" / "msgstore.db");
    const auto tables = queryColumn(msgstore, "SELECT name FROM sqlite_master WHERE type='table'");
    EXPECT_THAT(tables, IsSupersetOf({"android_metadata", "props", "jid", "jid_map", "chat", "message",
                                      "message_media", "message_quoted", "message_system", "message_revoked",
                                      "message_add_on", "message_add_on_reaction", "call_log"}));
    if (legacyToo) {
        EXPECT_EQ(queryColumn(msgstore, "SELECT name FROM pragma_table_info('messages')"),
                  legacyMessageColumns());
        EXPECT_THAT(tables, IsSupersetOf({"chat_list", "messages_quotes", "group_participants"}));
    } else {
        EXPECT_THAT(tables, ::testing::Not(Contains("messages")));
        EXPECT_THAT(tables, ::testing::Not(Contains("chat_list")));
    }
    EXPECT_EQ(queryInt(msgstore, "SELECT count(*) FROM android_metadata"), 1);
    EXPECT_THAT(
        queryColumn(msgstore, "SELECT name FROM pragma_table_info('message')"),
        IsSupersetOf({"_id", "chat_row_id", "from_me", "key_id", "sender_jid_row_id", "status", "timestamp",
                      "received_timestamp", "message_type", "text_data", "starred", "sort_id"}));
    EXPECT_THAT(
        queryColumn(msgstore, "SELECT type FROM pragma_table_info('message') WHERE name='message_type'"),
        ElementsAre("INTEGER"));
    EXPECT_THAT(
        queryColumn(msgstore, "SELECT name || ':' || \"unique\" FROM pragma_index_list('message')"),
        UnorderedElementsAre("message_key_index:1", "message_chat_id_index:0", "message_chat_sort_id_index:0",
                             "message_type_chat_index:0", "message_sort_id_index:0", "message_type_index:0",
                             "message_starred_index:0"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM pragma_index_info('message_key_index')"),
                ElementsAre("chat_row_id", "from_me", "key_id", "sender_jid_row_id"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM pragma_index_info('message_chat_id_index')"),
                ElementsAre("chat_row_id", "_id"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM pragma_index_list('message_media')"),
                Contains("message_media_chat_index"));
    EXPECT_THAT(queryColumn(msgstore, "SELECT name FROM pragma_index_list('jid')"),
                IsSupersetOf({"jid_raw_string_index", "jid_key_index"}));
    expectWaLayout(folder);
}

}  // namespace talvio::fixture::test
