// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace talvio::chatexport {

class ZipReader;

enum class MessageKind {
    Text,          // an ordinary message
    Event,         // a line without a sender, or one WhatsApp wrote in the sender's name
    Attachment,    // a file sent with the message (attachment names the file)
    MediaOmitted,  // media the phone left out of the export
};

enum class MediaKind { None, Image, Voice, Video, Audio, Document, Sticker, Other };

struct Message {
    // The wall-clock time the header shows, counted as seconds since 1970-01-01 00:00 of that same
    // wall clock. No time zone is applied: exports carry none, so the value orders and formats
    // messages but is not an instant in UTC.
    std::int64_t localTime = 0;
    std::string timeText;  // date and time exactly as written in the header
    int sender = -1;       // index into ChatExport::senders(); -1 when the header names nobody
    MessageKind kind = MessageKind::Text;
    MediaKind media = MediaKind::None;
    std::string attachment;  // the file's name for kind Attachment
    std::string text;        // the message's text; for media, the caption (lines are joined by '\n')
};

// Where an attachment's bytes are: a file beside the text, or an entry of the export's zip.
struct AttachmentPlace {
    enum class Where { File, ZipEntry };
    Where where = Where::File;
    std::string path;  // an absolute file path, or the entry's name inside the zip
};

struct ReadOutcome {
    std::string bytes;
    std::string error;  // empty on success
};

// One exported chat: its messages, the people who wrote them and the files that came with it.
class ChatExport {
public:
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    // Where the chat was read from (the .txt, the .zip or the folder), for messages to the user.
    const std::string& origin() const { return m_origin; }
    void setOrigin(std::string origin) { m_origin = std::move(origin); }

    std::vector<Message>& messages() { return m_messages; }
    const std::vector<Message>& messages() const { return m_messages; }

    // Every name that appears as a sender, in order of first appearance. Exports do not mark the
    // phone owner's messages, so the viewer shows this list and asks which of them is the user.
    const std::vector<std::string>& senders() const { return m_senders; }
    int addSender(std::string_view name);
    // The names that wrote at least one message that is not an event: the choices for "me".
    std::vector<std::string> ownerCandidates() const;
    // Marks `name` as the phone's owner; false (and no change) when no message is from that name.
    bool setOwner(std::string_view name);
    void clearOwner() { m_owner = -1; }
    int owner() const { return m_owner; }
    bool isFromOwner(const Message& message) const { return m_owner >= 0 && message.sender == m_owner; }

    // Lines before the first message header, which could not be read as part of any message.
    std::size_t unknownLines() const { return m_unknownLines; }
    void setUnknownLines(std::size_t count) { m_unknownLines = count; }

    // Attachment names that are present in the export, mapped to where their bytes are.
    const std::map<std::string, AttachmentPlace>& attachments() const { return m_attachments; }
    void addAttachment(std::string name, AttachmentPlace place);
    void setZip(std::shared_ptr<ZipReader> zip) { m_zip = std::move(zip); }
    // The bytes of one attachment, at most maxBytes of them (a larger one is an error).
    ReadOutcome readAttachment(const std::string& name, std::size_t maxBytes) const;

private:
    std::string m_name;
    std::string m_origin;
    std::vector<Message> m_messages;
    std::vector<std::string> m_senders;
    std::map<std::string, int, std::less<>> m_senderIndex;
    int m_owner = -1;
    std::size_t m_unknownLines = 0;
    std::map<std::string, AttachmentPlace> m_attachments;
    std::shared_ptr<ZipReader> m_zip;
};

}  // namespace talvio::chatexport
