// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/text_pool.h"

#include <array>
#include <span>
#include <string_view>

namespace talvio::fixture {

namespace {

using Words = std::span<const std::string_view>;

constexpr std::string_view kGerman[] = {"Schöne Grüße aus München!",
                                        "Können wir uns morgen treffen?",
                                        "Bin gleich da.",
                                        "Hast du den Schlüssel?",
                                        "Danke für gestern, war großartig.",
                                        "Ich komme später, Stau auf der A9.",
                                        "Gute Nacht 😴",
                                        "Müssen wir noch etwas für Samstag kaufen?",
                                        "Öffnungszeiten: Mo–Fr 9–18 Uhr"};
constexpr std::string_view kFrench[] = {"Bonjour, ça va ?",
                                        "À demain à l’école !",
                                        "Crème brûlée ou tarte Tatin ?",
                                        "J’arrive dans 5 min.",
                                        "Merci beaucoup, c’était génial.",
                                        "On se voit où ce soir ?",
                                        "Très bien, à tout à l’heure 😊",
                                        "N’oublie pas le pain s’il te plaît"};
constexpr std::string_view kSpanishPortuguese[] = {"¿Dónde estás? Llegamos en cinco minutos.",
                                                   "Mañana será otro día.",
                                                   "¡Feliz cumpleaños! 🎂",
                                                   "Obrigado pela ajuda, até já!",
                                                   "Não se esqueça do jantar de sábado.",
                                                   "¿Qué tal el viaje?",
                                                   "Já chegaste a casa?"};
constexpr std::string_view kNordic[] = {"Hyvää huomenta! Nähdäänkö tänään?",
                                        "Kiitos paljon!",
                                        "Då ses vi på fredag.",
                                        "Hej! Hur mår du?",
                                        "Vi ses i morgen kl. 18.",
                                        "Kävin jo kaupassa, älä huoli."};
constexpr std::string_view kChinese[] = {
    "你好，最近怎么样？",         "明天见！",       "我们晚上一起吃饭吧。",
    "今天天气很好，出去走走吧。", "收到，谢谢你。", "周末有空吗？",
    "我已经到了，你在哪儿？",     "生日快乐！🎉",    "这个周末我们去爬山好不好？"};
constexpr std::string_view kArabic[] = {
    "مرحبا، كيف حالك؟", "شكرا جزيلا",   "إن شاء الله نلتقي غدا", "صباح الخير ☀️",
    "أين أنت الآن؟",    "تصبح على خير", "وصلت البيت، الحمد لله"};
constexpr std::string_view kOther[] = {"Привет! Как дела?",
                                       "Спасибо, до завтра.",
                                       "おはようございます！",
                                       "了解です、また後で。",
                                       "Καλημέρα! Τι κάνεις;",
                                       "Çok teşekkürler, görüşürüz.",
                                       "Dziękuję bardzo, do zobaczenia!",
                                       "Xin chào, bạn khỏe không?"};
constexpr std::string_view kEnglish[] = {"ok",
                                         "On my way",
                                         "Call me when you can",
                                         "See you at 7",
                                         "lol",
                                         "Sounds good!",
                                         "Did you see this? https://example.org/article?id=42&ref=wa",
                                         "Running late, sorry!",
                                         "Can you send me the address?",
                                         "Happy new year!! 🎆"};
constexpr std::string_view kEmoji[] = {
    "😂😂😂",       "👍",    "❤️", "🎉🎉",   "👨‍👩‍👧‍👦", "🇩🇪🇫🇷🇨🇳",         "👍🏽",
    "🙏",         "🤔", "😍",      "🥳", "👩🏾‍💻",           "🏳️‍🌈", "☕️",
    "🐈‍⬛"};

constexpr std::array<Words, 8> kLanguages = {Words(kGerman), Words(kFrench),  Words(kSpanishPortuguese),
                                             Words(kNordic), Words(kChinese), Words(kArabic),
                                             Words(kOther),  Words(kEnglish)};

// Names written in Latin letters take a family name from the Latin list; the others come whole.
constexpr std::string_view kGivenNames[] = {"Anna",  "Lukas", "Émilie", "José",  "Zoë",   "Jürgen",  "Søren",
                                            "Chloé", "Mikko", "Ingrid", "Ángel", "Linh",  "Siobhán", "Łukasz",
                                            "Ayşe",  "Nikos", "Priya",  "Olu",   "Maëlle"};
constexpr std::string_view kFamilyNames[] = {"Müller", "García",   "O'Connor", "Łukasiewicz", "Häkkinen",
                                             "Dubois", "Rossi",    "Nguyễn",   "Yılmaz",      "Souza",
                                             "Smith",  "Nakamura", "Kowalski", "Ørsted",      "Fernández"};
constexpr std::string_view kWholeNames[] = {"王伟",         "李娜",          "张敏",
                                            "محمد الهاشمي", "فاطمة الزهراء", "Ольга Иванова",
                                            "中村さくら",   "김민준",        "Δημήτρης Παπαδόπουλος"};
constexpr std::string_view kNameExtras[] = {"",     "",  "", "", " (Arbeit)", " ❤️", " 💼", " - Nachbarin",
                                            " Uni", " 🏠"};
constexpr std::string_view kChosenNames[] = {
    "~Anna~", "Lukas 🚴",  "Émi", "Pepe",    "zoe.",    "J.", "Søren K.", "🌸",        "Mikko",  "ingrid",
    "伟伟",   "محمد علي", "Оля", "さくら🌸", "Siobhán", "Ł.", "Ayşe",     "Nikos 🇬🇷", "Priya ✨"};
constexpr std::string_view kSubjects[] = {"Familie 👨‍👩‍👧",
                                          "Fußball Dienstag ⚽",
                                          "同学会",
                                          "Voyage à Lisbonne ✈️",
                                          "العائلة",
                                          "Book club 📚",
                                          "Nachbarn Hauptstraße",
                                          "Équipe projet",
                                          "周末爬山",
                                          "Hochzeit Ana & Tomás 💍",
                                          "Kita Sonnenschein",
                                          "Työporukka"};
constexpr std::string_view kPlaces[] = {"Marienplatz, München", "Café de Flore",
                                        "天安门广场",           "برج خليفة",
                                        "Praça do Comércio",    "Kauppatori, Helsinki"};
constexpr std::string_view kDocuments[] = {
    "Rechnung_2023-04.pdf",        "CV Émilie.docx",       "合同.pdf", "boarding pass.pdf",
    "Präsentation final (2).pptx", "Tabelle Ausgaben.xlsx"};
constexpr std::string_view kStatusLines[] = {"Hey there! I am using WhatsApp.",
                                             "Verfügbar",
                                             "Busy",
                                             "🌍✈️",
                                             "忙",
                                             "الحمد لله",
                                             "At the gym",
                                             "Urgent calls only"};

template <std::size_t N>
std::string_view pickFrom(Random& random, const std::string_view (&items)[N]) {
    return items[random.below(N)];
}

std::string_view phrase(Random& random, int language) {
    // A fifth of the phrases come from any language: people switch, and emoji travel.
    const Words words = random.chance(0.2)
                            ? kLanguages[random.below(kLanguages.size())]
                            : kLanguages[static_cast<std::size_t>(language) % kLanguages.size()];
    return words[random.below(words.size())];
}

}  // namespace

int TextPool::languageCount() {
    return static_cast<int>(kLanguages.size());
}

std::string TextPool::message(Random& random, int language) {
    std::string text;
    const std::uint64_t roll = random.below(1000);
    if (roll < 100)
        return std::string(pickFrom(random, kEmoji));
    // Now and then a long pasted text, and multi-line messages.
    const std::uint64_t phrases = roll < 990 ? 1 + random.below(3) : 20 + random.below(40);
    const char* separator = roll < 950 ? " " : "\n";
    for (std::uint64_t i = 0; i < phrases; ++i) {
        if (i > 0)
            text += separator;
        text += phrase(random, language);
    }
    if (random.chance(0.15)) {
        text += ' ';
        text += pickFrom(random, kEmoji);
    }
    return text;
}

std::string TextPool::caption(Random& random, int language) {
    return std::string(phrase(random, language));
}

std::string TextPool::addressBookName(Random& random) {
    if (random.chance(0.2))
        return std::string(pickFrom(random, kWholeNames)) + std::string(pickFrom(random, kNameExtras));
    std::string name(pickFrom(random, kGivenNames));
    if (random.chance(0.7)) {
        name += ' ';
        name += pickFrom(random, kFamilyNames);
    }
    name += pickFrom(random, kNameExtras);
    return name;
}

std::string TextPool::chosenName(Random& random) {
    return std::string(pickFrom(random, kChosenNames));
}

std::string TextPool::groupSubject(Random& random) {
    return std::string(pickFrom(random, kSubjects));
}

std::string TextPool::placeName(Random& random) {
    return std::string(pickFrom(random, kPlaces));
}

std::string TextPool::documentName(Random& random) {
    return std::string(pickFrom(random, kDocuments));
}

std::string TextPool::statusLine(Random& random) {
    return std::string(pickFrom(random, kStatusLines));
}

}  // namespace talvio::fixture
