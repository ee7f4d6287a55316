// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/chat_export_source.h"
#include "chatexport/export_fixture.h"
#include "export/export_run.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace talvio {
namespace {

namespace fs = std::filesystem;
using chatexport::fixture::ExportForm;

constexpr std::int64_t kStart = 1647639660;  // 2022-03-18 21:41:00 on the phone's clock

using test::CommandResult;
using test::runCommand;

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

class ChatExportExport : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
        if (const char* old = std::getenv("TMPDIR"))
            m_oldTemporary = old;
        ::setenv("TMPDIR", m_temporary.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_oldTemporary.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", m_oldTemporary.c_str(), 1);
        resetProgramState();
        contactTable().destroy();
    }
    std::string writeExport(const std::string& layoutId, std::size_t count, ExportForm form) {
        const auto* layout = chatexport::fixture::findLayout(layoutId);
        return chatexport::fixture::writeExport(
            *layout, chatexport::fixture::makeConversation(*layout, count, kStart, 3600), form, m_in.path());
    }

    test::TempDir m_in;
    test::TempDir m_out;
    test::TempDir m_temporary;
    std::string m_oldTemporary;
};

// Attachments of a zip reach the export as copies with the entries' bytes; nothing is unpacked
// beside the archive, and nothing of what was unpacked stays once the source is gone.
TEST_F(ChatExportExport, AZipsAttachmentsAreCopiedIntoTheExport) {
    const std::string zip = writeExport("en-iphone-12h", 40, ExportForm::Zip);
    const auto before = test::folderSnapshot(m_in.path());
    const std::string decoder = m_temporary.path() + "fake-opusdec";
    // Our attachments are no real Opus: the "decoder" writes the note, twice, as the WAV it is asked for
    // (a WAV of a header alone counts as failed).
    test::writeFile(decoder, "#!/bin/sh\nfor a; do in=$out; out=$a; done\ncat \"$in\" \"$in\" > \"$out\"\n");
    fs::permissions(decoder, fs::perms::owner_all);
    ExportReport report;
    {
        PhoneFolder folder;
        folder.kind = kSourceChatExport;
        folder.dataFolder = zip;
        setLoadPaths(folder);
        chatexport::ChatExportSource source(folder);
        source.LoadContacts(contactTable());
        ASSERT_EQ(contactTable().count(), 2);
        ASSERT_TRUE(source.setOwner(contactTable().row(0).jid, "Sam Lee"));
        ExportRun run(source, m_out.path() + "export");
        run.setVoiceDecoder(decoder);
        report = run.run(allRows(contactTable()));
    }
    EXPECT_TRUE(report.complete()) << (report.failedMedia.empty() ? report.error : report.failedMedia[0]);
    EXPECT_EQ(report.chats, 2);
    const std::string out = m_out.path() + "export/";
    const std::string page = test::readFile(out + "Hiking Club.html");
    EXPECT_NE(page.find(">Me </span>"), std::string::npos);
    EXPECT_NE(page.find("<img src=\"images\\00000001-PHOTO-2022-03-18-23-41-00.jpg\"/>"), std::string::npos);
    EXPECT_NE(page.find("PlayMyWav(this,'00000003-AUDIO-"), std::string::npos);
    EXPECT_NE(page.find("<a href=\"documents/00000004-Trip_plan__final_.pdf\">[Document] 00000004-Trip plan "
                        "(final).pdf</a>"),
              std::string::npos);
    for (const char* name :
         {"images/00000001-PHOTO-2022-03-18-23-41-00.jpg", "documents/00000004-Trip_plan__final_.pdf"}) {
        SCOPED_TRACE(name);
        const std::string original = fs::path(name).filename().string() == "00000004-Trip_plan__final_.pdf"
                                         ? "00000004-Trip plan (final).pdf"
                                         : fs::path(name).filename().string();
        EXPECT_EQ(test::readFile(out + name), chatexport::fixture::attachmentBytes(original));
    }
    EXPECT_EQ(test::folderSnapshot(m_in.path()), before);
    for (const auto& entry : fs::directory_iterator(m_temporary.path()))
        EXPECT_EQ(entry.path().filename().string().rfind(chatexport::kAttachmentFolderPrefix, 0),
                  std::string::npos)
            << entry.path();
}

TEST_F(ChatExportExport, CommandLine) {
    const std::string tool = TALVIO_EXPORT_TOOL;
    const std::string folder = writeExport("en-android-12h", 30, ExportForm::Folder);
    const std::string text = fs::path(folder) / "WhatsApp Chat with Anna Smith.txt";
    test::writeFile(text, "a line before any message\n" + test::readFile(text));
    const auto before = test::folderSnapshot(m_in.path());

    const CommandResult list = runCommand(tool + " --list " + quoted(m_in.path()));
    EXPECT_EQ(list.status, 0) << list.out;
    EXPECT_NE(list.out.find("\tAnna Smith\t\t30\t"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("1 lines at the start could not be read as messages"), std::string::npos);

    const CommandResult page = runCommand(tool + " --me 'Sam Lee' --page 0 " + quoted(folder));
    EXPECT_EQ(page.status, 0) << page.out;
    EXPECT_NE(page.out.find(">Me </span>"), std::string::npos);
    EXPECT_NE(page.out.find("1 line at the start of this export could not be read"), std::string::npos);
    const CommandResult nobody = runCommand(tool + " --page 0 " + quoted(folder));
    EXPECT_EQ(nobody.out.find(">Me </span>"), std::string::npos);

    const CommandResult unknown = runCommand(tool + " --me Zed --list " + quoted(folder));
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(
        unknown.out.find("nobody named \"Zed\" wrote in the export. --me takes one of:\n  +1 555 0100\n  "
                         "Anna Smith\n  Sam Lee"),
        std::string::npos)
        << unknown.out;

    // Our attachments are no real Opus: the "opusdec" found first on PATH writes the note twice.
    test::writeFile(m_temporary.path() + "bin/opusdec",
                    "#!/bin/sh\nfor a; do in=$out; out=$a; done\ncat \"$in\" \"$in\" > \"$out\"\n");
    fs::permissions(m_temporary.path() + "bin/opusdec", fs::perms::owner_all);
    const CommandResult all =
        runCommand("PATH=" + quoted(m_temporary.path() + "bin") + ":\"$PATH\" " + tool + " --me 'Sam Lee' " +
                   quoted(text) + " " + quoted(m_out.path() + "export"));
    EXPECT_EQ(all.status, 0) << all.out;
    EXPECT_TRUE(fs::exists(m_out.path() + "export/Anna Smith.html"));
    EXPECT_NE(test::readFile(m_out.path() + "export/index.html").find("Anna Smith"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(m_in.path()), before);
}

}  // namespace
}  // namespace talvio
