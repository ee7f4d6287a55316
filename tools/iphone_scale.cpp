// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_scale.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "sources/database.h"
#include "tools/database_build.h"
#include "tools/iphone_folder.h"
#include "tools/iphone_schema.h"
#include "tools/profile_picture.h"
#include "tools/random.h"
#include "tools/scale_plan.h"
#include "tools/text_pool.h"

namespace talvio::fixture {

namespace {

// Core Data entity numbers, as in the schema's Z_PRIMARYKEY.
constexpr int kEntChatSession = 1;
constexpr int kEntGroupMember = 2;
constexpr int kEntMediaItem = 3;
constexpr int kEntMessage = 4;
constexpr int kEntProfilePicture = 5;

constexpr std::string_view kInsertMessage =
    "INSERT INTO ZWAMESSAGE (Z_PK, Z_ENT, Z_OPT, ZCHILDMESSAGESDELIVEREDCOUNT, ZCHILDMESSAGESPLAYEDCOUNT, "
    "ZCHILDMESSAGESREADCOUNT, ZDATAITEMVERSION, ZDOCID, ZENCRETRYCOUNT, ZFILTEREDRECIPIENTCOUNT, ZFLAGS, "
    "ZGROUPEVENTTYPE, ZISFROMME, ZMESSAGEERRORSTATUS, ZMESSAGESTATUS, ZMESSAGETYPE, ZSORT, ZSPOTLIGHTSTATUS, "
    "ZSTARRED, ZCHATSESSION, ZGROUPMEMBER, ZLASTSESSION, ZMEDIAITEM, ZMESSAGEINFO, ZPARENTMESSAGE, "
    "ZMESSAGEDATE, "
    "ZSENTDATE, ZFROMJID, ZMEDIASECTIONID, ZPHASH, ZPUSHNAME, ZSTANZAID, ZTEXT, ZTOJID) VALUES "
    "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20, ?21, ?22, "
    "?23, "
    "?24, ?25, ?26, ?27, ?28, ?29, ?30, ?31, ?32, ?33, ?34);";

constexpr std::string_view kInsertMedia =
    "INSERT INTO ZWAMEDIAITEM (Z_PK, Z_ENT, Z_OPT, ZMESSAGE, ZMEDIALOCALPATH, ZXMPPTHUMBPATH, ZTITLE, "
    "ZVCARDNAME, "
    "ZVCARDSTRING, ZLATITUDE, ZLONGITUDE, ZFILESIZE, ZMOVIEDURATION, ZMETADATA, ZMEDIAURL) VALUES "
    "(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, NULL, ?14);";

constexpr std::string_view kInsertChat =
    "INSERT INTO ZWACHATSESSION (Z_PK, Z_ENT, Z_OPT, ZARCHIVED, ZCONTACTABID, ZFLAGS, ZHIDDEN, "
    "ZIDENTITYVERIFICATIONEPOCH, ZIDENTITYVERIFICATIONSTATE, ZMESSAGECOUNTER, ZREMOVED, ZSESSIONTYPE, "
    "ZSPOTLIGHTSTATUS, ZUNREADCOUNT, ZGROUPINFO, ZLASTMESSAGE, ZPROPERTIES, ZLASTMESSAGEDATE, "
    "ZLOCATIONSHARINGENDDATE, ZCONTACTIDENTIFIER, ZCONTACTJID, ZETAG, ZLASTMESSAGETEXT, ZPARTNERNAME, "
    "ZSAVEDINPUT) "
    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, 0, 0, ?7, 0, ?8, 0, ?9, ?10, ?11, NULL, ?12, NULL, ?13, ?14, ?15, "
    "?16, ?17, "
    "NULL);";

struct Chat {
    std::int64_t pk = 0;
    std::string jid;
    std::string number;
    bool group = false;
    std::optional<std::string> partnerName;
    std::string chosenName;
    int language = 0;
    std::int64_t size = 0;
    double first = 0;
    double last = 0;
    std::vector<std::int64_t> members;  // ZWAGROUPMEMBER Z_PK
    std::vector<std::string> memberNames;
    std::int64_t sort = 0;
    std::int64_t lastMessage = 0;
    double lastDate = 0;
    std::string lastText;
    std::int64_t unread = 0;
    std::vector<std::string> pictures;  // ZPATH values, without extension
};

struct Event {
    double date;
    std::uint32_t chat;
};

template <typename T>
void bindOptional(Statement& statement, int index, const std::optional<T>& value) {
    if (value) {
        statement.bind(index, *value);
    } else {
        statement.bindNull(index);
    }
}

std::string hex(Random& random, int digits, bool upper) {
    const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string out;
    for (int i = 0; i < digits; ++i)
        out += alphabet[random.below(16)];
    return out;
}

std::string uuid(Random& random) {
    return hex(random, 8, true) + "-" + hex(random, 4, true) + "-4" + hex(random, 3, true) + "-A" +
           hex(random, 3, true) + "-" + hex(random, 12, true);
}

std::string digits(std::uint64_t value, int count) {
    std::string out(static_cast<std::size_t>(count), '0');
    for (int i = count - 1; i >= 0; --i, value /= 10)
        out[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
    return out;
}

// Message kinds by share, per mille; group events only in groups.
int drawType(Random& random, bool group) {
    const int roll = static_cast<int>(random.below(1000));
    if (roll < 670)
        return 0;
    if (roll < 770)
        return 1;
    if (roll < 790)
        return 2;
    if (roll < 850)
        return 3;
    if (roll < 855)
        return 4;
    if (roll < 860)
        return 5;
    if (roll < 900)
        return 7;
    if (roll < 915)
        return 8;
    if (roll < 925)
        return 10;
    if (roll < 935)
        return 11;
    if (roll < 945)
        return 14;
    if (roll < 975)
        return 15;
    return group ? 6 : 0;
}

const char* extensionOf(int type) {
    switch (type) {
        case 1:
            return ".jpg";
        case 2:
        case 11:
            return ".mp4";
        case 3:
            return ".opus";
        case 8:
            return ".pdf";
        case 15:
            return ".webp";
        default:
            return "";
    }
}

class Generator {
public:
    Generator(const IphoneScaleGenerator::Options& options) : m_options(options), m_random(options.seed) {}

    Failure run();

private:
    void planChats();
    std::vector<Event> planEvents();
    Failure writeMessages(Database& db, const std::vector<Event>& events);
    Failure writeChats(Database& db);
    Failure writeContacts(const IphoneFolder& folder);
    Failure drawPictures(const IphoneFolder& folder);

    const IphoneScaleGenerator::Options& m_options;
    Random m_random;
    std::vector<Chat> m_chats;
    std::int64_t m_memberCount = 0;
    std::int64_t m_mediaCount = 0;
    std::int64_t m_pictureCount = 0;
};

void Generator::planChats() {
    std::vector<std::int64_t> sizes = ScalePlan::chatSizes(m_options.chats, m_options.messages, m_random);
    // A few chats whose messages were all deleted: a real store keeps them, without messages.
    const std::size_t empty = sizes.size() / 200;
    for (std::size_t i = 0; i < empty && sizes.size() > 2; ++i) {
        sizes[1] += sizes[sizes.size() - 1 - i];
        sizes[sizes.size() - 1 - i] = 0;
    }
    std::unordered_set<std::string> numbers;
    const double span = IphoneScaleGenerator::kLastDate - IphoneScaleGenerator::kFirstDate;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        Chat chat;
        chat.pk = static_cast<std::int64_t>(i) + 1;
        chat.size = sizes[i];
        // The busiest chat is a person, as it is for most people; about one chat in twelve is a group.
        chat.group = i != 0 && m_random.chance(0.08);
        do {
            chat.number = "49" + digits(1500000000ull + m_random.below(8000000000ull), 10);
        } while (!numbers.insert(chat.number).second);
        chat.language =
            static_cast<int>(m_random.below(static_cast<std::uint64_t>(TextPool::languageCount())));
        if (chat.group) {
            const auto created = static_cast<std::int64_t>(1500000000 + m_random.below(250000000));
            chat.jid = chat.number + "-" + std::to_string(created) + "@g.us";
            chat.partnerName = TextPool::groupSubject(m_random);
            const int members = 3 + static_cast<int>(m_random.below(28));
            for (int m = 0; m < members; ++m) {
                chat.members.push_back(++m_memberCount);
                chat.memberNames.push_back(TextPool::chosenName(m_random));
            }
        } else {
            chat.jid = chat.number + "@s.whatsapp.net";
            if (!m_random.chance(0.08))
                chat.partnerName = TextPool::addressBookName(m_random);
            chat.chosenName = TextPool::chosenName(m_random);
        }
        chat.first = IphoneScaleGenerator::kFirstDate + m_random.unit() * 0.85 * span;
        chat.last =
            chat.first + (IphoneScaleGenerator::kLastDate - chat.first) * (0.15 + 0.85 * m_random.unit());
        if (m_random.chance(0.6)) {
            const auto stamp = std::to_string(1600000000 + m_random.below(150000000));
            const std::string owner = chat.group ? chat.jid.substr(0, chat.jid.find('@')) : chat.number;
            chat.pictures.push_back("Media/Profile/" + owner + "-" + stamp);
            // An old picture row left behind beside the current one.
            if (m_random.chance(0.03)) {
                chat.pictures.push_back("Media/Profile/" + owner + "-" +
                                        std::to_string(1500000000 + m_random.below(99999999)));
            }
        }
        m_chats.push_back(std::move(chat));
    }
}

std::vector<Event> Generator::planEvents() {
    std::vector<Event> events;
    events.reserve(static_cast<std::size_t>(m_options.messages));
    for (std::size_t c = 0; c < m_chats.size(); ++c) {
        const Chat& chat = m_chats[c];
        for (std::int64_t k = 0; k < chat.size; ++k) {
            // Millisecond-and-finer fractions, as the phone stores them.
            const double date = chat.first + m_random.unit() * (chat.last - chat.first);
            events.push_back({date, static_cast<std::uint32_t>(c)});
        }
    }
    // A phone inserts messages as they come, so Z_PK grows with the date across all chats.
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.date < b.date; });
    return events;
}

Failure Generator::writeMessages(Database& db, const std::vector<Event>& events) {
    Statement message(db, kInsertMessage);
    Statement media(db, kInsertMedia);
    if (!message.ok() || !media.ok())
        return "cannot prepare the inserts: " + db.lastError();
    std::int64_t pk = 0;
    for (const Event& event : events) {
        Chat& chat = m_chats[event.chat];
        ++pk;
        const int type = drawType(m_random, chat.group);
        // A security notice names the chat as both sender and receiver.
        const bool notice = type == 10;
        const bool fromMe = type != 6 && !notice && m_random.chance(0.42);
        std::optional<std::string> text;
        std::optional<std::string> pushName;
        std::optional<std::int64_t> member;
        if (type == 0)
            text = TextPool::message(m_random, chat.language);
        if (type == 7)
            text = "https://example.org/" + hex(m_random, 6, false) + " " +
                   TextPool::message(m_random, chat.language);
        if (type == 1 && m_random.chance(0.2))
            text = TextPool::caption(m_random, chat.language);
        if (!fromMe && type != 6 && !notice) {
            if (chat.group) {
                const std::size_t who = m_random.below(chat.members.size());
                member = chat.members[who];
                if (m_random.chance(0.9))
                    pushName = chat.memberNames[who];
            } else if (m_random.chance(0.85)) {
                pushName = chat.chosenName;
            }
        }
        std::optional<std::int64_t> mediaPk;
        if (type == 1 || type == 2 || type == 3 || type == 4 || type == 5 || type == 8 || type == 11 ||
            type == 15) {
            mediaPk = ++m_mediaCount;
            media.reset();
            media.bind(1, *mediaPk);
            media.bind(2, std::int64_t{kEntMediaItem});
            media.bind(3, std::int64_t{1});
            media.bind(4, pk);
            std::optional<std::string> path, thumb, title, vcardName, vcard, url;
            std::optional<double> latitude, longitude;
            std::optional<std::int64_t> size, duration;
            if (type == 4) {
                vcardName = TextPool::addressBookName(m_random);
                vcard = "BEGIN:VCARD\nVERSION:3.0\nFN:" + *vcardName + "\nEND:VCARD";
            } else if (type == 5) {
                latitude = 35.0 + m_random.unit() * 25.0;
                longitude = -10.0 + m_random.unit() * 40.0;
                title = TextPool::placeName(m_random);
            } else {
                // Now and then a file was never downloaded: the item has no local path.
                if (!m_random.chance(0.05)) {
                    const std::string id = uuid(m_random);
                    path = "Media/" + chat.jid + "/" + hex(m_random, 1, false) + "/" +
                           hex(m_random, 1, false) + "/" + id + extensionOf(type);
                    if (type == 1 || type == 2) {
                        thumb = "Media/" + chat.jid + "/" + hex(m_random, 1, false) + "/" + id + ".thumb";
                    }
                }
                if (type == 8)
                    title = TextPool::documentName(m_random);
                size = static_cast<std::int64_t>(2000 + m_random.below(type == 2 ? 20000000 : 900000));
                if (type == 2 || type == 3 || type == 11)
                    duration = static_cast<std::int64_t>(1 + m_random.below(180));
                url = "https://mmg.whatsapp.net/v/t62.7118-24/" + digits(m_random.next(), 11) + "_" +
                      digits(m_random.next(), 15) + "_n.enc?ccb=11-4";
            }
            bindOptional(media, 5, path);
            bindOptional(media, 6, thumb);
            bindOptional(media, 7, title);
            bindOptional(media, 8, vcardName);
            bindOptional(media, 9, vcard);
            bindOptional(media, 10, latitude);
            bindOptional(media, 11, longitude);
            bindOptional(media, 12, size);
            bindOptional(media, 13, duration);
            bindOptional(media, 14, url);
            media.step();
            if (media.result() != 101)
                return "cannot insert a media item: " + db.lastError();
        }

        message.reset();
        message.bind(1, pk);
        message.bind(2, std::int64_t{kEntMessage});
        message.bind(3, static_cast<std::int64_t>(1 + m_random.below(6)));
        for (int column = 4; column <= 6; ++column)
            message.bind(column, std::int64_t{0});
        message.bind(7, std::int64_t{3});
        message.bind(8, std::int64_t{0});
        message.bind(9, std::int64_t{0});
        message.bind(10, static_cast<std::int64_t>(chat.group ? chat.members.size() : 0));
        message.bind(11, static_cast<std::int64_t>(m_random.below(4) == 0 ? 0x100 : 0));
        message.bind(12, static_cast<std::int64_t>(type == 6 ? 1 + m_random.below(20) : 0));
        message.bind(13, std::int64_t{fromMe ? 1 : 0});
        message.bind(14, std::int64_t{0});
        message.bind(15, static_cast<std::int64_t>(fromMe ? 8 + m_random.below(6) : (type == 6 ? 6 : 0)));
        message.bind(16, static_cast<std::int64_t>(type));
        message.bind(17, ++chat.sort);
        message.bind(18, std::int64_t{0});
        message.bind(19, static_cast<std::int64_t>(m_random.chance(0.004) ? 1 : 0));
        message.bind(20, chat.pk);
        bindOptional(message, 21, member);
        message.bindNull(22);
        bindOptional(message, 23, mediaPk);
        message.bindNull(24);
        message.bindNull(25);
        message.bind(26, event.date);
        message.bind(27, event.date - (fromMe ? 0.25 : 1.0 + m_random.unit() * 60.0));
        if (fromMe) {
            message.bindNull(28);
        } else {
            message.bind(28, chat.jid);
        }
        if (mediaPk) {
            char section[16];
            std::snprintf(section, sizeof section, "%d-%02d",
                          2001 + static_cast<int>(event.date / 31557600.0),
                          1 + static_cast<int>(m_random.below(12)));
            message.bind(29, std::string_view(section));
        } else {
            message.bindNull(29);
        }
        message.bindNull(30);
        bindOptional(message, 31, pushName);
        message.bind(32, (fromMe ? "3EB0" : "3A") + hex(m_random, fromMe ? 16 : 18, true));
        bindOptional(message, 33, text);
        if (fromMe || notice) {
            message.bind(34, chat.jid);
        } else {
            message.bindNull(34);
        }
        message.step();
        if (message.result() != 101)
            return "cannot insert a message: " + db.lastError();

        chat.lastMessage = pk;
        chat.lastDate = event.date;
        chat.lastText = text.value_or("");
        if (!fromMe && m_random.chance(0.01))
            ++chat.unread;
    }
    return std::nullopt;
}

Failure Generator::writeChats(Database& db) {
    Statement chatInsert(db, kInsertChat);
    Statement memberInsert(
        db,
        "INSERT INTO ZWAGROUPMEMBER (Z_PK, Z_ENT, Z_OPT, ZISACTIVE, ZISADMIN, ZCHATSESSION, "
        "ZCONTACTNAME, ZFIRSTNAME, ZMEMBERJID) VALUES (?1, ?2, 1, 1, ?3, ?4, ?5, ?6, ?7);");
    Statement pictureInsert(
        db,
        "INSERT INTO ZWAPROFILEPICTUREITEM (Z_PK, Z_ENT, Z_OPT, ZREQUESTDATE, ZJID, ZPATH, "
        "ZPICTUREID) VALUES (?1, ?2, 1, ?3, ?4, ?5, ?6);");
    if (!chatInsert.ok() || !memberInsert.ok() || !pictureInsert.ok())
        return "cannot prepare: " + db.lastError();
    for (Chat& chat : m_chats) {
        chatInsert.reset();
        chatInsert.bind(1, chat.pk);
        chatInsert.bind(2, std::int64_t{kEntChatSession});
        chatInsert.bind(3, static_cast<std::int64_t>(1 + m_random.below(40)));
        chatInsert.bind(4, static_cast<std::int64_t>(m_random.chance(0.05) ? 1 : 0));
        chatInsert.bind(5, std::int64_t{0});
        chatInsert.bind(6, std::int64_t{0});
        chatInsert.bind(7, chat.sort);
        chatInsert.bind(8, std::int64_t{chat.group ? 1 : 0});
        chatInsert.bind(9, chat.unread);
        chatInsert.bindNull(10);
        if (chat.lastMessage != 0) {
            chatInsert.bind(11, chat.lastMessage);
            chatInsert.bind(12, chat.lastDate);
            chatInsert.bind(15, chat.lastText);
        } else {
            chatInsert.bindNull(11);
            chatInsert.bindNull(12);
            chatInsert.bindNull(15);
        }
        if (chat.group) {
            chatInsert.bindNull(13);
        } else {
            chatInsert.bind(13, uuid(m_random) + ":ABPerson");
        }
        chatInsert.bind(14, chat.jid);
        chatInsert.bind(16, "e" + hex(m_random, 8, false));
        bindOptional(chatInsert, 17, chat.partnerName);
        chatInsert.step();
        if (chatInsert.result() != 101)
            return "cannot insert a chat: " + db.lastError();

        for (std::size_t m = 0; m < chat.members.size(); ++m) {
            memberInsert.reset();
            memberInsert.bind(1, chat.members[m]);
            memberInsert.bind(2, std::int64_t{kEntGroupMember});
            memberInsert.bind(3, std::int64_t{m == 0 ? 1 : 0});
            memberInsert.bind(4, chat.pk);
            memberInsert.bind(5, chat.memberNames[m]);
            memberInsert.bind(6, chat.memberNames[m].substr(0, chat.memberNames[m].find(' ')));
            memberInsert.bind(
                7, "49" + digits(1500000000ull + m_random.below(8000000000ull), 10) + "@s.whatsapp.net");
            memberInsert.step();
            if (memberInsert.result() != 101)
                return "cannot insert a group member: " + db.lastError();
        }
        for (const std::string& path : chat.pictures) {
            pictureInsert.reset();
            pictureInsert.bind(1, ++m_pictureCount);
            pictureInsert.bind(2, std::int64_t{kEntProfilePicture});
            pictureInsert.bind(3, IphoneScaleGenerator::kLastDate - m_random.unit() * 1e7);
            pictureInsert.bind(4, chat.jid);
            pictureInsert.bind(5, path);
            pictureInsert.bind(6, std::to_string(1000000000 + m_random.below(999999999)));
            pictureInsert.step();
            if (pictureInsert.result() != 101)
                return "cannot insert a profile picture: " + db.lastError();
        }
    }
    const std::string maxima =
        "UPDATE Z_PRIMARYKEY SET Z_MAX = CASE Z_ENT WHEN 1 THEN " + std::to_string(m_chats.size()) +
        " WHEN 2 THEN " + std::to_string(m_memberCount) + " WHEN 3 THEN " + std::to_string(m_mediaCount) +
        " WHEN 4 THEN " + std::to_string(m_options.messages) + " WHEN 5 THEN " +
        std::to_string(m_pictureCount) + " END;";
    if (db.exec(maxima) != 0)
        return "cannot update Z_PRIMARYKEY: " + db.lastError();
    return std::nullopt;
}

Failure Generator::writeContacts(const IphoneFolder& folder) {
    DatabaseBuild build;
    if (auto failure = build.create(folder.contacts(), IphoneSchema::contacts()))
        return failure;
    Database& db = build.database();
    if (db.exec("BEGIN;") != 0)
        return "cannot begin: " + db.lastError();
    Statement insert(
        db,
        "INSERT INTO ZWAADDRESSBOOKCONTACT (Z_PK, Z_ENT, Z_OPT, ZFULLNAME, ZGIVENNAME, ZLASTNAME, "
        "ZPHONENUMBER, ZWHATSAPPID, ZIDENTIFIER, ZABOUTTEXT) VALUES (?1, 1, 1, ?2, ?3, ?4, ?5, ?6, ?7, ?8);");
    std::int64_t pk = 0;
    for (const Chat& chat : m_chats) {
        if (chat.group || !chat.partnerName)
            continue;
        const std::string& full = *chat.partnerName;
        const std::size_t blank = full.find(' ');
        insert.reset();
        insert.bind(1, ++pk);
        insert.bind(2, full);
        insert.bind(3, full.substr(0, blank));
        if (blank == std::string::npos) {
            insert.bindNull(4);
        } else {
            insert.bind(4, full.substr(blank + 1));
        }
        insert.bind(5, "+" + chat.number);
        insert.bind(6, chat.jid);
        insert.bind(7, uuid(m_random) + ":ABPerson");
        insert.bind(8, TextPool::statusLine(m_random));
        insert.step();
        if (insert.result() != 101)
            return "cannot insert an address book contact: " + db.lastError();
    }
    insert = Statement();
    if (db.exec("UPDATE Z_PRIMARYKEY SET Z_MAX = " + std::to_string(pk) + "; COMMIT;") != 0) {
        return "cannot commit: " + db.lastError();
    }
    return build.finish();
}

Failure Generator::drawPictures(const IphoneFolder& folder) {
    if (!m_options.pictures)
        return std::nullopt;
    if (!ProfilePicture::available())
        return "profile pictures need a build with Qt (or --no-pictures)";
    for (const Chat& chat : m_chats) {
        for (const std::string& path : chat.pictures) {
            if (auto failure = ProfilePicture::write(folder.data() / (path + ".jpg"), path))
                return failure;
        }
    }
    return std::nullopt;
}

Failure Generator::run() {
    const IphoneFolder folder(m_options.out, {});
    if (auto failure = folder.prepare())
        return failure;
    planChats();
    const std::vector<Event> events = planEvents();

    DatabaseBuild build;
    if (auto failure = build.create(folder.chatStorage(), IphoneSchema::chatStorage()))
        return failure;
    Database& db = build.database();
    if (db.exec("BEGIN;") != 0)
        return "cannot begin: " + db.lastError();
    if (auto failure = writeMessages(db, events))
        return failure;
    if (auto failure = writeChats(db))
        return failure;
    if (db.exec("COMMIT;") != 0)
        return "cannot commit: " + db.lastError();
    if (auto failure = build.finish())
        return failure;
    if (auto failure = writeContacts(folder))
        return failure;
    return drawPictures(folder);
}

}  // namespace

Failure IphoneScaleGenerator::build(const Options& options) {
    if (options.chats == 0)
        return "iphone-scale: --chats must be at least 1";
    Generator generator(options);
    return generator.run();
}

}  // namespace talvio::fixture
