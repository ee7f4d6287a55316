// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chat_page.h"

#include "program_state.h"
#include "sources/html_escape.h"
#include "text_convert.h"

#include <algorithm>
#include <utility>

namespace talvio {
namespace {

// The head both page modes share, up to their scripts.
constexpr std::string_view kHeadStart =
    "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" />"
    "<title>WhatsApp messages - Talvio</title>"
    "<style>.content { margin:3px;} a {font-size:12px} .SenderNameMe\t{font-family: Verdana;line-height: "
    "25px; color: #308712; } .SenderNameYou\t{ font-family: Verdana; line-height: 25px; color: #0066CC;}\t"
    ".MsgTime {font-family: Verdana; font-size: 12px; line-height: 25px; color: #939393;} .MsgHistory "
    "{font-size: 13px; color: #000000;word-wrap:break-word;word-break:break-all;}</style>";

constexpr std::string_view kViewerScript =
    "<script>function PlayMyWav(strString){if(window.external.CB_IsOurCustomBrowser != null)\t"
    "window.external.CB_CustomFunctionPlayMyWav(strString);return false;} function "
    "PlayMyVideo(strString){if(window.external.CB_IsOurCustomBrowser != null) "
    "window.external.CB_CustomFunctionPlayMyVideo(strString);return false;}</script>";

constexpr std::string_view kStandAloneScript =
    "<script>var IsIE = (navigator.userAgent.indexOf(\"compatible\") > -1 && "
    "navigator.userAgent.indexOf(\"MSIE\") > -1); "
    "function PlayMyWav(obj,id){\tvar objDiv = obj.parentNode;if (IsIE) objDiv.innerHTML = \"<embed "
    "autostart=true height=\\\"40\\\" width=\\\"365\\\" src=\\\"voice/\" + id + \".wav\\\" />\"; else "
    "objDiv.innerHTML = \"<audio src=\\\"voice/\" + id + \".wav\\\" autoplay=\\\"autoplay\\\" "
    "controls></audio>\"; return false;}"
    "function PlayMyVideo(obj,id) {\tvar objDiv = obj.parentNode; if (IsIE) objDiv.innerHTML = \"<video "
    "width=\\\"640\\\" height=\\\"480\\\" src=\\\"video/\" + id + \".mp4\\\" controls=\\\"\\\" "
    "autobuffer=\\\"\\\" ></video>\"; else objDiv.innerHTML = \"<video width=\\\"640\\\" height=\\\"480\\\" "
    "src=\\\"video/\" + id + \".mp4\\\" controls autobuffer ></video>\";\treturn false;}</script>";

constexpr std::string_view kHeadEnd = "</head><body>";

std::string makeHead(std::string_view script) {
    std::string head(kHeadStart);
    head += script;
    head += kHeadEnd;
    return head;
}

struct BodyFormat {
    std::string_view before;  // after the sender line, up to the argument
    std::string_view after;   // after the argument (the whole rest when there is none)
};

BodyFormat bodyFormat(BodyKind kind) {
    switch (kind) {
        case BodyKind::Text:
            return {"<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;",
                    "</span></div>"};
        case BodyKind::ImageMarker:
            return {"",
                    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                    "[Image]</span></div>"};
        case BodyKind::AudioMarker:
            return {"",
                    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                    "[Audio]</SPAN></div>"};
        case BodyKind::VideoMarker:
            return {"",
                    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                    "[Video]</SPAN></div>"};
        case BodyKind::CallMarker:
            return {"",
                    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                    "[Call]</SPAN></div>"};
        case BodyKind::ImageViewer:
            return {"<div>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<SPAN class=\"MsgHistory\"><img src=\"",
                    "\"/></SPAN></div>"};
        case BodyKind::ImageStandAlone:
            return {"<div>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<img src=\"images\\", ".jpg\"/></div>"};
        case BodyKind::VoiceViewer:
            return {
                "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
                "PlayMyWav('",
                "');\">[Play voice]</a></div>"};
        case BodyKind::VoiceStandAlone:
            return {
                "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
                "PlayMyWav(this,'",
                "');\">[Play voice]</a></div>"};
        case BodyKind::VoiceMissing:
            return {"",
                    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                    "[Play Voice](file lost)</SPAN></div>"};
        case BodyKind::VideoViewer:
            return {
                "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
                "PlayMyVideo('",
                "');\">[Play video]</a></div>"};
        case BodyKind::VideoStandAlone:
            return {
                "<div class=\"content\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"#\" onClick=\"return "
                "PlayMyVideo(this,'",
                "');\">[Play video]</a></div>"};
        case BodyKind::VideoMissing:
            return {"",
                    "<div class=\"content\"><SPAN class=\"MsgHistory\">&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                    "[Play video](file lost)</SPAN></div>"};
    }
    return {};
}

bool takesArgument(BodyKind kind) {
    switch (kind) {
        case BodyKind::Text:
        case BodyKind::ImageViewer:
        case BodyKind::ImageStandAlone:
        case BodyKind::VoiceViewer:
        case BodyKind::VoiceStandAlone:
        case BodyKind::VideoViewer:
        case BodyKind::VideoStandAlone:
            return true;
        default:
            return false;
    }
}

ChatPageView*& pageView() {
    static ChatPageView* view = nullptr;
    return view;
}

}  // namespace

std::string_view pageHead(int mode) {
    static const std::string viewer = makeHead(kViewerScript);
    static const std::string standAlone = makeHead(kStandAloneScript);
    return mode == kViewer ? viewer : standAlone;
}

void appendSenderLine(std::string& out, std::string_view sender, std::string_view time) {
    out += "<div class=\"content\"><SPAN class=\"SenderNameMe\">";
    out += sender;
    out += " </span> <span class=\"MsgTime\">";
    out += time;
    out += "</span><br/></div>";
}

void appendBody(std::string& out, BodyKind kind, std::string_view argument) {
    const BodyFormat format = bodyFormat(kind);
    out += format.before;
    if (takesArgument(kind))
        out += argument;
    out += format.after;
}

void appendTextBody(std::string& out, std::string_view utf8Text) {
    const BodyFormat format = bodyFormat(BodyKind::Text);
    out += format.before;
    appendEscapedText(out, utf8Text);
    out += format.after;
}

void ChatPageBuffer::setSink(ChatPageSink sink, std::size_t pieceBytes) {
    m_sink = std::move(sink);
    m_pieceBytes = pieceBytes;
}

std::string& ChatPageBuffer::writable() {
    if (m_handedOut) {
        m_text = std::make_shared<std::string>(*m_text);
        m_handedOut = false;
    }
    return *m_text;
}

void ChatPageBuffer::clear() {
    if (m_handedOut) {
        m_text = std::make_shared<std::string>();
        m_handedOut = false;
    } else {
        m_text->clear();
    }
}

std::shared_ptr<const std::string> ChatPageBuffer::shared() {
    m_handedOut = true;
    return m_text;
}

void ChatPageBuffer::reserveFor(int messages) {
    // A little more than the blocks of real chats take (270-300 bytes), and never absurdly much
    // for a count that a damaged database made up.
    constexpr std::size_t kBytesPerMessage = 360;
    constexpr std::size_t kMostBytes = std::size_t{512} << 20;
    if (m_sink || messages <= 0)
        return;
    std::string& text = writable();
    const std::size_t wanted =
        text.size() + std::min(kMostBytes, static_cast<std::size_t>(messages) * kBytesPerMessage);
    if (wanted > text.capacity())
        text.reserve(wanted);
}

void ChatPageBuffer::handOver() {
    if (m_sink && !m_text->empty()) {
        m_sink(*m_text);
        clear();
    }
}

ChatPageBuffer& chatPageBuffer() {
    static ChatPageBuffer buffer;
    return buffer;
}

void setChatPageView(ChatPageView* view) {
    pageView() = view;
}

void ChatPageBuffer::start(int mode) {
    clear();
    writable() += pageHead(mode);
}

void StartChatPage(int mode) {
    chatPageBuffer().start(mode);
}

void AppendPageBlock(std::string_view block) {
    std::string& text = chatPageBuffer().writable();
    if (isWellFormedUtf8(block)) {
        text += block;
    } else {
        text += Utf8ToAnsi(block);
    }
}

void AppendNoMessage() {
    chatPageBuffer().writable() += kNoMessageBlock;
}

void appendUnreadableNotice(std::string& page, std::string_view reason) {
    page += kUnreadableNoticeOpen;
    appendEscapedText(page, reason);
    page += "</div>";
}

void ShowChatPage() {
    if (programState().exportMode || chatPageBuffer().hasSink())
        return;
    if (ChatPageView* view = pageView())
        view->showChatPage(chatPageBuffer().shared());
}

}  // namespace talvio
