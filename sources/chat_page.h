// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio {

// Page modes of RenderChat: 0 is the page shown in the program; any other value is a page meant to
// be saved beside copies of its media and opened in any browser.
inline constexpr int kViewer = 0;
inline constexpr int kStandAlone = 1;

enum class BodyKind {
    Text,
    ImageMarker,
    AudioMarker,
    VideoMarker,
    CallMarker,
    ImageViewer,
    ImageStandAlone,
    VoiceViewer,
    VoiceStandAlone,
    VoiceMissing,
    VideoViewer,
    VideoStandAlone,
    VideoMissing,
};

inline constexpr std::string_view kNoMessageBlock = "<div>No message</div>";
inline constexpr std::string_view kPageEnd = "</body></html>";

std::string_view pageHead(int mode);

// Appends the sender line. Both texts must already be safe for the page (escaped, well formed).
void appendSenderLine(std::string& out, std::string_view sender, std::string_view time);
// Appends a body; argument is the body's further argument (text, path, name or id), already made
// safe for where the body places it. Bodies without an argument ignore it.
void appendBody(std::string& out, BodyKind kind, std::string_view argument = {});

// Appends a Text body whose message text is escaped straight into the page.
void appendTextBody(std::string& out, std::string_view utf8Text);

// Where a finished page goes: the chat view of the main window, once there is one.
class ChatPageView {
public:
    virtual ~ChatPageView() = default;
    virtual void showChatPage(const std::string& utf8Page) = 0;
};

// The page being built, as UTF-8. One process-wide instance, reached through chatPageBuffer().
class ChatPageBuffer {
public:
    const std::string& text() const { return m_text; }
    std::string& text() { return m_text; }
    void clear() { m_text.clear(); }

private:
    std::string m_text;
};

ChatPageBuffer& chatPageBuffer();

// The view that ShowChatPage writes into; null until the window sets it.
void setChatPageView(ChatPageView* view);

void StartChatPage(int mode);
void AppendPageBlock(std::string_view block);
void AppendNoMessage();
// Puts the page on screen in the chat view; does nothing while ExportMode is set.
void ShowChatPage();

}  // namespace talvio
