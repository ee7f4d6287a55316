// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_contacts.h"

#include <sqlite3.h>

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "tools/android_schema.h"
#include "tools/database_build.h"
#include "tools/profile_picture.h"
#include "tools/text_pool.h"

namespace talvio::fixture {

namespace {

struct Country {
    std::string_view code;
    int digits;  // national number length
};

constexpr Country kCountries[] = {{"49", 11}, {"33", 9},  {"34", 9},  {"351", 9}, {"358", 9},
                                  {"86", 11}, {"971", 9}, {"966", 9}, {"1", 10},  {"44", 10},
                                  {"81", 10}, {"7", 10},  {"55", 11}, {"90", 10}, {"20", 10}};

template <typename T>
void shuffle(std::vector<T>& items, Random& random) {
    for (std::size_t i = items.size(); i > 1; --i) {
        std::swap(items[i - 1], items[random.below(i)]);
    }
}

// "+49 15112345678" as an address book stores it; jids carry the bare digits.
std::string dialledNumber(std::string_view digits) {
    for (const Country& country : kCountries) {
        if (digits.starts_with(country.code) &&
            digits.size() == country.code.size() + static_cast<std::size_t>(country.digits)) {
            return "+" + std::string(country.code) + " " + std::string(digits.substr(country.code.size()));
        }
    }
    return "+" + std::string(digits);
}

void bindText(Statement& s, int index, const std::optional<std::string>& value) {
    if (value) {
        s.bind(index, std::string_view(*value));
    } else {
        s.bindNull(index);
    }
}

}  // namespace

ScaleContacts::ScaleContacts(std::size_t count, const TimeSpan& span, Random& random) {
    const std::size_t groups = count >= 4 ? std::max<std::size_t>(1, count / 20) : 0;
    m_contacts.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        m_contacts[i].group = i < groups;
    // wa.db lists people and groups in the order the phone met them, not sorted.
    shuffle(m_contacts, random);

    std::vector<std::size_t> people;
    for (std::size_t i = 0; i < count; ++i) {
        ScaleContact& contact = m_contacts[i];
        contact.language =
            static_cast<int>(random.below(static_cast<std::uint64_t>(TextPool::languageCount())));
        if (contact.group)
            continue;
        contact.number = uniqueNumber(random);
        contact.jid = contact.number + "@s.whatsapp.net";
        contact.whatsappUser = !random.chance(0.03);
        contact.silent = !contact.whatsappUser || random.chance(0.02);
        name(contact, random);
        if (contact.whatsappUser)
            people.push_back(i);
    }
    for (ScaleContact& contact : m_contacts) {
        if (contact.group)
            makeGroup(contact, people, span, random);
    }
    // A few contacts without messages, always; but never all of them.
    if (count >= 2 && std::none_of(m_contacts.begin(), m_contacts.end(), [](auto& c) { return c.silent; })) {
        m_contacts.back().silent = true;
    }
    if (std::all_of(m_contacts.begin(), m_contacts.end(), [](auto& c) { return c.silent; })) {
        m_contacts.front().silent = false;
    }
}

std::string ScaleContacts::uniqueNumber(Random& random) {
    for (;;) {
        const Country& country = kCountries[random.below(std::size(kCountries))];
        std::string number(country.code);
        number += static_cast<char>('1' + random.below(9));
        for (int d = 1; d < country.digits; ++d)
            number += static_cast<char>('0' + random.below(10));
        if (m_numbers.insert(number).second)
            return number;
    }
}

void ScaleContacts::name(ScaleContact& contact, Random& random) {
    const std::uint64_t roll = random.below(100);
    if (roll < 50) {
        contact.displayName = TextPool::addressBookName(random);
        if (random.chance(0.5))
            contact.waName = TextPool::chosenName(random);
    } else if (roll < 75) {
        contact.waName = TextPool::chosenName(random);
    } else if (roll < 78) {
        // Empty rather than NULL: an address-book entry saved without a name.
        contact.displayName = "";
    }
}

void ScaleContacts::makeGroup(ScaleContact& contact, const std::vector<std::size_t>& people,
                              const TimeSpan& span, Random& random) {
    const std::int64_t length = span.last - span.first;
    contact.created =
        span.first + static_cast<std::int64_t>(random.unit() * 0.8 * static_cast<double>(length));
    contact.createdByOwner = people.empty() || random.chance(0.3);

    // Drawn with rejection rather than by shuffling a copy of everyone: groups are small and
    // address books can be large.
    const std::size_t wanted = std::min<std::size_t>(people.size(), 2 + random.below(25));
    std::unordered_set<std::size_t> chosen;
    while (chosen.size() < wanted) {
        const std::size_t person = people[random.below(people.size())];
        if (chosen.insert(person).second)
            contact.members.push_back(m_contacts[person].jid);
    }
    // Members the owner never saved: they write in the group but are in no address book.
    const std::uint64_t strangers = random.below(3);
    for (std::uint64_t i = 0; i < strangers; ++i)
        contact.members.push_back(uniqueNumber(random) + "@s.whatsapp.net");

    const std::string creator = contact.createdByOwner || contact.members.empty()
                                    ? std::string(kOwnerNumber)
                                    : contact.members.front().substr(0, contact.members.front().find('@'));
    // The same creator in the same second would give the same jid.
    do {
        contact.number = creator + "-" + std::to_string(contact.created / 1000);
        contact.created += 1000;
    } while (!m_numbers.insert(contact.number).second);
    contact.created -= 1000;
    contact.jid = contact.number + "@g.us";
    // Groups always have a subject; wa.db keeps it as the display name.
    contact.displayName = TextPool::groupSubject(random);
}

void ScaleContacts::adaptToModernLayout(Random& random) {
    for (ScaleContact& contact : m_contacts) {
        if (contact.group) {
            contact.inWaDb = random.chance(0.15);
            contact.lidMembers = random.chance(0.4);
        } else if (!contact.silent) {
            contact.inWaDb = !random.chance(0.06);
        }
    }
}

Failure ScaleContacts::writeDatabase(const std::filesystem::path& file, Random& random) const {
    DatabaseBuild build;
    if (auto failure = build.create(file, AndroidSchema::wa()))
        return failure;
    Database& db = build.database();
    db.exec("BEGIN;");
    Statement insert(
        db,
        "INSERT INTO wa_contacts (jid, is_whatsapp_user, status, status_timestamp, number, "
        "raw_contact_id, display_name, phone_type, phone_label, unseen_msg_count, photo_ts, thumb_ts, "
        "photo_id_timestamp, given_name, family_name, wa_name, sort_name, nickname, company, title, "
        "status_autodownload_disabled, keep_timestamp, is_spam_reported, is_sidelist_synced, "
        "is_business_synced, disappearing_mode_duration, disappearing_mode_timestamp) VALUES "
        "(?, ?, ?, ?, ?, ?, ?, ?, NULL, 0, 0, ?, ?, ?, ?, ?, ?, NULL, NULL, NULL, NULL, NULL, 0, 0, 0, "
        "0, 0)");
    if (!insert.ok())
        return "wa_contacts insert: " + db.lastError();
    std::int64_t rawContactId = 1000;
    for (const ScaleContact& c : m_contacts) {
        if (!c.inWaDb)
            continue;
        const bool inAddressBook = !c.group && c.displayName.has_value();
        std::optional<std::string> given, family;
        if (inAddressBook && !c.displayName->empty()) {
            const auto space = c.displayName->find(' ');
            given = c.displayName->substr(0, space);
            if (space != std::string::npos)
                family = c.displayName->substr(space + 1);
        }
        const std::int64_t pictureTime =
            c.created != 0 ? c.created / 1000 : 1600000000 + random.between(0, 1 << 27);
        insert.bind(1, std::string_view(c.jid));
        insert.bind(2, std::int64_t{c.whatsappUser ? 1 : 0});
        if (c.group || !c.whatsappUser) {
            insert.bindNull(3);
            insert.bindNull(4);
        } else {
            insert.bind(3, std::string_view(TextPool::statusLine(random)));
            insert.bind(4, pictureTime * 1000);
        }
        if (inAddressBook) {
            insert.bind(5, std::string_view(dialledNumber(c.number)));
            insert.bind(6, rawContactId++);
            insert.bind(8, std::int64_t{2});  // mobile
        } else {
            insert.bindNull(5);
            insert.bind(6, std::int64_t{-1});
            insert.bindNull(8);
        }
        bindText(insert, 7, c.displayName);
        insert.bind(9, pictureTime);
        insert.bind(10, pictureTime);
        bindText(insert, 11, given);
        bindText(insert, 12, family);
        bindText(insert, 13, c.waName);
        bindText(insert, 14, c.displayName);
        insert.step();
        if (insert.result() != SQLITE_DONE)
            return "wa_contacts insert: " + db.lastError();
        insert.reset();
    }
    insert = Statement();
    if (db.exec("COMMIT;") != SQLITE_OK)
        return "wa.db: " + db.lastError();
    return build.finish();
}

Failure ScaleContacts::writePictures(const std::filesystem::path& folder) const {
    if (!ProfilePicture::available())
        return std::nullopt;
    // Not everyone has a picture: every third person and every second group.
    for (std::size_t i = 0; i < m_contacts.size(); ++i) {
        const ScaleContact& c = m_contacts[i];
        if (i % (c.group ? 2 : 3) != 0)
            continue;
        if (auto failure = ProfilePicture::write(folder / (c.number + ".jpg"), c.jid))
            return failure;
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
