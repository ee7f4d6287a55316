// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-export --search: what a script gets for every kind of folder.
#include "chatexport/export_fixture.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace talvio {
namespace {

using test::CommandResult;
using test::runCommand;

const std::string kTool = TALVIO_EXPORT_TOOL;
const std::string kSamples = std::string(TALVIO_BUILD_DIR) + "/samples/";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class SearchCommand : public test::SourceTest {};

TEST_F(SearchCommand, PrintsOneEscapedLinePerHitNewestFirst) {
    using test::messageRow;
    test::makeAndroidFolder(
        dir.path(),
        messageRow("a@s.whatsapp.net", 0, "0", "1600000000000", "Lunch at noon?") +
            messageRow("a@s.whatsapp.net", 1, "0", "1600000060000", "LUNCH\tmenu:\nsoup\\bread") +
            messageRow("g@g.us", 0, "0", "1600000030000", "<b>lunch</b> &amp; more", "b@s.whatsapp.net") +
            messageRow("a@s.whatsapp.net", 0, "1", "1600000090000", nullptr),
        test::contactRow("a@s.whatsapp.net", "Anna", nullptr) +
            test::contactRow("g@g.us", "<i>Team</i>", nullptr));
    const std::string folder = dir.path();
    const CommandResult all = runCommand("TZ=UTC " + kTool + " --search lunch " + folder);
    EXPECT_EQ(all.status, 0) << all.out;
    const CommandResult list = runCommand(kTool + " --list " + folder);
    // The row numbers are those of --list.
    auto rowOf = [&](const std::string& jid) {
        for (const std::string& row : linesOf(list.out)) {
            if (row.find("\t" + jid + "\t") != std::string::npos)
                return row.substr(0, row.find('\t'));
        }
        return std::string("none");
    };
    const std::string anna = rowOf("a@s.whatsapp.net");
    const std::string team = rowOf("g@g.us");
    EXPECT_EQ(linesOf(all.out),
              (std::vector<std::string>{
                  anna + "\ta@s.whatsapp.net\t2020-09-13 12:27:40\tLUNCH\\tmenu:\\nsoup\\\\bread",
                  team + "\tg@g.us\t2020-09-13 12:27:10\t<b>lunch</b> &amp; more",
                  anna + "\ta@s.whatsapp.net\t2020-09-13 12:26:40\tLunch at noon?",
              }));

    const CommandResult narrowed = runCommand(kTool + " --search LUNCH --chat " + team + " " + folder);
    EXPECT_EQ(narrowed.status, 0);
    EXPECT_EQ(linesOf(narrowed.out).size(), 1U) << narrowed.out;
    // Metacharacters are text like any other.
    EXPECT_EQ(linesOf(runCommand(kTool + " --search '&amp;' " + folder).out).size(), 1U);
    EXPECT_EQ(runCommand(kTool + " --search '.*' " + folder).status, 1);

    const CommandResult none = runCommand(kTool + " --search dinner " + folder);
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.empty()) << none.out;
    const CommandResult badRow = runCommand(kTool + " --search lunch --chat 99 " + folder);
    EXPECT_EQ(badRow.status, 2);
    EXPECT_NE(badRow.out.find("there is no row 99"), std::string::npos) << badRow.out;
    EXPECT_EQ(runCommand(kTool + " --search '' " + folder).status, 2);
}

TEST_F(SearchCommand, EveryKindOfFolder) {
    // Android of both layouts with their media folders (captions count), an iPhone folder, a chat export.
    for (const char* sample : {"android", "android-modern"}) {
        const CommandResult run = runCommand(kTool + " --resources " + kSamples + sample +
                                             "/WhatsApp --search e " + kSamples + sample + "/com.whatsapp");
        EXPECT_EQ(run.status, 0) << run.out;
        EXPECT_GT(linesOf(run.out).size(), 5U) << sample;
    }
    const CommandResult iphone =
        runCommand(kTool + " --search e " + kSamples + "iphone/group.net.whatsapp.WhatsApp.shared");
    EXPECT_EQ(iphone.status, 0) << iphone.out;
    EXPECT_GT(linesOf(iphone.out).size(), 5U);

    namespace fixture = chatexport::fixture;
    const fixture::ExportLayout* layout = fixture::findLayout("en-android-12h");
    ASSERT_NE(layout, nullptr);
    const fixture::GeneratedChat chat = fixture::makeConversation(*layout, 50, 1647639660, 60);
    const std::string path = fixture::writeExport(*layout, chat, fixture::ExportForm::Zip, dir.path());
    const CommandResult exported = runCommand(kTool + " --search e '" + path + "'");
    EXPECT_EQ(exported.status, 0) << exported.out;
    const std::vector<std::string> lines = linesOf(exported.out);
    ASSERT_FALSE(lines.empty());
    // Newest first: the times, as written, never rise.
    std::string previous = "9999";
    for (const std::string& line : lines) {
        const std::vector<std::string> fields = [&] {
            std::vector<std::string> parts;
            std::istringstream in(line);
            for (std::string part; std::getline(in, part, '\t');)
                parts.push_back(part);
            return parts;
        }();
        ASSERT_EQ(fields.size(), 4U) << line;
        EXPECT_EQ(fields[0], "0");
        EXPECT_LE(fields[2], previous);
        previous = fields[2];
    }
}

}  // namespace
}  // namespace talvio
