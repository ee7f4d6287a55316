// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

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
// Opens the notice of a chat that could not be read; the reason and "</div>" follow.
inline constexpr std::string_view kUnreadableNoticeOpen = "<div>This chat could not be read: ";
inline constexpr std::string_view kPageEnd = "</body></html>";

std::string_view pageHead(int mode);

// Appends the sender line. Both texts must already be safe for the page (escaped, well formed).
void appendSenderLine(std::string& out, std::string_view sender, std::string_view time);
// Appends a body; argument is the body's further argument (text, path, name or id), already made
// safe for where the body places it. Bodies without an argument ignore it.
void appendBody(std::string& out, BodyKind kind, std::string_view argument = {});

// Appends a Text body whose message text is escaped straight into the page.
void appendTextBody(std::string& out, std::string_view utf8Text);

// Where a finished page goes: the chat view of the main window, once there is one. The view may
// keep the page for as long as it shows it; nobody changes it.
class ChatPageView {
public:
    virtual ~ChatPageView() = default;
    virtual void showChatPage(std::shared_ptr<const std::string> utf8Page) = 0;
    // Scrolls the page shown last to a message, its sender line's place on the page counted from
    // 0, and highlights it, and in it the text find when given; also when the page has not come
    // on screen yet.
    virtual void goToMessage(std::int64_t ordinal, std::string_view find) {
        (void)ordinal;
        (void)find;
    }
};

// Takes a page that is saved rather than shown, piece by piece, in order.
using ChatPageSink = std::function<void(std::string_view piece)>;

// The page being built, as UTF-8. One process-wide instance, reached through chatPageBuffer().
class ChatPageBuffer {
public:
    // Pieces of about this size go to a sink: few enough writes, and memory that stays the
    // same whether the chat has a hundred messages or ten million.
    static constexpr std::size_t kPieceBytes = 4u << 20;

    const std::string& text() const { return *m_text; }
    // Empties the buffer and starts a page of the mode with its head.
    void start(int mode);
    // The text to append to. A page handed out by shared() is never written again: the buffer
    // goes on in a string of its own (a copy only if something is appended without clear()).
    std::string& writable();
    void clear();
    // The page as it stands, for a view that keeps it while the buffer is rebuilt for the next
    // chat: a huge page is handed over without being copied.
    std::shared_ptr<const std::string> shared();
    // Makes room for a page of that many messages. Fresh memory is slow to touch on some machines
    // (3.6 ms a megabyte measured on one): a page that grows by doubling touches almost three
    // times its size, a page with room enough only its own. Room that stays unused costs address
    // space, not memory. Nothing happens while a sink takes the page.
    void reserveFor(int messages);

    // While a sink is set, the renderers hand the text to it whenever it has grown past a piece,
    // so text() holds only what has not been handed over yet; the caller hands over the rest.
    void setSink(ChatPageSink sink, std::size_t pieceBytes = kPieceBytes);
    void clearSink() { m_sink = nullptr; }
    bool hasSink() const { return static_cast<bool>(m_sink); }
    // Renderers call this between messages.
    void handOverIfLarge() {
        if (m_sink && m_text->size() >= m_pieceBytes)
            handOver();
    }
    // Gives the sink everything the buffer holds and empties it.
    void handOver();

private:
    std::shared_ptr<std::string> m_text = std::make_shared<std::string>();
    bool m_handedOut = false;
    ChatPageSink m_sink;
    std::size_t m_pieceBytes = kPieceBytes;
};

ChatPageBuffer& chatPageBuffer();

// Sets the buffer's sink for as long as it lives.
class ChatPageSinkScope {
public:
    explicit ChatPageSinkScope(ChatPageSink sink, std::size_t pieceBytes = ChatPageBuffer::kPieceBytes) {
        chatPageBuffer().setSink(std::move(sink), pieceBytes);
    }
    ~ChatPageSinkScope() { chatPageBuffer().clearSink(); }
    ChatPageSinkScope(const ChatPageSinkScope&) = delete;
    ChatPageSinkScope& operator=(const ChatPageSinkScope&) = delete;
};

// The view that ShowChatPage writes into; null until the window sets it.
void setChatPageView(ChatPageView* view);

void StartChatPage(int mode);
void AppendPageBlock(std::string_view block);
void AppendNoMessage();
// Appends "This chat could not be read: REASON", where a damaged or foreign database gave no
// messages, or not all of them (a missing column, a read error part-way).
void appendUnreadableNotice(std::string& page, std::string_view reason);
// Puts the page on screen in the chat view; does nothing while ExportMode is set or while the page
// goes to a sink (the buffer then holds only its tail).
void ShowChatPage();

}  // namespace talvio
