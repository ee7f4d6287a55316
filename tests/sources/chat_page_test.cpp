// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/chat_page.h"
#include "sources/program_state.h"

#include <gtest/gtest.h>

#include <limits>

namespace talvio {
namespace {

const std::string kStyle =
    "<style>.content { margin:3px;} a {font-size:12px} .SenderNameMe\t{font-family: Verdana;line-height: "
    "25px; "
    "color: #308712; } .SenderNameYou\t{ font-family: Verdana; line-height: 25px; color: #0066CC;}\t.MsgTime "
    "{font-family: Verdana; font-size: 12px; line-height: 25px; color: #939393;} .MsgHistory {font-size: "
    "13px; "
    "color: #000000;word-wrap:break-word;word-break:break-all;}</style>";
const std::string kHeadStart =
    R"(<html><head><meta http-equiv="Content-Type" content="text/html; charset=UTF-8" />)"
    R"(<title>WhatsApp messages - Talvio</title>)";

TEST(ChatPage, ViewerHeadIsExact) {
    const std::string script =
        "<script>function PlayMyWav(strString){if(window.external.CB_IsOurCustomBrowser != null)\t"
        "window.external.CB_CustomFunctionPlayMyWav(strString);return false;} "
        "function PlayMyVideo(strString){if(window.external.CB_IsOurCustomBrowser != null) "
        "window.external.CB_CustomFunctionPlayMyVideo(strString);return false;}</script>";
    EXPECT_EQ(pageHead(kViewer), kHeadStart + kStyle + script + "</head><body>");
}

TEST(ChatPage, StandAloneHeadHasNoBridgeAndTakesElementAndId) {
    const std::string head(pageHead(kStandAlone));
    EXPECT_EQ(head.rfind(kHeadStart + kStyle + "<script>", 0), 0u);
    EXPECT_EQ(head.find("window.external"), std::string::npos);
    EXPECT_NE(
        head.find(
            R"(function PlayMyWav(obj,id){)"
            "\t"
            R"(var objDiv = obj.parentNode;if (IsIE) objDiv.innerHTML = "<embed autostart=true height=\"40\" width=\"365\" src=\"voice/" + id + ".wav\" />"; else objDiv.innerHTML = "<audio src=\"voice/" + id + ".wav\" autoplay=\"autoplay\" controls></audio>"; return false;}function PlayMyVideo(obj,id) {)"),
        std::string::npos);
    EXPECT_NE(
        head.find(
            R"(else objDiv.innerHTML = "<video width=\"640\" height=\"480\" src=\"video/" + id + ".mp4\" controls autobuffer ></video>";)"
            "\t"
            R"(return false;}</script></head><body>)"),
        std::string::npos);
    // Any mode but 0 is stand-alone.
    EXPECT_EQ(pageHead(7), pageHead(kStandAlone));
}

TEST(ChatPage, BlocksAreExact) {
    std::string out;
    appendSenderLine(out, "Me", "2017-05-31 10:20:00");
    EXPECT_EQ(
        out,
        R"(<div class="content"><SPAN class="SenderNameMe">Me </span> <span class="MsgTime">2017-05-31 10:20:00</span><br/></div>)");
    const std::string nb = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
    const struct {
        BodyKind kind;
        const char* argument;
        std::string expected;
    } bodies[] = {
        {BodyKind::Text, "a&lt;b",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "a&lt;b</span></div>"},
        {BodyKind::ImageMarker, "",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "[Image]</span></div>"},
        {BodyKind::AudioMarker, "",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "[Audio]</SPAN></div>"},
        {BodyKind::VideoMarker, "",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "[Video]</SPAN></div>"},
        {BodyKind::CallMarker, "",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "[Call]</SPAN></div>"},
        {BodyKind::ImageViewer, "/r/a.jpg",
         "<div>" + nb + R"(<SPAN class="MsgHistory"><img src="/r/a.jpg"/></SPAN></div>)"},
        {BodyKind::ImageStandAlone, "a", "<div>" + nb + R"(<img src="images\a.jpg"/></div>)"},
        {BodyKind::VoiceViewer, "C:\\\\r\\\\x.opus",
         R"(<div class="content">)" + nb +
             R"(<a href="#" onClick="return PlayMyWav('C:\\r\\x.opus');">[Play voice]</a></div>)"},
        {BodyKind::VoiceStandAlone, "7",
         R"(<div class="content">)" + nb +
             R"(<a href="#" onClick="return PlayMyWav(this,'7');">[Play voice]</a></div>)"},
        {BodyKind::VoiceMissing, "",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "[Play Voice](file lost)</SPAN></div>"},
        {BodyKind::VideoViewer, "/v.mp4",
         R"(<div class="content">)" + nb +
             R"(<a href="#" onClick="return PlayMyVideo('/v.mp4');">[Play video]</a></div>)"},
        {BodyKind::VideoStandAlone, "8",
         R"(<div class="content">)" + nb +
             R"(<a href="#" onClick="return PlayMyVideo(this,'8');">[Play video]</a></div>)"},
        {BodyKind::VideoMissing, "",
         R"(<div class="content"><SPAN class="MsgHistory">)" + nb + "[Play video](file lost)</SPAN></div>"},
    };
    for (const auto& body : bodies) {
        std::string block;
        appendBody(block, body.kind, body.argument);
        EXPECT_EQ(block, body.expected);
    }
}

class RecordingView : public ChatPageView {
public:
    void showChatPage(std::shared_ptr<const std::string> page) override {
        ++shown;
        last = *page;
        kept = std::move(page);
    }
    int shown = 0;
    std::string last;
    std::shared_ptr<const std::string> kept;
};

TEST(ChatPage, ShowChatPageWritesNothingWhileExporting) {
    resetProgramState();
    RecordingView view;
    setChatPageView(&view);
    StartChatPage(kViewer);
    AppendPageBlock("x");
    AppendNoMessage();
    programState().exportMode = true;
    ShowChatPage();
    EXPECT_EQ(view.shown, 0);
    programState().exportMode = false;
    ShowChatPage();
    EXPECT_EQ(view.shown, 1);
    EXPECT_EQ(view.last, std::string(pageHead(kViewer)) + "x<div>No message</div>");
    // The buffer is left as it was, and a new page drops the old one while the view keeps what
    // it was given, whether the buffer starts afresh or goes on appending.
    EXPECT_EQ(chatPageBuffer().text(), view.last);
    AppendPageBlock("z");
    EXPECT_EQ(chatPageBuffer().text(), view.last + "z");
    ShowChatPage();
    const std::string shownWithZ = view.last;
    StartChatPage(kStandAlone);
    AppendPageBlock("w");
    EXPECT_EQ(chatPageBuffer().text(), std::string(pageHead(kStandAlone)) + "w");
    EXPECT_EQ(*view.kept, shownWithZ);
    StartChatPage(kStandAlone);
    EXPECT_EQ(chatPageBuffer().text(), pageHead(kStandAlone));

    // A page that goes to a sink is not shown: the buffer holds only its tail.
    {
        std::string saved;
        const ChatPageSinkScope sink([&](std::string_view piece) { saved += piece; }, 1);
        AppendPageBlock("y");
        chatPageBuffer().handOverIfLarge();
        ShowChatPage();
        EXPECT_EQ(view.shown, 2);
        EXPECT_EQ(saved, std::string(pageHead(kStandAlone)) + "y");
    }
    setChatPageView(nullptr);
    // Room for a count that a damaged database made up stays within reason.
    chatPageBuffer().reserveFor(std::numeric_limits<int>::max());
    EXPECT_LE(chatPageBuffer().text().capacity(), std::size_t{600} << 20);
}

TEST(ChatPage, IllFormedBlocksArriveRepaired) {
    StartChatPage(kViewer);
    AppendPageBlock("a\xFF");
    EXPECT_EQ(chatPageBuffer().text(), std::string(pageHead(kViewer)) + "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace talvio
