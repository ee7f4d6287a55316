// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "modern_kinds.h"

#include <algorithm>
#include <iterator>

namespace talvio {
namespace {

struct KindCode {
    std::int64_t type;
    ModernKind kind;
    std::string_view words;
};

// message_type codes as databases of WhatsApp for Android 2.22-2.25 hold them. 0-20 are the
// legacy media_wa_type codes; the higher ones (view-once media, polls, admin deletions, the
// newer call rows) came later. 11 is the placeholder of a message still waiting for its keys.
// A code not listed is shown as "unsupported message (kind N)" and counted by --list.
constexpr KindCode kKinds[] = {
    {0, ModernKind::Text, ""},
    {1, ModernKind::Media, "Photo"},
    {2, ModernKind::Media, "Audio"},
    {3, ModernKind::Media, "Video"},
    {4, ModernKind::Contact, "Contact"},
    {5, ModernKind::Location, "Location"},
    {7, ModernKind::Event, "Event"},
    {8, ModernKind::Call, "Call"},
    {9, ModernKind::Media, "Document"},
    {10, ModernKind::MissedCall, "Missed call"},
    {11, ModernKind::Waiting, "Waiting for this message"},
    {13, ModernKind::Media, "GIF"},
    {14, ModernKind::Contact, "Contacts"},
    {15, ModernKind::Deleted, "Deleted message"},
    {16, ModernKind::LiveLocation, "Live location"},
    {20, ModernKind::Media, "Sticker"},
    {42, ModernKind::ViewOnce, "View-once photo"},
    {43, ModernKind::ViewOnce, "View-once video"},
    {46, ModernKind::Poll, "Poll"},
    {64, ModernKind::DeletedByAdmin, "Deleted message"},
    {66, ModernKind::Poll, "Poll"},
    {82, ModernKind::ViewOnce, "View-once voice message"},
    {90, ModernKind::Call, "Call"},
};

// message_system.action_type codes as current versions write them. Disappearing-message
// settings and number changes are told by their own tables (message_ephemeral_setting,
// message_system_number_change) whatever the code, so their codes only need a fallback here.
constexpr EventWords kEvents[] = {
    {1, "{a} changed the group name to \xE2\x80\x9C{t}\xE2\x80\x9D", "{a} changed the group name"},
    {4, "{m} joined", "{a} joined"},
    {5, "{a} left", "{a} left"},
    {6, "{a} changed this group's icon", "{a} changed this group's icon"},
    {7, "{a} removed {m}", "{a} removed a member"},
    {10, "{a} changed their phone number", "{a} changed their phone number"},
    {11, "{a} created group \xE2\x80\x9C{t}\xE2\x80\x9D", "{a} created this group"},
    {12, "{a} added {m}", "{a} added a member"},
    {13, "{m} left", "{a} left"},
    {14, "{a} removed {m}", "{a} removed a member"},
    {15, "{a} made {m} an admin", "{a} changed the group admins"},
    {16, "{a} dismissed {m} as admin", "{a} changed the group admins"},
    {18, "Your security code with {a} changed", "Your security code with {a} changed"},
    {19,
     "Messages and calls are end-to-end encrypted. No one outside of this chat can read or listen to them.",
     "Messages and calls are end-to-end encrypted. No one outside of this chat can read or listen to them."},
    {20, "{a} joined using this group's invite link", "{a} joined using this group's invite link"},
    {21, "{a} changed this group's icon", "{a} changed this group's icon"},
    {27, "{a} changed the group description", "{a} changed the group description"},
    {28, "{a} changed their phone number", "{a} changed their phone number"},
    {29, "{a} changed this group's settings", "{a} changed this group's settings"},
    {46, "This chat is with a business account", "This chat is with a business account"},
    {56, "{a} changed the disappearing messages setting", "{a} changed the disappearing messages setting"},
    {58, "{a} changed the disappearing messages setting", "{a} changed the disappearing messages setting"},
    {67,
     "Messages and calls are end-to-end encrypted. No one outside of this chat can read or listen to them.",
     "Messages and calls are end-to-end encrypted. No one outside of this chat can read or listen to them."},
};

const KindCode* kindCodeOf(std::int64_t type) {
    const auto found = std::lower_bound(std::begin(kKinds), std::end(kKinds), type,
                                        [](const KindCode& k, std::int64_t t) { return k.type < t; });
    return found != std::end(kKinds) && found->type == type ? found : nullptr;
}

}  // namespace

ModernKind modernKindOf(std::int64_t messageType) {
    const KindCode* code = kindCodeOf(messageType);
    return code != nullptr ? code->kind : ModernKind::Unknown;
}

std::string_view modernKindWords(std::int64_t messageType) {
    const KindCode* code = kindCodeOf(messageType);
    return code != nullptr ? code->words : std::string_view("Message");
}

const EventWords* eventWordsOf(std::int64_t actionType) {
    const auto found = std::lower_bound(std::begin(kEvents), std::end(kEvents), actionType,
                                        [](const EventWords& e, std::int64_t t) { return e.actionType < t; });
    return found != std::end(kEvents) && found->actionType == actionType ? found : nullptr;
}

}  // namespace talvio
