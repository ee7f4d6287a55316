// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/media_words.h"

#include <array>
#include <utility>
#include <vector>

namespace talvio::chatexport {

namespace {

// WhatsApp's words for media it left out of an export, by language. Android writes one word for
// every kind; an iPhone names the kind.
constexpr std::array<std::pair<std::string_view, MediaKind>, 72> kOmitted = {{
    {"<media omitted>", MediaKind::Other},
    {"<media weggelaten>", MediaKind::Other},
    {"<medien ausgeschlossen>", MediaKind::Other},
    {"<Médias omis>", MediaKind::Other},
    {"<multimedia omitido>", MediaKind::Other},
    {"<Mídia oculta>", MediaKind::Other},
    {"<arquivo de mídia oculto>", MediaKind::Other},
    {"<Без медиафайлов>", MediaKind::Other},
    {"<تم استبعاد الوسائط>", MediaKind::Other},
    {"<省略媒体文件>", MediaKind::Other},
    {"<媒体文件已省略>", MediaKind::Other},
    {"<media omessi>", MediaKind::Other},
    {"image omitted", MediaKind::Image},
    {"video omitted", MediaKind::Video},
    {"audio omitted", MediaKind::Audio},
    {"sticker omitted", MediaKind::Sticker},
    {"gif omitted", MediaKind::Video},
    {"document omitted", MediaKind::Document},
    {"contact card omitted", MediaKind::Other},
    {"bild weggelassen", MediaKind::Image},
    {"video weggelassen", MediaKind::Video},
    {"audio weggelassen", MediaKind::Audio},
    {"sticker weggelassen", MediaKind::Sticker},
    {"gif weggelassen", MediaKind::Video},
    {"dokument weggelassen", MediaKind::Document},
    {"kontaktkarte ausgelassen", MediaKind::Other},
    {"imagen omitida", MediaKind::Image},
    {"video omitido", MediaKind::Video},
    {"audio omitido", MediaKind::Audio},
    {"sticker omitido", MediaKind::Sticker},
    {"gif omitido", MediaKind::Video},
    {"documento omitido", MediaKind::Document},
    {"image absente", MediaKind::Image},
    {"vidéo absente", MediaKind::Video},
    {"audio omis", MediaKind::Audio},
    {"autocollant omis", MediaKind::Sticker},
    {"gif retiré", MediaKind::Video},
    {"document omis", MediaKind::Document},
    {"imagem ocultada", MediaKind::Image},
    {"vídeo omitido", MediaKind::Video},
    {"áudio ocultado", MediaKind::Audio},
    {"figurinha omitida", MediaKind::Sticker},
    {"documento ocultado", MediaKind::Document},
    {"изображение отсутствует", MediaKind::Image},
    {"видео отсутствует", MediaKind::Video},
    {"аудиофайл отсутствует", MediaKind::Audio},
    {"стикер отсутствует", MediaKind::Sticker},
    {"документ отсутствует", MediaKind::Document},
    {"تم استبعاد الصورة", MediaKind::Image},
    {"تم استبعاد الفيديو", MediaKind::Video},
    {"تم استبعاد الصوت", MediaKind::Audio},
    {"تم استبعاد الملصق", MediaKind::Sticker},
    {"تم استبعاد المستند", MediaKind::Document},
    {"图片已忽略", MediaKind::Image},
    {"视频已忽略", MediaKind::Video},
    {"音频已忽略", MediaKind::Audio},
    {"贴图已忽略", MediaKind::Sticker},
    {"文档已忽略", MediaKind::Document},
    {"afbeelding weggelaten", MediaKind::Image},
    {"video weggelaten", MediaKind::Video},
    {"audio weggelaten", MediaKind::Audio},
    {"sticker weggelaten", MediaKind::Sticker},
    {"immagine omessa", MediaKind::Image},
    {"video omesso", MediaKind::Video},
    {"audio omesso", MediaKind::Audio},
    {"sticker omesso", MediaKind::Sticker},
    {"görüntü dahil edilmedi", MediaKind::Image},
    {"video dahil edilmedi", MediaKind::Video},
    {"ses dahil edilmedi", MediaKind::Audio},
    {"belge dahil edilmedi", MediaKind::Document},
}};

constexpr std::array<std::string_view, 16> kAttachedWords = {
    "file attached",      "datei angehängt", "fichier joint", "archivo adjunto", "arquivo anexado",
    "файл прикреплен",    "файл добавлен",   "ملف مرفق",      "文件已附上",      "附件",
    "bestand bijgevoegd", "file allegato",   "dosya ekli",    "plik załączony",  "soubor připojen",
    "fil bifogad"};

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Equal but for the case of ASCII letters; other scripts are compared as WhatsApp writes them.
bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

// Drops direction marks and blanks at both ends: iPhone exports put U+200E before media lines.
std::string_view trim(std::string_view text) {
    for (;;) {
        if (text.starts_with("\xE2\x80\x8E") || text.starts_with("\xE2\x80\x8F"))
            text.remove_prefix(3);
        else if (text.starts_with(' ') || text.starts_with('\t'))
            text.remove_prefix(1);
        else
            break;
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    while (text.ends_with("\xE2\x80\x8E") || text.ends_with("\xE2\x80\x8F"))
        text.remove_suffix(3);
    return text;
}

// A plausible file name: no folder part and an extension of one to eight letters or digits.
bool looksLikeFileName(std::string_view name) {
    if (name.empty() || name.size() > 255 || name.find('/') != std::string_view::npos ||
        name.find('\\') != std::string_view::npos)
        return false;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0 || name.size() - dot - 1 < 1 || name.size() - dot - 1 > 8)
        return false;
    for (std::size_t i = dot + 1; i < name.size(); ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

std::string_view extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

}  // namespace

bool isAttachedWord(std::string_view word) {
    for (std::string_view known : kAttachedWords)
        if (equalsNoCase(word, known))
            return true;
    return false;
}

MediaKind mediaKindOfName(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, MediaKind>, 6> kAndroid = {
        {{"IMG-", MediaKind::Image},
         {"PTT-", MediaKind::Voice},
         {"VID-", MediaKind::Video},
         {"AUD-", MediaKind::Audio},
         {"DOC-", MediaKind::Document},
         {"STK-", MediaKind::Sticker}}};
    for (const auto& [prefix, kind] : kAndroid)
        if (name.starts_with(prefix))
            return kind;
    // iPhone: "00000042-PHOTO-2022-03-27-21-41-55.jpg"
    if (name.size() > 9 && name[8] == '-' && name.find_first_not_of("0123456789") == 8) {
        static constexpr std::array<std::pair<std::string_view, MediaKind>, 5> kIphone = {
            {{"PHOTO-", MediaKind::Image},
             {"AUDIO-", MediaKind::Voice},
             {"VIDEO-", MediaKind::Video},
             {"STICKER-", MediaKind::Sticker},
             {"GIF-", MediaKind::Video}}};
        const std::string_view rest = name.substr(9);
        for (const auto& [word, kind] : kIphone)
            if (rest.starts_with(word))
                return kind;
    }
    const std::string_view extension = extensionOf(name);
    static constexpr std::array<std::pair<std::string_view, MediaKind>, 19> kExtensions = {
        {{"jpg", MediaKind::Image},
         {"jpeg", MediaKind::Image},
         {"png", MediaKind::Image},
         {"heic", MediaKind::Image},
         {"gif", MediaKind::Image},
         {"webp", MediaKind::Sticker},
         {"opus", MediaKind::Voice},
         {"mp4", MediaKind::Video},
         {"mov", MediaKind::Video},
         {"3gp", MediaKind::Video},
         {"mkv", MediaKind::Video},
         {"webm", MediaKind::Video},
         {"mp3", MediaKind::Audio},
         {"m4a", MediaKind::Audio},
         {"aac", MediaKind::Audio},
         {"ogg", MediaKind::Audio},
         {"wav", MediaKind::Audio},
         {"amr", MediaKind::Audio},
         {"vcf", MediaKind::Other}}};
    for (const auto& [known, kind] : kExtensions)
        if (equalsNoCase(extension, known))
            return kind;
    return MediaKind::Document;
}

MediaLine readMediaLine(std::string_view line, const std::function<bool(std::string_view)>& isPresent) {
    MediaLine out;
    const std::string_view text = trim(line);
    if (text.empty() || text.size() > 300)
        return out;

    // Only the words of the same length are compared: this runs for every message.
    static const std::vector<std::vector<std::size_t>> byLength = [] {
        std::vector<std::vector<std::size_t>> table;
        for (std::size_t i = 0; i < kOmitted.size(); ++i) {
            const std::size_t length = kOmitted[i].first.size();
            if (table.size() <= length)
                table.resize(length + 1);
            table[length].push_back(i);
        }
        return table;
    }();
    if (text.size() < byLength.size()) {
        for (const std::size_t i : byLength[text.size()]) {
            if (equalsNoCase(text, kOmitted[i].first)) {
                out.kind = MessageKind::MediaOmitted;
                out.media = kOmitted[i].second;
                return out;
            }
        }
    }
    // iPhone: "<attached: NAME>" in any language, the colon ASCII or full-width.
    if (text.front() == '<' && text.back() == '>') {
        const std::string_view inner = text.substr(1, text.size() - 2);
        std::size_t colon = inner.find(':');
        std::size_t colonLength = 1;
        if (const std::size_t wide = inner.find("\xEF\xBC\x9A"); wide < colon)
            colon = wide, colonLength = 3;
        if (colon != std::string_view::npos && colon <= 40) {
            const std::string_view name = trim(inner.substr(colon + colonLength));
            if (looksLikeFileName(name)) {
                out.kind = MessageKind::Attachment;
                out.name = name;
                out.media = mediaKindOfName(name);
            }
        }
        return out;
    }
    // Android: "NAME (file attached)"; the name may hold spaces and brackets itself.
    if (text.back() == ')') {
        const std::size_t open = text.rfind(" (");
        if (open == std::string_view::npos)
            return out;
        const std::string_view name = text.substr(0, open);
        const std::string_view word = text.substr(open + 2, text.size() - open - 3);
        if (looksLikeFileName(name) && (isAttachedWord(word) || (isPresent && isPresent(name)))) {
            out.kind = MessageKind::Attachment;
            out.name = name;
            out.media = mediaKindOfName(name);
        }
    }
    return out;
}

}  // namespace talvio::chatexport
