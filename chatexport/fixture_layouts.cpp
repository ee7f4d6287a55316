// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/fixture_layouts.h"

namespace talvio::chatexport::fixture {

namespace {

constexpr const char* kNoBreakSpace = "\xC2\xA0";
constexpr const char* kNarrowNoBreakSpace = "\xE2\x80\xAF";

std::vector<ExportLayout> makeLayouts() {
    std::vector<ExportLayout> layouts;
    ExportLayout l;

    l = {};
    l.id = "en-android-12h";
    l.order = DateOrder::MonthDayYear;
    l.padDayMonth = false;
    l.twelveHour = true;
    l.halfSpace = kNarrowNoBreakSpace;
    l.am = "AM";
    l.pm = "PM";
    l.chatName = "Anna Smith";
    l.textFileName = "WhatsApp Chat with Anna Smith.txt";
    l.archiveName = "WhatsApp Chat with Anna Smith.zip";
    l.attachedWord = "file attached";
    l.omittedAndroid = "<Media omitted>";
    l.encryptionNotice =
        "Messages and calls are end-to-end encrypted. No one outside of this chat, not even WhatsApp, can "
        "read or listen to them. Tap to learn more.";
    l.addedEvent = "%1 added %2";
    l.people = {"Sam Lee", "Anna Smith", "+1 555 0100"};
    layouts.push_back(l);

    l = {};
    l.id = "en-iphone-12h";
    l.iphone = true;
    l.order = DateOrder::MonthDayYear;
    l.padDayMonth = false;
    l.twelveHour = true;
    l.halfSpace = kNarrowNoBreakSpace;
    l.am = "AM";
    l.pm = "PM";
    l.seconds = true;
    l.chatName = "Hiking Club";
    l.textFileName = "_chat.txt";
    l.archiveName = "WhatsApp Chat - Hiking Club.zip";
    l.attachedWord = "attached";
    l.omittedImage = "image omitted";
    l.omittedVideo = "video omitted";
    l.omittedAudio = "audio omitted";
    l.encryptionNotice =
        "Messages and calls are end-to-end encrypted. No one outside of this chat can read them.";
    l.addedEvent = "%1 added %2";
    l.people = {"Sam Lee", "Jo March", "~\xE2\x80\xAFMeg"};
    layouts.push_back(l);

    l = {};
    l.id = "de-android-24h";
    l.dateSeparator = '.';
    l.chatName = "Lena Weiß";
    l.textFileName = "WhatsApp-Chat mit Lena Weiß.txt";
    l.archiveName = "WhatsApp-Chat mit Lena Weiß.zip";
    l.attachedWord = "Datei angehängt";
    l.omittedAndroid = "<Medien ausgeschlossen>";
    l.encryptionNotice =
        "Nachrichten und Anrufe sind Ende-zu-Ende-verschlüsselt. Tippe, um mehr zu erfahren.";
    l.addedEvent = "%1 hat %2 hinzugefügt";
    l.people = {"Jörg", "Lena Weiß", "Uwe"};
    layouts.push_back(l);

    l = {};
    l.id = "de-iphone-24h";
    l.iphone = true;
    l.dateSeparator = '.';
    l.seconds = true;
    l.chatName = "Familie";
    l.textFileName = "_chat.txt";
    l.archiveName = "WhatsApp Chat - Familie.zip";
    l.attachedWord = "Anhang";
    l.omittedImage = "Bild weggelassen";
    l.omittedVideo = "Video weggelassen";
    l.omittedAudio = "Audio weggelassen";
    l.encryptionNotice = "Nachrichten und Anrufe sind Ende-zu-Ende-verschlüsselt.";
    l.addedEvent = "%1 hat %2 hinzugefügt";
    l.people = {"Jörg", "Oma", "Kai"};
    layouts.push_back(l);

    l = {};
    l.id = "fr-iphone-24h";
    l.iphone = true;
    l.fourDigitYear = true;
    l.afterDate = " ";
    l.seconds = true;
    l.chatName = "Chloé";
    l.textFileName = "_chat.txt";
    l.archiveName = "WhatsApp Chat - Chloé.zip";
    l.attachedWord = "pièce jointe ";
    l.omittedImage = "image absente";
    l.omittedVideo = "vidéo absente";
    l.omittedAudio = "audio omis";
    l.encryptionNotice = "Les messages et les appels sont chiffrés de bout en bout.";
    l.addedEvent = "%1 a ajouté %2";
    l.people = {"Léa", "Chloé", "Hugo"};
    layouts.push_back(l);

    l = {};
    l.id = "es-android-12h";
    l.padDayMonth = false;
    l.twelveHour = true;
    l.halfSpace = kNoBreakSpace;
    l.am = "a.\xC2\xA0m.";
    l.pm = "p.\xC2\xA0m.";
    l.chatName = "Ana";
    l.textFileName = "Chat de WhatsApp con Ana.txt";
    l.archiveName = "Chat de WhatsApp con Ana.zip";
    l.attachedWord = "archivo adjunto";
    l.omittedAndroid = "<Multimedia omitido>";
    l.encryptionNotice = "Los mensajes y las llamadas están cifrados de extremo a extremo.";
    l.addedEvent = "%1 añadió a %2";
    l.people = {"Íñigo", "Ana", "Pepa"};
    layouts.push_back(l);

    l = {};
    l.id = "pt-iphone-24h";
    l.iphone = true;
    l.fourDigitYear = true;
    l.seconds = true;
    l.chatName = "João";
    l.textFileName = "_chat.txt";
    l.archiveName = "WhatsApp Chat - João.zip";
    l.attachedWord = "anexado";
    l.omittedImage = "imagem ocultada";
    l.omittedVideo = "vídeo omitido";
    l.omittedAudio = "áudio ocultado";
    l.encryptionNotice = "As mensagens e as chamadas são protegidas com a criptografia de ponta a ponta.";
    l.addedEvent = "%1 adicionou %2";
    l.people = {"Maria", "João", "Tiago"};
    layouts.push_back(l);

    l = {};
    l.id = "ru-android-24h";
    l.dateSeparator = '.';
    l.fourDigitYear = true;
    l.chatName = "Анна";
    l.textFileName = "Чат WhatsApp с Анна.txt";
    l.archiveName = "Чат WhatsApp с Анна.zip";
    l.attachedWord = "файл добавлен";
    l.omittedAndroid = "<Без медиафайлов>";
    l.encryptionNotice = "Сообщения и звонки защищены сквозным шифрованием.";
    l.addedEvent = "%1 добавил(-а) %2";
    l.people = {"Иван", "Анна", "Олег"};
    layouts.push_back(l);

    l = {};
    l.id = "ar-android-12h";
    l.padDayMonth = false;
    l.fourDigitYear = true;
    l.afterDate = "\xD8\x8C ";
    l.twelveHour = true;
    l.am = "ص";
    l.pm = "م";
    l.arabicDigits = true;
    l.chatName = "أحمد";
    l.textFileName = "WhatsApp Chat مع أحمد.txt";
    l.archiveName = "WhatsApp Chat مع أحمد.zip";
    l.attachedWord = "ملف مرفق";
    l.omittedAndroid = "<تم استبعاد الوسائط>";
    l.encryptionNotice = "الرسائل والمكالمات مشفرة تمامًا بين الطرفين.";
    l.addedEvent = "%1 أضاف %2";
    l.people = {"سارة", "أحمد", "ليلى"};
    layouts.push_back(l);

    l = {};
    l.id = "zh-android-12h";
    l.order = DateOrder::YearMonthDay;
    l.padDayMonth = false;
    l.fourDigitYear = true;
    l.afterDate = " ";
    l.twelveHour = true;
    l.halfBeforeTime = true;
    l.am = "上午";
    l.pm = "下午";
    l.chatName = "王芳";
    l.textFileName = "WhatsApp 聊天 - 王芳.txt";
    l.archiveName = "WhatsApp 聊天 - 王芳.zip";
    l.attachedWord = "文件已附上";
    l.omittedAndroid = "<省略媒体文件>";
    l.encryptionNotice = "消息和通话都进行端到端加密。";
    l.addedEvent = "%1添加了%2";
    l.people = {"李伟", "王芳", "张敏"};
    layouts.push_back(l);

    l = {};
    l.id = "nl-android-24h";
    l.dateSeparator = '-';
    l.fourDigitYear = true;
    l.afterDate = " ";
    l.chatName = "Sanne";
    l.textFileName = "WhatsApp-chat met Sanne.txt";
    l.archiveName = "WhatsApp-chat met Sanne.zip";
    l.attachedWord = "bestand bijgevoegd";
    l.omittedAndroid = "<Media weggelaten>";
    l.encryptionNotice = "Berichten en oproepen worden end-to-end versleuteld.";
    l.addedEvent = "%1 heeft %2 toegevoegd";
    l.people = {"Daan", "Sanne", "Bram"};
    layouts.push_back(l);

    l = {};
    l.id = "ja-android-24h";
    l.order = DateOrder::YearMonthDay;
    l.fourDigitYear = true;
    l.afterDate = " ";
    l.chatName = "さくら";
    l.textFileName = "WhatsApp Chat - さくら.txt";
    l.archiveName = "WhatsApp Chat - さくら.zip";
    l.attachedWord = "file attached";
    l.omittedAndroid = "<Media omitted>";
    l.encryptionNotice = "メッセージと通話はエンドツーエンドで暗号化されています。";
    l.addedEvent = "%1が%2を追加しました";
    l.people = {"健太", "さくら", "ゆい"};
    layouts.push_back(l);
    return layouts;
}

}  // namespace

const std::vector<ExportLayout>& fixtureLayouts() {
    static const std::vector<ExportLayout> layouts = makeLayouts();
    return layouts;
}

const ExportLayout* findLayout(const std::string& id) {
    for (const ExportLayout& layout : fixtureLayouts())
        if (layout.id == id)
            return &layout;
    return nullptr;
}

}  // namespace talvio::chatexport::fixture
