// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "modern_message_page.h"

#include "sources/android_modern.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/html_escape.h"
#include "sources/modern_kinds.h"
#include "sources/vcard.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

namespace talvio {
namespace {

constexpr std::string_view kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
// A note in place of a message body: grey and slanted, so it never reads as the sender's words.
constexpr std::string_view kNoteOpen =
    "<div class=\"content\"><SPAN class=\"MsgHistory\" style=\"color:#939393;font-style:italic\">"
    "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;";
constexpr std::string_view kEventOpen =
    "<div class=\"content\" style=\"text-align:center\"><SPAN class=\"MsgTime\">";
constexpr std::string_view kLineClose = "</SPAN></div>";
constexpr std::size_t kQuoteStart = 120;  // bytes of a quoted text shown, cut at a character

using Extra = ModernChatExtras::Extra;

// Locale-free: a page never writes 48,1 for 48.1. A value too long for fixed notation (no place
// on earth, but a damaged row can hold one) is written in its shortest form.
void appendNumber(std::string& out, double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) {
        out += '?';
        return;
    }
    out.append(buffer, result.ptr);
}

// The start of a text, cut before a UTF-8 continuation byte so that no character is split.
std::string_view startOf(std::string_view text) {
    if (text.size() <= kQuoteStart)
        return text;
    std::size_t cut = kQuoteStart;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

// Writes the body of every message that is not a plain text or a media message.
class ModernBodyWriter {
public:
    ModernBodyWriter(const ModernChatExtras& extras, std::string_view shownName)
        : m_extras(extras), m_shownName(shownName) {}

    void appendAnchor(std::string& page, std::int64_t row) {
        page += "<a id=\"m";
        page += std::to_string(row);
        page += "\"></a>";
    }

    void appendForwarded(std::string& page) {
        page += kNoteOpen;
        page += "Forwarded";
        page += kLineClose;
    }

    void appendQuote(std::string& page, const ModernChatExtras::Quote& quote) {
        page +=
            "<div class=\"content\" style=\"margin-left:36px;padding-left:6px;border-left:3px solid "
            "#308712\">";
        if (quote.target != 0) {
            page += "<a href=\"#m";
            page += std::to_string(quote.target);
            page += "\" style=\"color:inherit;text-decoration:none\">";
        }
        page += "<SPAN class=\"SenderNameMe\">";
        appendPerson(page, quote.fromMe, quote.sender, "Me");
        page += "</SPAN><br/><SPAN class=\"MsgHistory\">";
        if (!quote.text.empty()) {
            const std::string_view start = startOf(quote.text);
            appendEscapedText(page, start);
            if (start.size() < quote.text.size())
                page += "\xE2\x80\xA6";
        } else {
            page += modernKindWords(quote.type);
        }
        page += "</SPAN>";
        if (quote.target != 0)
            page += "</a>";
        page += "</div>";
    }

    void appendEdited(std::string& page) {
        page += kNoteOpen;
        page += "edited";
        page += kLineClose;
    }

    // Each emoji once with how many reacted with it; hovering names them.
    void appendReactions(std::string& page, const Extra& e) {
        struct Group {
            std::string_view emoji;
            std::string who;
            int count = 0;
        };
        std::vector<Group> groups;
        const auto& all = m_extras.reactions();
        for (std::uint32_t i = e.reactionsBegin; i < e.reactionsEnd; ++i) {
            const ModernChatExtras::Reaction& r = all[i];
            Group* group = nullptr;
            for (Group& g : groups) {
                if (g.emoji == r.emoji)
                    group = &g;
            }
            if (group == nullptr)
                group = &groups.emplace_back(Group{r.emoji, {}, 0});
            if (group->count++ > 0)
                group->who += ", ";
            group->who += r.fromMe ? std::string("Me") : personName(r.sender);
        }
        page += "<div class=\"content\"><SPAN class=\"MsgTime\">";
        page += kIndent;
        for (const Group& g : groups) {
            page +=
                "<span style=\"border:1px solid #d0d0d0;border-radius:9px;padding:0 5px;margin-right:4px\" "
                "title=\"";
            appendAttributeText(page, g.who);
            page += "\">";
            appendEscapedText(page, g.emoji);
            page += ' ';
            page += std::to_string(g.count);
            page += "</span>";
        }
        page += kLineClose;
    }

    // The body of a message of any kind but plain text and media. Returns false for a message
    // that is a text or a media message after all, which the caller then writes as ever.
    bool appendBody(std::string& page, std::int64_t type, bool fromMe, std::string_view actor,
                    std::string_view text, const Extra* e) {
        const ModernKind kind = modernKindOf(type);
        if (e != nullptr && e->future) {
            appendUnsupported(page, type);
            return true;
        }
        if (kind == ModernKind::Deleted || kind == ModernKind::DeletedByAdmin ||
            (e != nullptr && e->revoked)) {
            page += kNoteOpen;
            page += fromMe ? "You deleted this message"
                    : kind == ModernKind::DeletedByAdmin || (e != nullptr && e->revokedByAdmin)
                        ? "This message was deleted by an admin"
                        : "This message was deleted";
            page += kLineClose;
            return true;
        }
        if (kind == ModernKind::ViewOnce || (e != nullptr && e->viewOnce)) {
            page += kNoteOpen;
            page += kind == ModernKind::ViewOnce ? modernKindWords(type)
                    : type == 3                  ? std::string_view("View-once video")
                    : type == 2                  ? std::string_view("View-once voice message")
                                                 : std::string_view("View-once photo");
            page += " (shown once on the phone, not kept)";
            page += kLineClose;
            return true;
        }
        if (kind == ModernKind::Event || (e != nullptr && e->event >= 0 && kind != ModernKind::Text)) {
            appendEvent(page, fromMe, actor, text, e);
            return true;
        }
        if (kind == ModernKind::Waiting) {
            page += kNoteOpen;
            page += "Waiting for this message. This may take a while.";
            page += kLineClose;
            return true;
        }
        if (kind == ModernKind::Call || kind == ModernKind::MissedCall || (e != nullptr && e->call >= 0)) {
            appendCall(page, kind, fromMe, e);
            return true;
        }
        if (e != nullptr && e->poll) {
            appendPoll(page, text, *e);
            return true;
        }
        if (kind == ModernKind::Poll) {
            appendPoll(page, text, Extra{});
            return true;
        }
        if (e != nullptr && e->place >= 0) {
            appendPlace(page, m_extras.place(*e), kind == ModernKind::LiveLocation);
            return true;
        }
        if (kind == ModernKind::Location || kind == ModernKind::LiveLocation) {
            page += kNoteOpen;
            page += kind == ModernKind::LiveLocation ? "Live location (no place kept)"
                                                     : "Location (no place kept)";
            page += kLineClose;
            return true;
        }
        if (kind == ModernKind::Contact || (e != nullptr && e->cardsEnd > e->cardsBegin)) {
            appendCards(page, text, e);
            return true;
        }
        if (kind == ModernKind::Unknown) {
            appendUnsupported(page, type);
            if (!text.empty())
                appendTextBody(page, text);
            return true;
        }
        return false;
    }

private:
    std::string personName(std::string_view jid) const {
        return jid.empty() ? std::string(m_shownName) : JidToNumber(jid);
    }

    void appendPerson(std::string& page, bool fromMe, std::string_view jid, std::string_view me) const {
        if (fromMe)
            page += me;
        else
            appendEscapedText(page, personName(jid));
    }

    void appendUnsupported(std::string& page, std::int64_t type) {
        page += kNoteOpen;
        page += "unsupported message (kind ";
        page += std::to_string(type);
        page += ')';
        page += kLineClose;
    }

    // Fills {a}, {m} and {t} of the event's words; escaped pieces, literal words.
    void appendWords(std::string& page, std::string_view words, bool fromMe, std::string_view actor,
                     std::string_view value, const Extra* e) {
        for (std::size_t i = 0; i < words.size(); ++i) {
            if (words[i] == '{' && i + 2 < words.size() && words[i + 2] == '}') {
                const char slot = words[i + 1];
                if (slot == 'a') {
                    appendPerson(page, fromMe, actor, "You");
                } else if (slot == 't') {
                    appendEscapedText(page, value);
                } else if (slot == 'm' && e != nullptr) {
                    for (std::uint32_t m = e->membersBegin; m < e->membersEnd; ++m) {
                        if (m > e->membersBegin)
                            page += m + 1 == e->membersEnd ? " and " : ", ";
                        appendEscapedText(page, personName(m_extras.members()[m].text));
                    }
                }
                i += 2;
                continue;
            }
            page += words[i];
        }
    }

    void appendEvent(std::string& page, bool fromMe, std::string_view actor, std::string_view text,
                     const Extra* e) {
        page += kEventOpen;
        const ModernChatExtras::Event* event = e != nullptr && e->event >= 0 ? &m_extras.event(*e) : nullptr;
        if (event != nullptr && event->disappearing) {
            if (event->duration > 0) {
                appendWords(
                    page, "{a} turned on disappearing messages. New messages will disappear from this chat ",
                    fromMe, actor, {}, e);
                page += durationWords(event->duration);
                page += " after they're sent.";
            } else {
                appendWords(page, "{a} turned off disappearing messages.", fromMe, actor, {}, e);
            }
        } else if (event != nullptr && !event->oldNumber.empty() && !event->newNumber.empty()) {
            appendEscapedText(page, JidToNumber(event->oldNumber));
            page += " changed their phone number to ";
            appendEscapedText(page, JidToNumber(event->newNumber));
        } else if (const EventWords* words = event != nullptr ? eventWordsOf(event->action) : nullptr) {
            const bool hasMembers = e->membersEnd > e->membersBegin;
            const bool needsValue = words->words.find("{t}") != std::string_view::npos;
            const bool needsMembers = words->words.find("{m}") != std::string_view::npos;
            const bool complete = (!needsValue || !text.empty()) && (!needsMembers || hasMembers);
            appendWords(page, complete ? words->words : words->withoutValue, fromMe, actor, text, e);
        } else {
            page += "An event of this chat";
            if (event != nullptr) {
                page += " (code ";
                page += std::to_string(event->action);
                page += ')';
            }
        }
        page += kLineClose;
    }

    void appendCall(std::string& page, ModernKind kind, bool fromMe, const Extra* e) {
        const ModernChatExtras::Call* call = e != nullptr && e->call >= 0 ? &m_extras.call(*e) : nullptr;
        const bool outgoing = call != nullptr ? call->fromMe : fromMe;
        const std::int64_t duration = call != nullptr ? call->duration : 0;
        const bool missed =
            !outgoing && (kind == ModernKind::MissedCall || (call != nullptr && duration <= 0));
        page += kEventOpen;
        page += "\xF0\x9F\x93\x9E ";  // the telephone receiver
        const std::string_view what = call != nullptr && call->video ? "video call" : "voice call";
        if (missed) {
            page += "Missed ";
            page += what;
        } else {
            page += what == "video call" ? "Video call" : "Voice call";
            page += outgoing ? ", outgoing" : ", incoming";
            if (duration > 0) {
                page += ", ";
                appendClock(page, duration);
            } else if (call != nullptr) {
                page += ", not answered";
            }
        }
        page += kLineClose;
    }

    static void appendClock(std::string& page, std::int64_t seconds) {
        const std::int64_t hours = seconds / 3600;
        const std::int64_t minutes = seconds / 60 % 60;
        const std::int64_t rest = seconds % 60;
        if (hours > 0) {
            page += std::to_string(hours);
            page += ':';
            if (minutes < 10)
                page += '0';
        }
        page += std::to_string(minutes);
        page += ':';
        if (rest < 10)
            page += '0';
        page += std::to_string(rest);
    }

    void appendPlace(std::string& page, const ModernChatExtras::Place& place, bool liveKind) {
        page += "<div class=\"content\"><SPAN class=\"MsgHistory\">";
        page += kIndent;
        page += "\xF0\x9F\x93\x8D ";  // the round pushpin
        page += place.live || liveKind ? "<b>Live location</b>" : "Location";
        bool first = true;
        for (const std::string* part : {&place.name, &place.address}) {
            if (part->empty())
                continue;
            page += first ? ": " : ", ";
            appendEscapedText(page, *part);
            first = false;
        }
        page += "</SPAN><br/>";
        page += kIndent;
        const std::string address = mapAddress(place.latitude, place.longitude);
        if (!address.empty()) {
            page += "<a href=\"";
            appendAttributeText(page, address);
            page += "\" rel=\"noopener\">";
        }
        appendNumber(page, place.latitude);
        page += ", ";
        appendNumber(page, place.longitude);
        if (!address.empty())
            page += "</a>";
        page += "</div>";
    }

    void appendCards(std::string& page, std::string_view text, const Extra* e) {
        bool any = false;
        if (e != nullptr) {
            for (std::uint32_t i = e->cardsBegin; i < e->cardsEnd; ++i) {
                for (const AddressCard& card : parseVCards(m_extras.cards()[i].text)) {
                    appendCard(page, card.name, card.numbers);
                    any = true;
                }
            }
        }
        // A card without numbers still has the name WhatsApp shows for it.
        if (!any)
            appendCard(page, text.empty() ? std::string_view("Contact card") : text, {});
    }

    static void appendCard(std::string& page, std::string_view name,
                           const std::vector<std::string>& numbers) {
        page += "<div class=\"content\"><SPAN class=\"MsgHistory\">";
        page += kIndent;
        page += "\xF0\x9F\x91\xA4 ";  // the bust in silhouette
        appendEscapedText(page, name);
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            page += i == 0 ? ": " : ", ";
            appendEscapedText(page, numbers[i]);
        }
        page += kLineClose;
    }

    void appendPoll(std::string& page, std::string_view question, const Extra& e) {
        page += "<div class=\"content\"><SPAN class=\"MsgHistory\">";
        page += kIndent;
        page += "\xF0\x9F\x93\x8A <b>Poll:</b> ";  // the bar chart
        appendEscapedText(page, question);
        page += kLineClose;
        for (std::uint32_t i = e.optionsBegin; i < e.optionsEnd; ++i) {
            const ModernChatExtras::Listed& option = m_extras.options()[i];
            page += "<div class=\"content\"><SPAN class=\"MsgHistory\">";
            page += kIndent;
            page += kIndent;
            page += "\xE2\x80\xA2 ";
            appendEscapedText(page, option.text);
            page += " \xE2\x80\x94 ";
            page += std::to_string(option.count);
            page += option.count == 1 ? " vote" : " votes";
            page += kLineClose;
        }
    }

    const ModernChatExtras& m_extras;
    std::string_view m_shownName;
};

}  // namespace

std::string modernExtraColumns(bool withFlags) {
    return withFlags ? ", message._id, message.origination_flags" : ", message._id, 0";
}

std::string durationWords(std::int64_t seconds) {
    const auto count = [](std::int64_t n, std::string_view one, std::string_view many) {
        return std::to_string(n) + ' ' + std::string(n == 1 ? one : many);
    };
    if (seconds % 86400 == 0)
        return count(seconds / 86400, "day", "days");
    if (seconds % 3600 == 0)
        return count(seconds / 3600, "hour", "hours");
    if (seconds % 60 == 0)
        return count(seconds / 60, "minute", "minutes");
    return count(seconds, "second", "seconds");
}

std::string mapAddress(double latitude, double longitude) {
    if (!std::isfinite(latitude) || !std::isfinite(longitude) || std::abs(latitude) > 90 ||
        std::abs(longitude) > 180)
        return {};
    std::string address = "https://www.openstreetmap.org/?mlat=";
    appendNumber(address, latitude);
    address += "&mlon=";
    appendNumber(address, longitude);
    address += "#map=16/";
    appendNumber(address, latitude);
    address += '/';
    appendNumber(address, longitude);
    return address;
}

RenderOutcome appendModernMessages(Statement& messages, const Database& messageDb, std::string_view shownName,
                                   const MessageTimeFormatter& times, ChatPageBuffer& out,
                                   AndroidMediaWriter* media, std::string_view jid,
                                   const ModernChatExtras& extras) {
    AndroidSenderLines senders(shownName, times);
    ModernBodyWriter writer(extras, shownName);
    std::string& page = out.writable();
    while (messages.step()) {
        const char* fromMeText = messages.text(1);
        const char* member = messages.text(4);
        const bool fromMe = fromMeText != nullptr && fromMeText[0] != '0';
        senders.append(page, fromMe, member, messages.text(2));

        const std::int64_t row = messages.int64(5);
        const std::int64_t type = messages.int64(0);
        const Extra* e = extras.find(row);
        const bool forwarded = (messages.int64(6) & kForwardedFlag) != 0;
        if (e != nullptr && e->quotedByOthers)
            writer.appendAnchor(page, row);
        if (forwarded)
            writer.appendForwarded(page);
        if (e != nullptr && e->quote >= 0)
            writer.appendQuote(page, extras.quote(*e));
        const std::string_view text = messages.textView(3);
        const std::string_view actor = member != nullptr ? std::string_view(member) : std::string_view();
        if (!writer.appendBody(page, type, fromMe, actor, text, e)) {
            if (media == nullptr || !media->append(page, messages, jid, fromMe)) {
                const char* kind = messages.text(0);
                appendAndroidBody(page, kind != nullptr ? kind : "0", messages.text(3));
            }
        }
        if (e != nullptr && e->edited)
            writer.appendEdited(page);
        if (e != nullptr && e->reactionsEnd > e->reactionsBegin)
            writer.appendReactions(page, *e);
        out.handOverIfLarge();
    }
    return messages.failed() ? unreadable(messageDb.lastError()) : RenderOutcome{};
}

}  // namespace talvio
