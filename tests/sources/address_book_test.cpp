// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/address_book.h"
#include "sources/contact_table.h"
#include "sources/phone_number.h"
#include "sources/vcard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace talvio {
namespace {

struct Typed {
    const char* typed;
    const char* owner;
    const char* expected;
};

void expectNormalised(const std::vector<Typed>& cases) {
    for (const Typed& c : cases)
        EXPECT_EQ(normalizePhoneNumber(c.typed, c.owner), c.expected) << c.typed << " with owner " << c.owner;
}

TEST(NormalizePhoneNumber, InternationalForms) {
    expectNormalised({
        {"+49 151 1234567", "", "491511234567"},
        {"+49 (0)151 123-4567", "49", "491511234567"},  // the "(0)" is dialled only at home
        {"+44 (0) 20 7946 0958", "49", "442079460958"},
        {"0049 151/123.45.67", "49", "491511234567"},
        {"0049 151 1234567", "1", "491511234567"},
        {"011 49 151 1234567", "1", "491511234567"},
        {"0011 49 151 1234567", "61", "491511234567"},
        {"+39 06 1234 5678", "49", "390612345678"},
        {"+7 (916) 123-45-67", "49", "79161234567"},
        // No-break spaces, typographic dashes, direction marks, a full-width plus and Arabic digits.
        {"+49\xC2\xA0"
         "151\xE2\x80\x91"
         "1234567",
         "", "491511234567"},
        {"\xE2\x80\xAA+971 50 123 4567\xE2\x80\xAC", "", "971501234567"},
        {"\xEF\xBC\x8B\xD9\xA9\xD9\xA7\xD9\xA1\xD9\xA5\xD9\xA0\xD9\xA1\xD9\xA2\xD9\xA3\xD9\xA4\xD9\xA5\xD9"
         "\xA6"
         "\xD9\xA7",
         "", "971501234567"},
    });
}

TEST(NormalizePhoneNumber, NationalNumbersTakeTheOwnersCountry) {
    expectNormalised({
        {"0151 1234567", "49", "491511234567"},
        {"(555) 123-4567", "1", "15551234567"},
        {"1-555-123-4567", "1", "15551234567"},
        {"06 1234 5678", "39", "390612345678"},   // Italian landlines keep their 0
        {"347 123 4567", "39", "393471234567"},   // and mobiles have none
        {"8 916 123-45-67", "7", "79161234567"},  // Russia dials 8 first
        {"06 30 123 4567", "36", "36301234567"},  // Hungary dials 06
        {"612 34 56 78", "34", "34612345678"},    // Spain has no trunk prefix
        {"020 7946 0958", "44", "442079460958"},
        {"491511234567", "49", "491511234567"},  // international without its '+'
    });
}

TEST(NormalizePhoneNumber, ExtensionsAreDroppedAndNonNumbersGiveNothing) {
    expectNormalised({
        {"+49 30 1234567 x12", "", "49301234567"},
        {"+49 30 1234567 ext. 12", "", "49301234567"},
        {"+49-30-1234567;ext=12", "", "49301234567"},
        {"+49 30 1234567,,12", "", "49301234567"},
        {"1-800-FLOWERS", "1", ""},
        {"+49 30 CALL ME", "", ""},
        {"*31#", "49", ""},
        {"++49 30 1234567", "", ""},
        {"+49 30 +1234567", "", ""},
        {"0151 1234567", "", ""},  // national, and no country to place it in
        {"1234567", "49", ""},     // local, without its area code
        {"555 1234", "1", ""},
        {"+49 12", "", ""},  // too short for a phone number
        {"+49 1234 5678 9012 3456", "", ""},
        {"+28 1234 5678", "", ""},  // no such country
        {"", "49", ""},
        {"x12", "49", ""},
    });
}

TEST(CallingCodeOf, LongestCodeThatBeginsTheNumber) {
    EXPECT_EQ(callingCodeOf("4915112345678"), "49");
    EXPECT_EQ(callingCodeOf("15551234567"), "1");
    EXPECT_EQ(callingCodeOf("79161234567"), "7");
    EXPECT_EQ(callingCodeOf("201001234567"), "20");
    EXPECT_EQ(callingCodeOf("27821234567"), "27");
    EXPECT_EQ(callingCodeOf("351912345678"), "351");
    EXPECT_EQ(callingCodeOf("380501234567"), "380");
    EXPECT_EQ(callingCodeOf("971501234567"), "971");
    EXPECT_EQ(callingCodeOf("8613812345678"), "86");
    EXPECT_EQ(callingCodeOf("85291234567"), "852");
    EXPECT_EQ(callingCodeOf("2812345"), "");
    EXPECT_EQ(callingCodeOf("0049"), "");
    EXPECT_EQ(callingCodeOf(""), "");
}

TEST(LikelyOwnCountryCode, MostCommonAmongPersonJids) {
    EXPECT_EQ(likelyOwnCountryCode({"491511111111@s.whatsapp.net", "491522222222:12@s.whatsapp.net",
                                    "447700900123@s.whatsapp.net", "447700900124@s.whatsapp.net",
                                    "447700900125-1400000000@g.us", "447700900126@g.us", "status@broadcast",
                                    "UnGroupedFriend", "491533333333@s.whatsapp.net"}),
              "49");
    // Ties go to the smaller code.
    EXPECT_EQ(likelyOwnCountryCode({"491511111111@s.whatsapp.net", "447700900123@s.whatsapp.net"}), "44");
    EXPECT_EQ(likelyOwnCountryCode({"15551234567@s.whatsapp.net", "447700900123@s.whatsapp.net"}), "1");
    EXPECT_EQ(likelyOwnCountryCode({"120363012345678901@g.us", "abc@s.whatsapp.net"}), "");
    EXPECT_EQ(likelyOwnCountryCode({}), "");
}

std::vector<AddressCard> germanAddressBook() {
    return parseVCards(
        "BEGIN:VCARD\nVERSION:3.0\nFN:Mama\nTEL;TYPE=CELL:0151 1111111\nTEL:+49 30 1234567\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Jane Doe\nTEL:+44 (0)7700 900123\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Mum (work phone)\nTEL:0049 151 1111111\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Pizza\nTEL:1-800-PIZZA\nTEL:0151 2222222\nEND:VCARD\n");
}

TEST(AddressBook, NamesPersonJidsByTheirDigits) {
    const AddressBook book(germanAddressBook(), "49");
    ASSERT_NE(book.nameFor("491511111111@s.whatsapp.net"), nullptr);
    EXPECT_EQ(*book.nameFor("491511111111@s.whatsapp.net"), "Mama");  // the first card wins
    EXPECT_EQ(*book.nameFor("491511111111:12@s.whatsapp.net"), "Mama");
    EXPECT_EQ(*book.nameFor("491511111111"), "Mama");
    EXPECT_EQ(*book.nameFor("49301234567@s.whatsapp.net"), "Mama");
    EXPECT_EQ(*book.nameFor("447700900123@s.whatsapp.net"), "Jane Doe");
    EXPECT_EQ(*book.nameFor("491512222222@s.whatsapp.net"), "Pizza");
    EXPECT_EQ(book.nameFor("491511111111@g.us"), nullptr);
    EXPECT_EQ(book.nameFor("491511111111-1400000000@g.us"), nullptr);
    EXPECT_EQ(book.nameFor("491519999999@s.whatsapp.net"), nullptr);
    EXPECT_EQ(book.nameFor("status@broadcast"), nullptr);
    EXPECT_EQ(book.nameFor(""), nullptr);
    EXPECT_EQ(book.size(), 4u);

    // Without the owner's country only the numbers written internationally are known.
    const AddressBook noCountry(germanAddressBook(), "");
    EXPECT_EQ(*noCountry.nameFor("491511111111@s.whatsapp.net"), "Mum (work phone)");
    EXPECT_EQ(noCountry.nameFor("491512222222@s.whatsapp.net"), nullptr);
}

TEST(AddressBook, FindsTheOlderNumberingsJidsKeep) {
    EXPECT_EQ(jidVariants("525512345678"), std::vector<std::string>{"5215512345678"});
    EXPECT_EQ(jidVariants("5215512345678"), std::vector<std::string>{"525512345678"});
    EXPECT_EQ(jidVariants("541112345678"), std::vector<std::string>{"5491112345678"});
    EXPECT_EQ(jidVariants("5511987654321"), std::vector<std::string>{"551187654321"});
    EXPECT_EQ(jidVariants("551187654321"), std::vector<std::string>{"5511987654321"});
    EXPECT_TRUE(jidVariants("551132345678").empty());  // a landline never had the ninth digit
    EXPECT_TRUE(jidVariants("491511234567").empty());

    const AddressBook book(parseVCards("BEGIN:VCARD\nFN:Lupita\nTEL:+52 55 1234 5678\nEND:VCARD\n"
                                       "BEGIN:VCARD\nFN:Jo\u00E3o\nTEL:+55 11 98765-4321\nEND:VCARD\n"
                                       "BEGIN:VCARD\nFN:Old Line\nTEL:+55 11 8765-4321\nEND:VCARD\n"),
                           "");
    EXPECT_EQ(*book.nameFor("5215512345678@s.whatsapp.net"), "Lupita");
    EXPECT_EQ(*book.nameFor("525512345678@s.whatsapp.net"), "Lupita");
    EXPECT_EQ(*book.nameFor("5511987654321@s.whatsapp.net"), "Jo\u00E3o");
    // A number as written beats another card's variant of it.
    EXPECT_EQ(*book.nameFor("551187654321@s.whatsapp.net"), "Old Line");
}

TEST(NameRowsFromAddressBook, NamesOnlyRowsWithoutANameOfTheirOwn) {
    ContactTable table;
    table.create(8);
    const auto add = [&](const char* jid, const char* name) {
        ContactEntry& row = table.appendRow();
        row.jid = jid;
        row.displayName = name;
    };
    add("491511111111@s.whatsapp.net", "491511111111");  // only its number: named
    add("491512222222@s.whatsapp.net", "");              // no name: named
    add("49301234567@s.whatsapp.net", "Mother");         // a name from wa.db: kept
    add("447700900123@s.whatsapp.net", "447700900123");
    add("491519999999@s.whatsapp.net", "491519999999");  // not in the book
    add("491511111111-1400000000@g.us", "Family");       // a group subject: kept
    add("491512222222-1500000000@g.us", "");             // a group without a subject
    const std::vector<ContactEntry> before = table.rows();

    // The national numbers are placed by the country most chats share (49 here).
    EXPECT_EQ(nameRowsFromAddressBook(table, germanAddressBook()), 3);
    EXPECT_EQ(table.row(0).displayName, kPlaceholderName);
    EXPECT_EQ(table.row(1).displayName, "Mama");
    EXPECT_EQ(table.row(2).displayName, "Pizza");
    EXPECT_EQ(table.row(3).displayName, "Mother");
    EXPECT_EQ(table.row(4).displayName, "Jane Doe");
    EXPECT_EQ(table.row(5).displayName, "491519999999");
    EXPECT_EQ(table.row(6).displayName, "Family");
    EXPECT_EQ(table.row(7).displayName, "");
    for (int i = 0; i < table.count(); ++i)
        EXPECT_EQ(table.row(i).jid, before[static_cast<std::size_t>(i)].jid);

    EXPECT_EQ(nameRowsFromAddressBook(table, {}), 0);
    ContactTable empty;
    EXPECT_EQ(nameRowsFromAddressBook(empty, germanAddressBook()), 0);
}

}  // namespace
}  // namespace talvio
