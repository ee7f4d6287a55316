// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "sources/vcard.h"
#include "sources/text_convert.h"
#include "tests/support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace talvio {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ParseVCards, Version21QuotedPrintableAndCharsets) {
    // As Android writes it: UTF-8 in quoted-printable with soft line breaks, several TEL lines.
    const std::string text =
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=96zt=C3=BCrk;Ay=C5=9Fe;;;\r\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Ay=C5=9Fe =C3=96z=\r\n"
        "t=C3=BC=\r\n"
        "rk\r\n"
        "TEL;CELL;PREF:+90 532 123 45 67\r\n"
        "TEL;HOME;VOICE:0212 555 12 34\r\n"
        "END:VCARD\r\n"
        // Latin-1, once in quoted-printable with a bare parameter and once as raw bytes; no FN.
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller;J=FCrgen\r\n"
        "TEL;CELL:0151 1234567\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "FN;CHARSET=windows-1252:Fran\xE7ois \x80 Co\r\n"
        "TEL:+33 6 12 34 56 78\r\n"
        "END:VCARD\r\n";
    const std::vector<AddressCard> cards = parseVCards(text);
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].name,
              "Ay\xC5\x9F"
              "e \xC3\x96zt\xC3\xBCrk");
    EXPECT_THAT(cards[0].numbers, ElementsAre("+90 532 123 45 67", "0212 555 12 34"));
    EXPECT_EQ(cards[1].name, "J\xC3\xBCrgen M\xC3\xBCller");
    EXPECT_EQ(cards[2].name, "Fran\xC3\xA7ois \xE2\x82\xAC Co");
}

TEST(ParseVCards, Version30EscapesGroupsAndStructuredNames) {
    const std::string text =
        "BEGIN:VCARD\n"
        "VERSION:3.0\n"
        "FN:Smith\\, John \\\\ Co\\; Ltd\n"
        "N:Smith;John;;;\n"
        "item1.TEL;type=CELL;type=pref:+1 (555) 123-4567\n"
        "item1.X-ABLabel:mobile\n"
        "item2.tel;TYPE=\"work:voice\":555-987-6543\n"
        "END:VCARD\n"
        "begin:vcard\n"
        "version:3.0\n"
        "fn:\n"
        "n:Stevenson;John;Philip,Paul;Dr.;Jr.\n"
        "NOTE:two\\nlines\n"
        "TEL:+44 20 7946 0958\n"
        "end:vcard\n"
        "BEGIN:VCARD\n"
        "VERSION:3.0\n"
        "FN:Line\\nbreak\\:\tand\\ttab\n"
        "TEL:1\n"
        "END:VCARD\n";
    const std::vector<AddressCard> cards = parseVCards(text);
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].name, "Smith, John \\ Co; Ltd");
    // A colon inside a quoted parameter does not start the value.
    EXPECT_THAT(cards[0].numbers, ElementsAre("+1 (555) 123-4567", "555-987-6543"));
    EXPECT_EQ(cards[1].name, "Dr. John Philip Paul Stevenson Jr.");
    // Names stay on one line; unknown escapes are kept as written.
    EXPECT_EQ(cards[2].name, "Line break: and\\ttab");
}

TEST(ParseVCards, Version40TelUris) {
    const std::string text =
        "BEGIN:VCARD\r\n"
        "VERSION:4.0\r\n"
        "FN:Anna Berg\r\n"
        "TEL;VALUE=uri;TYPE=\"voice,cell\";PREF=1:tel:+49-151-1234-5678\r\n"
        "TEL;VALUE=uri:tel:+1-555-555-5555;ext=5555\r\n"
        "TEL;TYPE=home:TEL:+46 8 123 456\r\n"
        "END:VCARD\r\n";
    const std::vector<AddressCard> cards = parseVCards(text);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_THAT(cards[0].numbers,
                ElementsAre("+49-151-1234-5678", "+1-555-555-5555;ext=5555", "+46 8 123 456"));
}

TEST(ParseVCards, LineEndsFoldingAndByteOrderMarks) {
    // CR alone ends lines (old Macs); later versions drop the one space that folds a line.
    const std::string crOnly =
        "\xEF\xBB\xBF"
        "BEGIN:VCARD\rVERSION:3.0\rFN:Maximilian Alexander\r  von Hohenberg-Sch\r \xC3\xB6nau\r"
        "TEL:+43 1 234\r 5678\rEND:VCARD\r";
    std::vector<AddressCard> cards = parseVCards(crOnly);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, "Maximilian Alexander von Hohenberg-Sch\xC3\xB6nau");
    EXPECT_THAT(cards[0].numbers, ElementsAre("+43 1 2345678"));

    // vCard 2.1 folds at white space and keeps it.
    cards = parseVCards("BEGIN:VCARD\nVERSION:2.1\nFN:Johann Sebastian\n Bach\nTEL:+49 341 1\nEND:VCARD");
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, "Johann Sebastian Bach");

    // UTF-16 (little-endian, with its mark), as some desktop address books save.
    const std::u16string wide = u"BEGIN:VCARD\r\nFN:\u00C5sa \u6771\r\nTEL:+46 70 123 45 67\r\nEND:VCARD\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t c : wide) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    cards = parseVCards(utf16);
    ASSERT_EQ(cards.size(), 1u);
    EXPECT_EQ(cards[0].name, "\xC3\x85sa \xE6\x9D\xB1");
}

TEST(ParseVCards, DamagedFilesKeepTheCompleteCards) {
    const std::string text =
        "Exported by some program\n"
        "TEL:+49 30 999999\n"  // outside any card
        "BEGIN:VCARD\nFN:No Number\nEMAIL:a@b.c\nEND:VCARD\n"
        "BEGIN:VCARD\nTEL:+49 30 111111\nEND:VCARD\n"  // no name
        "garbage without colon\n\n\n"
        "BEGIN:VCARD\nFN:Never Ended\nTEL:+49 30 222222\n"  // the next BEGIN drops it
        "BEGIN:VCARD\nVERSION:2.1\nFN:Kept\nTEL:+49 30 333333\n"
        // A 2.1 AGENT holds a card of its own, which neither ends nor replaces this one.
        "AGENT:\nBEGIN:VCARD\nFN:Assistant\nTEL:+49 30 444444\nEND:VCARD\n"
        "TEL:+49 30 555555\nEND:VCARD\n"
        "END:VCARD\n"  // a stray END
        "BEGIN:VCARD\nFN:Photo\nPHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ\n AAAA\n END:VCARD\n AAAA\n\n"
        "TEL:+49 30 666666\nEND:VCARD\n"
        "BEGIN:VCARD\nFN:Truncated\nTEL:+49 30 777777\n";
    const std::vector<AddressCard> cards = parseVCards(text);
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].name, "Kept");
    EXPECT_THAT(cards[0].numbers, ElementsAre("+49 30 333333", "+49 30 555555"));
    EXPECT_EQ(cards[1].name, "Photo");
}

TEST(ParseVCards, HostileValuesStaySafe) {
    std::string text = "BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE:=FF=FE\xC3(=\nEND:VCARD\n";
    // An absurd folded name (one byte per line) is dropped; N stands in for it.
    text += "BEGIN:VCARD\nVERSION:3.0\nN:Short;Name\nFN:x\n";
    for (int i = 0; i < 200000; ++i)
        text += " y\n";
    text += "TEL:+1 555 0100\nEND:VCARD\n";
    text += "BEGIN:VCARD\nFN:" + std::string(60000, 'z') + "\nTEL:+1 555 0101\nEND:VCARD\n";
    // Lines longer than any name or number are passed over whole, however they are built.
    text += "BEGIN:VCARD\nFN:" + std::string(70000, 'w') + "\nN:" + std::string(1 << 20, ';') + "\nTEL;" +
            std::string(1 << 20, ';') + ":1\nTEL:+1 555 0100\nEND:VCARD\n";
    text += "BEGIN:VCARD\nFN:B64\nFN;ENCODING=b:QQ==\nTEL;ENCODING=b:KzE=\nTEL:+1 555 0102\nEND:VCARD\n";
    const std::vector<AddressCard> cards = parseVCards(text);
    // The first card has no number; the others keep what is sane.
    ASSERT_EQ(cards.size(), 3u);
    EXPECT_EQ(cards[0].name, "Name Short");
    EXPECT_EQ(cards[1].name, std::string(512, 'z'));
    EXPECT_THAT(cards[2].numbers, ElementsAre("+1 555 0102"));

    const std::vector<AddressCard> broken =
        parseVCards("BEGIN:VCARD\nFN:Bad \xFF\xC3 bytes\x01\nTEL:+1\xE2\x80 555\nEND:VCARD");
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_EQ(broken[0].name, "Bad \xEF\xBF\xBD\xEF\xBF\xBD bytes");
    EXPECT_TRUE(isWellFormedUtf8(broken[0].numbers[0]));
}

class LoadVCardFile : public ::testing::Test {
protected:
    test::TempDir m_dir;
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir.path() + name;
        test::writeFile(path, bytes);
        return path;
    }
};

TEST_F(LoadVCardFile, ReadsCardsAndLeavesTheFileAsItWas) {
    const std::string bytes = "BEGIN:VCARD\r\nFN:Ola\r\nTEL:+47 912 34 567\r\nEND:VCARD\r\n";
    const std::string path = write("contacts.vcf", bytes);
    ::chmod(path.c_str(), 0400);
    const VCardFile file = loadVCardFile(path);
    EXPECT_EQ(file.error, "");
    ASSERT_EQ(file.cards.size(), 1u);
    EXPECT_EQ(file.cards[0].name, "Ola");
    EXPECT_EQ(test::readFile(path), bytes);
}

TEST_F(LoadVCardFile, ErrorsSayWhatToDo) {
    EXPECT_THAT(loadVCardFile(write("notes.txt", "Shopping: milk\n")).error,
                HasSubstr("is not a contacts file (vCard). Export the contacts from the phone's address "
                          "book as a .vcf file and choose that file."));
    EXPECT_THAT(loadVCardFile(write("empty.vcf", "")).error, HasSubstr("is not a contacts file"));
    EXPECT_THAT(loadVCardFile(write("mail.vcf", "BEGIN:VCARD\nFN:A\nEMAIL:a@b\nEND:VCARD\n")).error,
                HasSubstr("holds no contact with both a name and a phone number"));
    EXPECT_THAT(loadVCardFile(m_dir.path() + "missing.vcf").error, HasSubstr("cannot be read"));
    EXPECT_THAT(loadVCardFile(m_dir.path()).error, HasSubstr("is a folder"));

    // A FIFO would block a plain read for ever.
    const std::string fifo = m_dir.path() + "pipe.vcf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_THAT(loadVCardFile(fifo).error, HasSubstr("cannot be read"));

    // One byte over the limit, sparse so that it costs no disk.
    const std::string big = write("huge.vcf", "BEGIN:VCARD\n");
    ASSERT_EQ(::truncate(big.c_str(), static_cast<off_t>(kMaxVCardFileBytes + 1)), 0);
    const VCardFile tooLarge = loadVCardFile(big);
    EXPECT_THAT(tooLarge.error, HasSubstr("larger than 64 MiB"));
    EXPECT_TRUE(tooLarge.cards.empty());
}

}  // namespace
}  // namespace talvio
