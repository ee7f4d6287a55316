// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "tools/failure.h"
#include "tools/random.h"

namespace talvio::fixture {

// Milliseconds since 1970 that a generated history covers.
struct TimeSpan {
    std::int64_t first = 0;
    std::int64_t last = 0;
};

struct ScaleContact {
    std::string jid;
    std::string number;  // the jid before '@': the name of its profile picture
    bool group = false;
    bool whatsappUser = true;
    // No chat in msgstore.db: address-book entries that never wrote, or people not on WhatsApp.
    bool silent = false;
    std::optional<std::string> displayName;
    std::optional<std::string> waName;
    int language = 0;
    // Groups only.
    std::int64_t created = 0;
    bool createdByOwner = false;
    std::vector<std::string> members;  // jids of the other members, the creator first
    // Set only for the modern layout (ScaleContacts::adaptToModernLayout):
    bool inWaDb = true;       // false: only the chat in msgstore.db knows this jid
    bool lidMembers = false;  // groups: the members write under "@lid" jids once those exist
};

// The address book of a generated folder: people and (about one in twenty) groups, with the
// mix of names real wa.db files have — an address-book name, only a chosen name, or neither.
class ScaleContacts {
public:
    ScaleContacts(std::size_t count, const TimeSpan& span, Random& random);

    const std::vector<ScaleContact>& all() const { return m_contacts; }

    // Databases of 2022 on: wa.db leaves out a few people who write and most groups (their chat
    // names them), and the members of some groups write under "@lid" jids. Draws from its own
    // stream, so that everything else stays as in the legacy layout.
    void adaptToModernLayout(Random& random);

    // The wa_contacts rows of every contact that is inWaDb.
    Failure writeDatabase(const std::filesystem::path& file, Random& random) const;
    Failure writePictures(const std::filesystem::path& folder) const;

    // The phone owner's number; it shows up only inside the jids of groups the owner created.
    static constexpr const char* kOwnerNumber = "4917612345678";

private:
    std::string uniqueNumber(Random& random);
    void name(ScaleContact& contact, Random& random);
    void makeGroup(ScaleContact& contact, const std::vector<std::size_t>& people, const TimeSpan& span,
                   Random& random);

    std::vector<ScaleContact> m_contacts;
    std::unordered_set<std::string> m_numbers;  // also group ids, which must be unique too
};

}  // namespace talvio::fixture
