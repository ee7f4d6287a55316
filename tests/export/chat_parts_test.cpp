// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export/chat_parts.h"
#include "export/export_run.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_weixin.h"
#include "sources/page_presentation.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "tests/export/browser_probe.h"
#include "tests/export/page_scan.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>

namespace talvio {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kHead = "<html><head><title>t</title></head><body>";

// A page as a renderer hands it over: a notice before the first message, then count messages.
std::string pageOf(int count) {
    std::string page(kHead);
    page += "<div>notice</div>";
    for (int i = 0; i < count; ++i) {
        appendSenderLine(page, "Ann", "2024-01-" + std::to_string(10 + i) + " 10:00");
        appendTextBody(page, "message " + std::to_string(i) + " <b>&");
    }
    return page;
}

// A part's messages: the page without its head, its end and its bars.
std::string bodyOf(const std::string& part) {
    std::string body = part.substr(part.find("<body>") + 6);
    body.resize(body.size() - kPageEnd.size());
    for (std::size_t bar = body.find("<div class=\"ChatParts\""); bar != std::string::npos;
         bar = body.find("<div class=\"ChatParts\"")) {
        body.erase(bar, body.find("</div>", bar) + 6 - bar);
    }
    return body;
}

class ChatPartWriterTest : public ::testing::Test {
protected:
    // Writes page through a writer in pieces of `piece` bytes; returns the parts' file texts.
    std::vector<std::string> cut(const std::string& page, std::size_t counted, std::size_t perPart,
                                 std::size_t piece) {
        ChatPartWriter writer(dir.path(), "chat.html", {"chat.html", "index.html"}, counted, perPart);
        for (std::size_t at = 0; at < page.size(); at += piece)
            writer.write(std::string_view(page).substr(at, piece));
        std::vector<std::string> failed;
        EXPECT_TRUE(writer.finish(failed));
        EXPECT_TRUE(failed.empty());
        std::vector<std::string> texts;
        for (const ChatPart& part : writer.parts())
            texts.push_back(test::readFile(dir.path() + part.page));
        return texts;
    }
    test::TempDir dir;
};

TEST_F(ChatPartWriterTest, PartsHoldThePageWhateverItsPieces) {
    const std::string page = pageOf(7);
    const std::vector<std::string> whole = cut(page, 7, 3, page.size());
    ASSERT_EQ(whole.size(), 3u);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{5}, std::size_t{64}})
        EXPECT_EQ(cut(page, 7, 3, piece), whole) << piece;

    std::string bodies;
    for (const std::string& part : whole) {
        std::string head(kHead);
        insertPresentationStyle(head);
        EXPECT_EQ(part.rfind(head, 0), 0u);
        EXPECT_TRUE(part.ends_with(kPageEnd));
        bodies += bodyOf(part);
    }
    EXPECT_EQ(bodies, page.substr(kHead.size()));
    EXPECT_EQ(test::textsBetween(whole[1], "class=\"SenderNameMe\">", " </span>").size(), 3u);
    EXPECT_NE(whole[0].find("Part 1 of 3: 2024-01-10 10:00 &ndash; 2024-01-12 10:00"), std::string::npos);
    EXPECT_NE(whole[1].find("<a href=\"chat.html\" rel=\"prev\">"), std::string::npos);
    EXPECT_NE(whole[1].find("<a href=\"chat-part3.html\" rel=\"next\">"), std::string::npos);
    EXPECT_EQ(whole[2].find("rel=\"next\""), std::string::npos);
}

TEST_F(ChatPartWriterTest, TheCountDecidesThePartsAndIsMendedWhenWrong) {
    // More messages than counted: the last planned part takes the rest.
    EXPECT_EQ(cut(pageOf(9), 6, 3, 7).size(), 2u);
    // Fewer: the parts written early are told the true number.
    const std::vector<std::string> fewer = cut(pageOf(7), 12, 3, 7);
    ASSERT_EQ(fewer.size(), 3u);
    for (const std::string& part : fewer) {
        EXPECT_EQ(part.find("of 4"), std::string::npos);
        EXPECT_NE(part.find(" of 3"), std::string::npos);
    }
    // So few that one page holds them: the page as a short chat has it, without bars.
    const std::vector<std::string> one = cut(pageOf(2), 9, 3, 7);
    ASSERT_EQ(one.size(), 1u);
    std::string expected = pageOf(2);
    insertPresentationStyle(expected);
    EXPECT_EQ(one[0], expected + std::string(kPageEnd));
}

// The parts with every quote's link back to its bare anchor name.
std::string withBareQuoteLinks(std::string text) {
    for (std::size_t at = text.find("<a href=\""); at != std::string::npos;
         at = text.find("<a href=\"", at + 1)) {
        const std::size_t value = at + 9;
        const std::size_t hash = text.find("#m", value);
        if (hash != std::string::npos && hash < text.find('"', value) && std::isdigit(text[hash + 2]))
            text.erase(value, hash - value);
    }
    return text;
}

TEST_F(ChatPartWriterTest, AQuoteOfAMessageInAnEarlierPartLinksThatPart) {
    // Messages 0-2, 3-5 and 6-8 in three parts. Messages 1 and 5 are quoted: from their own
    // part, from later parts, and one quote's message is not on the page at all.
    const std::map<int, int> quotes = {{2, 1}, {4, 50}, {7, 1}, {8, 5}};
    std::string page(kHead);
    for (int i = 0; i < 9; ++i) {
        appendSenderLine(page, "Ann", "2024-01-1" + std::to_string(i) + " 10:00");
        if (i == 1 || i == 5)
            page += "<a id=\"m10" + std::to_string(i) + "\"></a>";
        if (const auto quote = quotes.find(i); quote != quotes.end())
            page += "<div class=\"content\" style=\"margin-left:36px\"><a href=\"#m10" +
                    std::to_string(quote->second) + "\" style=\"color:inherit\">quoted</a></div>";
        appendTextBody(page, "message " + std::to_string(i));
    }
    const std::vector<std::string> parts = cut(page, 9, 3, page.size());
    ASSERT_EQ(parts.size(), 3u);
    // A link may be cut anywhere between the pieces.
    for (const std::size_t piece : {std::size_t{1}, std::size_t{7}})
        EXPECT_EQ(cut(page, 9, 3, piece), parts) << piece;

    const auto links = [](const std::string& part) {
        std::vector<std::string> quoteLinks;
        for (const std::string& link : test::textsBetween(part, "<a href=\"", "\""))
            if (link.find("#m") != std::string::npos)
                quoteLinks.push_back(link);
        return quoteLinks;
    };
    EXPECT_EQ(links(parts[0]), std::vector<std::string>{"#m101"});
    EXPECT_EQ(links(parts[1]), std::vector<std::string>{"#m1050"});
    EXPECT_EQ(links(parts[2]), (std::vector<std::string>{"chat.html#m101", "chat-part2.html#m105"}));
    // Nothing else changed.
    std::string bodies;
    for (const std::string& part : parts)
        bodies += bodyOf(withBareQuoteLinks(part));
    EXPECT_EQ(bodies, page.substr(kHead.size()));
}

TEST(ChatPartNameTest, PartsNeverTakeAnotherChatsPage) {
    const std::set<std::string> taken =
        takenPageNames({"491.html", "491-part2.html", "491-part2-b.html", "491-PART4.html"});
    EXPECT_EQ(chatPartName("491.html", 1, taken), "491.html");
    EXPECT_EQ(chatPartName("491.html", 2, taken), "491-part2-c.html");
    EXPECT_EQ(chatPartName("491.html", 3, taken), "491-part3.html");
    EXPECT_EQ(chatPartName("491.html", 4, taken), "491-part4-b.html");
}

// ---- a whole export ----------------------------------------------------------------------------

class PartedExport : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
        test::loadIphoneFolder(test::iphoneFixtureData("basic"), test::iphoneFixtureResources("basic"));
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
    }
    ExportReport exportInto(const std::string& folder, std::size_t perPart) {
        CIphoneWeiXin source(chosenPhoneFolder());
        ExportRun run(source, folder);
        run.setMessagesPerPart(perPart);
        return run.run(allRows(contactTable()));
    }
    test::TempDir dir;
    const std::string out = dir.path() + "export";
};

TEST_F(PartedExport, LongChatsGoInPartsThatReachEachOtherAndTheirMedia) {
    const std::string whole = dir.path() + "whole";
    ASSERT_TRUE(exportInto(whole, SIZE_MAX).complete());
    const ExportReport report = exportInto(out, 3);
    ASSERT_TRUE(report.complete());
    // Ann's 14 messages in 5 parts, the family's 4 and the 5 of the unnamed contact in 2 each.
    EXPECT_EQ(report.pages, 1 + 5 + 2 + 2 + 1 + 1 + 1);

    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() != ".html")
            continue;
        const std::string page = test::readFile(entry.path().string());
        // Every link between pages and every picture resolves from where the part lies.
        for (const std::string& href : test::textsBetween(page, "<a href=\"", "\"")) {
            if (!href.ends_with(".html"))
                continue;
            std::string file = href;
            if (const std::size_t quote = file.find("%27"); quote != std::string::npos)
                file.replace(quote, 3, "'");
            EXPECT_TRUE(fs::is_regular_file(out + "/" + file)) << name << ": " << href;
        }
        for (const std::string& file : test::textsBetween(page, "<img src=\"images\\", "\"/>"))
            EXPECT_TRUE(fs::is_regular_file(out + "/images/" + file)) << name << ": " << file;
        // A short chat's page is what it always was.
        if (!name.starts_with("4915110000001") && name != "index.html" && fs::exists(whole + "/" + name) &&
            page.find("ChatParts") == std::string::npos) {
            EXPECT_EQ(page, test::readFile(whole + "/" + name)) << name;
        }
    }
    const std::string index = test::readFile(out + "/index.html");
    EXPECT_NE(index.find("5 parts: <a href=\"4915110000001.html\">1</a>"), std::string::npos);
    EXPECT_NE(index.find("<a href=\"4915110000001-part5.html\">5</a>"), std::string::npos);
    EXPECT_FALSE(fs::exists(out + "/4915110000001-part6.html"));

    // Ann's parts hold her page's messages, in order.
    std::string bodies;
    for (int k = 1; k <= 5; ++k)
        bodies += bodyOf(test::readFile(out + "/" + chatPartName("4915110000001.html", k, {})));
    const std::string single = test::readFile(whole + "/4915110000001.html");
    EXPECT_EQ(bodies + std::string(kPageEnd), single.substr(single.find("<body>") + 6));
}

TEST_F(PartedExport, AnExportAgainLeavesNoStalePartsAndKeepsTheUsersFiles) {
    ASSERT_TRUE(exportInto(out, 3).complete());
    test::writeFile(out + "/4915110000001-part7.html", "the user's own page");
    test::writeFile(out + "/4915110000002-part2.html.bak", "a copy");
    // An export of a few chats keeps the index rows of the others, parts and all.
    {
        CIphoneWeiXin source(chosenPhoneFolder());
        ExportRun run(source, out);
        run.setMessagesPerPart(3);
        const int liam = 3;
        ASSERT_EQ(contactTable().row(liam).displayName, "Liam O'Neil");
        ASSERT_TRUE(run.run({liam}).complete());
    }
    EXPECT_NE(test::readFile(out + "/index.html").find("5 parts: <a href=\"4915110000001.html\">1</a>"),
              std::string::npos);

    ASSERT_TRUE(exportInto(out, 5).complete());
    EXPECT_TRUE(fs::exists(out + "/4915110000001-part3.html"));
    EXPECT_FALSE(fs::exists(out + "/4915110000001-part4.html"));
    EXPECT_FALSE(fs::exists(out + "/4915110000001-part5.html"));
    EXPECT_FALSE(fs::exists(out + "/4915110000002-part2.html"));  // one page of 5 now
    EXPECT_EQ(test::readFile(out + "/4915110000001-part7.html"), "the user's own page");
    EXPECT_TRUE(fs::exists(out + "/4915110000002-part2.html.bak"));
    const std::string index = test::readFile(out + "/index.html");
    EXPECT_NE(index.find("3 parts: "), std::string::npos);
    EXPECT_EQ(index.find("part4"), std::string::npos);
}

// A real browser opens a middle part from disk: it has its messages and its pictures, which lie
// beside the first part's, and its links lead on.
TEST_F(PartedExport, ABrowserOpensAPart) {
    if (!fs::exists("/usr/bin/chromium"))
        GTEST_SKIP() << "chromium is not installed";
    ASSERT_TRUE(exportInto(out, 3).complete());
    const std::string probe = out + "/probe.html";
    test::writeFile(probe, test::readFile(out + "/4915110000001-part4.html") + R"(<script>
window.addEventListener('load', function () {
  var images = 0;
  for (var i = 0; i < document.images.length; ++i)
    images += document.images[i].naturalWidth > 0 ? 1 : 0;
  var links = Array.prototype.map.call(document.querySelectorAll('.ChatParts a'), function (a) {
    return a.rel + ':' + a.getAttribute('href');
  });
  document.body.setAttribute('data-result', document.querySelectorAll('.SenderNameMe').length + ' messages, ' +
      images + ' pictures, ' + links.join(' '));
});
</script>)");
    const test::CommandResult run = test::runCommand(
        "timeout 90 /usr/bin/chromium --headless --no-sandbox --disable-gpu --no-first-run "
        "--disable-background-networking --disable-component-update --disable-sync --user-data-dir=" +
        dir.path() + "chromium --dump-dom file://" + probe);
    const std::vector<std::string> result = test::textsBetween(run.out, "data-result=\"", "\"");
    ASSERT_EQ(result.size(), 1u) << run.out;
    EXPECT_NE(
        result[0].find("3 messages, 2 pictures, prev:4915110000001-part3.html next:4915110000001-part5.html "
                       "prev:4915110000001-part3.html next:4915110000001-part5.html"),
        std::string::npos)
        << result[0];
}

// The modern Android sample's replies, its chats cut into parts of three messages: a quote whose
// message went into an earlier part leads to that part's file and the message's anchor there, in
// a real browser too.
TEST(ModernPartedExport, QuotesLeadToTheQuotedMessagesPart) {
    resetProgramState();
    contactTable().destroy();
    test::TempDir dir;
    const std::string sample = std::string(TALVIO_BUILD_DIR) + "/samples/android-modern/";
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, sample + "com.whatsapp/", sample + "WhatsApp/", 0));
    source.LoadContacts(contactTable());
    const std::string out = dir.path() + "parts/";
    ExportRun run(source, out);
    run.setMessagesPerPart(3);
    // The sample holds a file whose path climbs out of the phone's folder, which stays out.
    ASSERT_GT(run.run(allRows(contactTable())).pages, 1);

    struct AcrossParts {
        std::string part, link;
        int target;  // the number of the part it leads to
    };
    std::vector<AcrossParts> acrossParts;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        if (name == "index.html" || entry.path().extension() != ".html" ||
            name.find("-part") != std::string::npos)
            continue;
        std::map<std::string, int> earlier;  // the parts read so far, their numbers
        for (int k = 1; fs::exists(out + chatPartName(name, k, {})); ++k) {
            const std::string part = chatPartName(name, k, {});
            const std::string text = test::readFile(out + part);
            for (const std::string& link : test::textsBetween(text, "<a href=\"", "\"")) {
                const std::size_t hash = link.find("#m");
                if (hash == std::string::npos || !std::isdigit(link[hash + 2]))
                    continue;
                const std::string anchor = "<a id=\"" + link.substr(hash + 1) + "\"></a>";
                if (hash == 0) {
                    EXPECT_NE(text.find(anchor), std::string::npos) << part << ": " << link;
                    continue;
                }
                // An earlier part of the same chat, which has the anchor this one lacks.
                const std::string file = link.substr(0, hash);
                EXPECT_TRUE(earlier.count(file)) << part << ": " << link;
                EXPECT_NE(test::readFile(out + file).find(anchor), std::string::npos) << part << ": " << link;
                EXPECT_EQ(text.find(anchor), std::string::npos) << part << ": " << link;
                acrossParts.push_back({part, link, earlier[file]});
            }
            earlier[part] = k;
        }
    }
    ASSERT_GE(acrossParts.size(), 1u);

    // A click on the quote in the part opens the earlier part at the message.
    if (test::haveChromium()) {
        const auto& [part, link, target] = acrossParts.back();
        const std::string probe = out + "probe.html";
        test::writeFile(probe, test::readFile(out + part) +
                                   "<script>window.addEventListener('load', function () {"
                                   "document.querySelector('a[href=\"" +
                                   link + "\"]').click();});</script>");
        const test::CommandResult browser = test::runCommand(
            "timeout 90 /usr/bin/chromium --headless --no-sandbox --disable-gpu --no-first-run "
            "--disable-background-networking --disable-component-update --disable-sync --user-data-dir=" +
            dir.path() + "chromium --virtual-time-budget=5000 --dump-dom file://" + probe);
        // The document dumped is the one the click led to.
        EXPECT_NE(browser.out.find("Part " + std::to_string(target) + " of "), std::string::npos)
            << browser.out;
        EXPECT_NE(browser.out.find("<a id=\"" + link.substr(link.find('#') + 1) + "\"></a>"),
                  std::string::npos);
    }
    resetProgramState();
    contactTable().destroy();
}

}  // namespace
}  // namespace talvio
