// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/page_blocks.h"
#include "browser/view_document.h"
#include "sources/chat_page.h"
#include "sources/html_escape.h"

#include <gmock/gmock.h>

#include <memory>

using namespace talvio;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

namespace {

std::string messageBlock(std::string_view sender, std::string_view text) {
    std::string block;
    appendSenderLine(block, sender, "2021-05-06 07:08:09");
    appendTextBody(block, text);
    return block;
}

PageBlocks cut(std::string page) {
    return PageBlocks(std::make_shared<const std::string>(std::move(page)));
}

}  // namespace

TEST(PageBlocks, CutsAPageIntoItsHeadAndOneBlockPerMessage) {
    std::string page(pageHead(kViewer));
    const std::string first = messageBlock("Anna", "hello");
    std::string second;
    appendSenderLine(second, "Me", "2021-05-06 07:08:10");
    appendBody(second, BodyKind::VoiceViewer, "/r/Library/a.opus");
    const std::string third = messageBlock("Anna", "<div class=\"content\"><SPAN class=\"SenderNameMe\">");
    page += first + second + third;

    const PageBlocks blocks = cut(page);
    EXPECT_EQ(blocks.head(), pageHead(kViewer));
    ASSERT_EQ(blocks.count(), 3u);
    EXPECT_EQ(blocks.block(0), first);
    EXPECT_EQ(blocks.block(1), second);
    // Escaped message text that spells a sender line does not cut the page.
    EXPECT_EQ(blocks.block(2), third);
}

TEST(PageBlocks, KeepsWhatIsNotAMessageAsBlocksOfItsOwn) {
    const std::string head(pageHead(kViewer));
    const PageBlocks empty = cut(head + std::string(kNoMessageBlock));
    ASSERT_EQ(empty.count(), 1u);
    EXPECT_EQ(empty.block(0), kNoMessageBlock);

    const std::string message = messageBlock("Anna", "hi");
    const PageBlocks led = cut(head + "<p>lead</p>" + message + std::string(kPageEnd));
    ASSERT_EQ(led.count(), 2u);
    EXPECT_EQ(led.block(0), "<p>lead</p>");
    EXPECT_EQ(led.block(1), message + std::string(kPageEnd));

    EXPECT_EQ(cut(head).count(), 0u);
    EXPECT_TRUE(cut(head).complete());
    const PageBlocks bodiless = cut("<p>no body</p>" + message);
    EXPECT_EQ(bodiless.count(), 0u);
    EXPECT_EQ(bodiless.head(), "<p>no body</p>" + message);
    EXPECT_EQ(cut("").count(), 0u);
}

TEST(PageBlocks, ALimitedCutEndsItsLastBlockAtTheNextOne) {
    std::string page(pageHead(kViewer));
    for (int i = 0; i < 5; ++i)
        page += messageBlock("Anna", std::to_string(i));
    const auto shared = std::make_shared<const std::string>(page);
    const PageBlocks first(shared, 3);
    EXPECT_FALSE(first.complete());
    ASSERT_EQ(first.count(), 3u);
    EXPECT_EQ(first.block(2), messageBlock("Anna", "2"));
    const PageBlocks exact(shared, 5);
    EXPECT_TRUE(exact.complete());
    EXPECT_EQ(exact.count(), 5u);
    EXPECT_EQ(exact.block(4), messageBlock("Anna", "4"));
}

TEST(PageBlocks, FindsTheBlockOfAQuotedMessagesAnchorAndNothingElse) {
    std::string page(pageHead(kViewer));
    page += "<p>lead</p>";
    for (int i = 0; i < 5; ++i) {
        appendSenderLine(page, "Anna", "2021-05-06 07:08:09");
        if (i == 1 || i == 4)
            page += "<a id=\"m" + std::to_string(70 + i) + "\"></a>";
        // A text that spells an anchor is escaped, and no anchor.
        appendTextBody(page, escapeText(i == 2 ? "<a id=\"m99\"></a>" : "hi"));
    }
    const PageBlocks blocks = cut(page);
    ASSERT_EQ(blocks.count(), 6u);
    EXPECT_EQ(blocks.anchorBlock("m71"), 2u);  // after the lead
    EXPECT_EQ(blocks.anchorBlock("m74"), 5u);  // in the last block
    for (const std::string_view name : {"m99", "m7", "m", "", "71", "m71\" onclick=\"x", "m7a", "M71"})
        EXPECT_EQ(blocks.anchorBlock(name), std::nullopt) << name;
    // The head is no block.
    EXPECT_EQ(cut("<a id=\"m1\"></a>" + std::string(pageHead(kViewer)) + "<p>x</p>").anchorBlock("m1"),
              std::nullopt);
}

TEST(PageBlocks, WidthUnitsCountWhatIsDrawnAndWideCharactersTwice) {
    const auto units = [](std::string_view text) {
        return widthUnitsOf(messageBlock("A very long sender name", text));
    };
    const std::int32_t indent = units("");  // the six no-break spaces before every text
    EXPECT_EQ(indent, 6);
    EXPECT_EQ(units("hello") - indent, 5);
    EXPECT_EQ(units("a<b&c") - indent, 5);  // "&lt;" is one character, a bare '&' too
    EXPECT_EQ(units("Привет") - indent, 6);
    EXPECT_EQ(units("你好，世界") - indent, 10);
    EXPECT_EQ(units("😀👍🏽") - indent, 6);  // a skin tone is a code point of its own
    EXPECT_EQ(units("❤️") - indent, 2);        // the variation selector takes no room
    EXPECT_EQ(units("👨‍👩‍👧") - indent, 6);

    std::string picture;
    appendSenderLine(picture, "Anna", "t");
    appendBody(picture, BodyKind::ImageViewer, "file:///r/Library/p.jpg");
    EXPECT_EQ(widthUnitsOf(picture), PageBlocks::kPicture);
    // A block that is not a message counts from its start.
    EXPECT_EQ(widthUnitsOf(kNoMessageBlock), 10);

    const PageBlocks blocks = cut(std::string(pageHead(kViewer)) + messageBlock("A", std::string(70, 'x')) +
                                  picture + messageBlock("A", std::string(9000, 'x')));
    // 76 is B·M; a picture is the highest value, a huge text the one below it.
    EXPECT_EQ(encodedWidthUnits(blocks), "BM///+");
}

TEST(PageBlocks, PicturesByFullPathBecomeFileAddressesForTheView) {
    std::string out;
    appendForView(out,
                  "<img src=\"/r/Library/my pic #1 &amp; ä%.jpg\"/><img src=\"file:///x.jpg\"/>"
                  "<a href=\"/not/a/picture\">x</a><img src=\"\"/><img src=\"/unterminated");
    EXPECT_EQ(
        out,
        "<img src=\"file:///r/Library/my%20pic%20%231%20%26%20%C3%A4%25.jpg\"/><img src=\"file:///x.jpg\"/>"
        "<a href=\"/not/a/picture\">x</a><img src=\"\"/><img src=\"/unterminated");
}

TEST(ViewDocument, APageGoesWholeFilledInOrAsAWindowByItsLength) {
    std::string page(pageHead(kViewer));
    for (std::size_t i = 0; i < kWholeBlocks; ++i)
        page += messageBlock("Anna", "message " + std::to_string(i));
    EXPECT_EQ(presentationOf(cut(page)), Presentation::Whole);
    EXPECT_EQ(wholeDocument(page, {"<script>1</script>", "<script>2</script>", "<script>3</script>"}),
              "<script>1</script>" + page + "<script>2</script>");
    page += messageBlock("Anna", "one more");
    EXPECT_EQ(presentationOf(cut(page)), Presentation::Filled);
    // Few blocks, but more text than one layout should take on.
    const std::string long1 = messageBlock("A", std::string(kWholeBytes / 3, 'a'));
    EXPECT_EQ(presentationOf(cut(std::string(pageHead(kViewer)) + long1 + long1)), Presentation::Whole);
    EXPECT_EQ(presentationOf(cut(std::string(pageHead(kViewer)) + long1 + long1 + long1 + long1)),
              Presentation::Filled);

    while (cut(page).count() < kWholePageBlocks)
        page += messageBlock("Anna", "and more");
    const auto shared = std::make_shared<const std::string>(page);
    EXPECT_EQ(presentationOf(PageBlocks(shared, kWholePageBlocks + 1)), Presentation::Filled);
    const auto longer = std::make_shared<const std::string>(page + messageBlock("Anna", "the last straw"));
    EXPECT_EQ(presentationOf(PageBlocks(longer, kWholePageBlocks + 1)), Presentation::Window);
}

TEST(ViewDocument, AFilledDocumentHoldsEveryBlockTheFirstScreenInTheWindow) {
    std::string page(pageHead(kViewer));
    for (int i = 0; i < 500; ++i)
        page += messageBlock("Anna", "message " + std::to_string(i));
    const PageBlocks blocks = cut(page);
    const std::string document =
        filledDocument(blocks, 7, {"<script>b</script>", "<script>a</script>", "<script>w</script>"});
    const std::size_t rest = document.find("<template id=\"tv-rest\">");
    ASSERT_NE(rest, std::string::npos);
    const std::size_t first = firstScreenCount(blocks);
    EXPECT_LT(document.find("message " + std::to_string(first - 1) + "<"), rest);
    EXPECT_GT(document.find("message " + std::to_string(first) + "<"), rest);
    EXPECT_THAT(document, HasSubstr("message 499<"));
    EXPECT_THAT(document, EndsWith("</template><script>w</script><script>a</script>"));
}

TEST(ViewDocument, AWindowedDocumentCarriesTheHeadAndTheFirstScreen) {
    std::string page(pageHead(kViewer));
    const std::size_t total = 3000;
    for (std::size_t i = 0; i < total; ++i)
        page += messageBlock("Anna", "message " + std::to_string(i));
    const PageBlocks blocks = cut(page);
    const PageBlocks firstBlocks(blocks.shared(), kFirstScreenBlocks);
    const std::string document = windowedDocument(
        firstBlocks, 42,
        {"<script>/*before*/</script>", "<script>/*after*/</script>", "<script>/*window*/</script>"});

    EXPECT_THAT(document, StartsWith("<script>/*before*/</script>" + std::string(pageHead(kViewer))));
    const std::size_t first = firstScreenCount(blocks);
    EXPECT_GT(first, 10u);
    EXPECT_LE(first, kFirstScreenBlocks);
    EXPECT_THAT(document, HasSubstr("<div class=\"tvb\">" + messageBlock("Anna", "message 0") + "</div>"));
    EXPECT_THAT(document, HasSubstr("message " + std::to_string(first - 1) + "<"));
    EXPECT_THAT(document, Not(HasSubstr("message " + std::to_string(first) + "<")));
    EXPECT_THAT(document, HasSubstr("serial:42,first:" + std::to_string(first) + ","));
    // Messages of nearly one length: the guess from the first screen is close.
    const std::size_t at = document.find(",expected:");
    ASSERT_NE(at, std::string::npos);
    const long expected = std::stol(document.substr(at + 10));
    EXPECT_NEAR(expected, static_cast<long>(total), 150);
    EXPECT_THAT(document, EndsWith("<script>/*window*/</script><script>/*after*/</script>"));

    EXPECT_EQ(blocksForView(blocks, 2999, 5000),
              "<div class=\"tvb\">" + messageBlock("Anna", "message 2999") + "</div>");
    EXPECT_EQ(blocksForView(blocks, 3000, 3001), "");
}

TEST(ViewDocument, ScriptStringsCannotEndTheirScriptElement) {
    std::string out;
    appendScriptString(out, "a\"b\\c</script><!--\n&");
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\u003c/script\\u003e\\u003c!--\\u000a\\u0026\"");
}
