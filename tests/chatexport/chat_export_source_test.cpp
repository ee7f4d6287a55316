// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "chatexport/chat_export_source.h"
#include "chatexport/export_fixture.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/message_time.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"

namespace talvio::chatexport {
namespace {

namespace fs = std::filesystem;
using fixture::ExportForm;

// 2022-03-18 21:41:00 on the wall clock of the phone that wrote the export.
constexpr std::int64_t kStart = 1647639660;

// Unpacked attachments go below TMPDIR: a folder of the test's own while it runs.
class TemporaryFolderScope {
public:
    explicit TemporaryFolderScope(const std::string& folder) {
        if (const char* old = std::getenv("TMPDIR"))
            m_old = old;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TemporaryFolderScope() {
        if (m_old.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_old.c_str(), 1);
    }

private:
    std::string m_old;
};

PhoneFolder exportFolder(const std::string& path) {
    PhoneFolder folder;
    folder.kind = kSourceChatExport;
    folder.dataFolder = path;
    return folder;
}

std::string writeExport(const std::string& layoutId, std::size_t count, ExportForm form,
                        const std::string& folder) {
    const fixture::ExportLayout* layout = fixture::findLayout(layoutId);
    EXPECT_NE(layout, nullptr) << layoutId;
    return fixture::writeExport(*layout, fixture::makeConversation(*layout, count, kStart, 60), form, folder);
}

std::string pageOf(ChatExportSource& source, const ContactTable& table, int row, int mode = kViewer) {
    ChatPageBuffer page;
    const RenderOutcome outcome = renderContact(source, table.row(row), mode, page);
    EXPECT_TRUE(outcome.readable) << outcome.reason;
    return page.text();
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class ChatExportSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        // Exports carry no zone: a bias of two hours must not move the times shown.
        programState().timeZoneBias = -120;
    }
    void TearDown() override {
        contactTable().destroy();
        resetProgramState();
    }
    test::TempDir m_dir;
    test::TempDir m_temporary;
    TemporaryFolderScope m_scope{m_temporary.path()};
};

TEST_F(ChatExportSourceTest, EachExportIsOneRowWithItsNameCountAndWallClockTime) {
    for (const std::string id :
         {"en-android-12h", "en-iphone-12h", "de-android-24h", "ar-android-12h", "zh-android-12h"}) {
        SCOPED_TRACE(id);
        test::TempDir dir;
        const std::string path = writeExport(id, 30, ExportForm::Folder, dir.path());
        ChatExportSource source(exportFolder(path));
        ContactTable table;
        source.LoadContacts(table);
        ASSERT_EQ(table.count(), 2);
        const ContactEntry& row = table.row(0);
        EXPECT_EQ(row.displayName, fixture::findLayout(id)->chatName);
        EXPECT_EQ(row.messageCount, 30);
        EXPECT_EQ(MessageTimeFormatter(kSourceChatExport, -120).format(row.lastMessageTime),
                  "2022-03-18 22:10:00");
        EXPECT_EQ(JidToNumber(row.jid), row.displayName);
        EXPECT_NE(row.jid.find(fs::path(path).filename().string()), std::string::npos) << row.jid;
        EXPECT_TRUE(source.problems().empty());

        const std::string page = pageOf(source, table, 0);
        EXPECT_NE(page.find("2022-03-18 21:41:00"), std::string::npos);
        EXPECT_NE(page.find("2022-03-18 22:10:00"), std::string::npos);
        // The encryption notice and the "added" event are lines of their own, without a sender.
        EXPECT_NE(page.find("<div class=\"content\"><SPAN class=\"MsgTime\">2022-03-18 21:41:00 &nbsp; "),
                  std::string::npos);
    }
}

TEST_F(ChatExportSourceTest, AFolderOfExportsListsEachNewestFirstAndNamesTheOnesThatFailed) {
    writeExport("en-android-12h", 10, ExportForm::Zip, m_dir.path());
    writeExport("de-iphone-24h", 40, ExportForm::Folder, m_dir.path());
    test::writeFile(m_dir.path() + "notes.txt", "just some notes\nnothing like a chat\n");
    ChatExportSource source(exportFolder(m_dir.path()));
    ContactTable table;
    source.LoadContacts(table);
    ASSERT_EQ(table.count(), 3);
    // Newest first; the placeholder row, with no time, goes last.
    EXPECT_EQ(table.row(0).displayName, fixture::findLayout("de-iphone-24h")->chatName);
    EXPECT_EQ(table.row(0).messageCount, 40);
    EXPECT_EQ(table.row(1).displayName, fixture::findLayout("en-android-12h")->chatName);
    EXPECT_EQ(table.row(2).jid, kPlaceholderJid);
    ASSERT_EQ(source.problems().size(), 1u);
    EXPECT_NE(source.problems()[0].find("notes.txt"), std::string::npos) << source.problems()[0];
}

TEST_F(ChatExportSourceTest, PagesShowTextsEventsAndOmittedMediaWithTheOwnerAsMe) {
    const std::string path = writeExport("en-android-12h", 24, ExportForm::Text, m_dir.path());
    ChatExportSource source(exportFolder(path));
    ContactTable table;
    source.LoadContacts(table);
    ASSERT_EQ(table.count(), 2);
    const std::string jid = table.row(0).jid;

    std::string page = pageOf(source, table, 0);
    // Without an answer nobody is "Me".
    EXPECT_EQ(page.find(">Me </span>"), std::string::npos);
    EXPECT_NE(page.find(">Sam Lee </span>"), std::string::npos);
    EXPECT_NE(page.find("First line of 1<br/>second line<br/><br/>after an empty line"), std::string::npos);
    EXPECT_NE(page.find("&lt;not an attachment&gt; 11"), std::string::npos);
    EXPECT_NE(page.find("Sam Lee added +1 555 0100"), std::string::npos);
    EXPECT_EQ(occurrences(page, "[Media omitted]"), 2u);
    // A .txt alone brought no files: its attachments show as missing.
    EXPECT_NE(page.find("[Image]"), std::string::npos);
    EXPECT_EQ(page.find("file://"), std::string::npos);

    ASSERT_TRUE(source.setOwner(jid, "Sam Lee"));
    page = pageOf(source, table, 0);
    EXPECT_EQ(page.find(">Sam Lee </span>"), std::string::npos);
    EXPECT_NE(page.find(">Me </span>"), std::string::npos);
    EXPECT_NE(page.find(">Anna Smith </span>"), std::string::npos);

    EXPECT_FALSE(source.setOwner(jid, "Somebody Else"));
    EXPECT_TRUE(source.setOwner(jid, ""));
    EXPECT_EQ(pageOf(source, table, 0).find(">Me </span>"), std::string::npos);
}

TEST_F(ChatExportSourceTest, AttachmentsOfAZipAreUnpackedPrivatelyOnlyForTheChatShown) {
    const std::string zip = writeExport("en-iphone-12h", 30, ExportForm::Zip, m_dir.path());
    writeExport("de-iphone-24h", 30, ExportForm::Zip, m_dir.path());
    const auto before = test::folderSnapshot(m_dir.path());
    std::string unpacked;
    {
        ChatExportSource source(exportFolder(m_dir.path()));
        ContactTable table;
        source.LoadContacts(table);
        ASSERT_EQ(table.count(), 3);
        EXPECT_TRUE(source.unpackFolder().empty());
        const int row = table.row(0).displayName == fixture::findLayout("en-iphone-12h")->chatName ? 0 : 1;
        const std::string page = pageOf(source, table, row);
        unpacked = source.unpackFolder();
        ASSERT_FALSE(unpacked.empty());
        EXPECT_EQ(unpacked.rfind(m_temporary.path(), 0), 0u) << unpacked;
        struct stat info {};
        ASSERT_EQ(::stat(unpacked.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);

        // The picture is shown from its unpacked copy, which holds the entry's bytes.
        const std::string url = "<img src=\"file://" + unpacked;
        const std::size_t at = page.find(url);
        ASSERT_NE(at, std::string::npos);
        const std::size_t end = page.find('"', at + 10);
        const std::string file = page.substr(at + 17, end - at - 17);
        const std::string name = fs::path(file).filename().string();
        EXPECT_EQ(test::readFile(file), fixture::attachmentBytes(name));
        EXPECT_NE(page.find("PlayMyWav('" + unpacked), std::string::npos);
        EXPECT_NE(page.find("PlayMyVideo('" + unpacked), std::string::npos);
        EXPECT_NE(page.find("[Document] 00000004-Trip plan (final).pdf</a>"), std::string::npos);
        // Only the chat shown was unpacked.
        std::size_t chats = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(unpacked))
            ++chats;
        EXPECT_EQ(chats, 1u);
        (void)zip;
    }
    EXPECT_FALSE(fs::exists(unpacked));
    // Nothing was unpacked beside the archives, and they are as they were.
    EXPECT_EQ(test::folderSnapshot(m_dir.path()), before);
}

TEST_F(ChatExportSourceTest, FilesBesideTheTextAreShownWhereTheyLie) {
    const std::string folder = writeExport("de-android-24h", 60, ExportForm::Folder, m_dir.path());
    const auto before = test::folderSnapshot(m_dir.path());
    ChatExportSource source(exportFolder(folder));
    ContactTable table;
    source.LoadContacts(table);
    ASSERT_EQ(table.count(), 2);
    const std::string page = pageOf(source, table, 0);
    EXPECT_NE(page.find("<img src=\"file://" + m_dir.path() + "WhatsApp-Chat%20mit%20"), std::string::npos);
    EXPECT_NE(page.find("[Audio] AUD-"), std::string::npos);
    EXPECT_TRUE(source.unpackFolder().empty());
    EXPECT_EQ(test::folderSnapshot(m_dir.path()), before);
}

TEST_F(ChatExportSourceTest, HostileNamesAndTextsAreEscaped) {
    const std::string text =
        "garbage before the first message\n"
        "another line of it\n"
        "18/03/2022, 21:41 - <script>alert(1)</script>: <img src=x onerror=alert(2)>\n"
        "18/03/2022, 21:42 - Anna: IMG-\"'><b onmouseover=x>.jpg (file attached)\n"
        "18/03/2022, 21:43 - Anna: </span></div><b>bold</b>\n";
    const std::string folder = m_dir.path() + "WhatsApp Chat with <i>Anna/";
    test::writeFile(folder + "WhatsApp Chat with <i>Anna.txt", text);
    test::writeFile(folder + "IMG-\"'><b onmouseover=x>.jpg", "not really a picture");
    ChatExportSource source(exportFolder(folder));
    ContactTable table;
    source.LoadContacts(table);
    ASSERT_EQ(table.count(), 2) << (source.problems().empty() ? "" : source.problems()[0]);
    const std::string page = pageOf(source, table, 0);
    EXPECT_EQ(page.find("<script>alert"), std::string::npos);
    EXPECT_EQ(page.find("<img src=x"), std::string::npos);
    EXPECT_EQ(page.find("<b>bold"), std::string::npos);
    EXPECT_EQ(page.find("<b onmouseover"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
    // The file's address cannot end its attribute.
    EXPECT_NE(page.find("IMG-%22%27%3E%3Cb%20onmouseover%3Dx%3E.jpg\"/>"), std::string::npos);
    EXPECT_NE(page.find("2 lines at the start of this export could not be read"), std::string::npos);
}

TEST_F(ChatExportSourceTest, FoldersLeftByARunThatIsGoneAreRemovedAtTheNextLoad) {
    const std::string gone = m_temporary.path() + kAttachmentFolderPrefix + "999999999-12345";
    const std::string running =
        m_temporary.path() + kAttachmentFolderPrefix + std::to_string(::getpid()) + "-678";
    const std::string foreign = m_temporary.path() + "talvio-chat-export-notes";
    for (const std::string& folder : {gone, running, foreign})
        test::writeFile(folder + "/1/picture.jpg", "bytes");
    const std::string path = writeExport("en-android-12h", 5, ExportForm::Text, m_dir.path());
    ChatExportSource source(exportFolder(path));
    ContactTable table;
    source.LoadContacts(table);
    EXPECT_FALSE(fs::exists(gone));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(foreign));
}

TEST(ChatExportDetection, TextsZipsAndFoldersOfThemLookLikeExports) {
    test::TempDir dir;
    test::writeFile(dir.path() + "a/WhatsApp Chat with X.txt", "x");
    test::writeFile(dir.path() + "b/c/chat.zip", "x");
    test::writeFile(dir.path() + "d/picture.jpg", "x");
    EXPECT_TRUE(looksLikeChatExport(dir.path() + "a/WhatsApp Chat with X.txt"));
    EXPECT_TRUE(looksLikeChatExport(dir.path() + "a"));
    EXPECT_TRUE(looksLikeChatExport(dir.path() + "b"));
    EXPECT_FALSE(looksLikeChatExport(dir.path() + "d"));
    EXPECT_FALSE(looksLikeChatExport(dir.path() + "d/picture.jpg"));
    EXPECT_FALSE(looksLikeChatExport(dir.path() + "missing.txt"));
}

}  // namespace
}  // namespace talvio::chatexport
