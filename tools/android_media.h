// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <filesystem>

#include "tools/failure.h"

namespace talvio::fixture {

// The phone's WhatsApp folder ("WhatsApp", beside "com.whatsapp") with the media files a list
// names, made with the real encoders. Each line of the list is "KIND ARGUMENTS | PATH", PATH
// relative to the WhatsApp folder (it may hold blanks and quotes, so it comes last):
//   picture WxH                   a JPEG (Qt)
//   sticker WxH                   a WebP (Qt with qt6-image-formats-plugins)
//   gif SECONDS WxH               a silent H.264 MP4, as WhatsApp stores GIFs (ffmpeg)
//   video SECONDS WxH [HERTZ]     an H.264 + AAC MP4 (ffmpeg)
//   voice say TEXT...             Ogg Opus speech (espeak-ng, opusenc)
//   voice tone SECONDS HERTZ      an Ogg Opus tone (sox, opusenc)
//   audio SECONDS HERTZ           a tone as .m4a, .mp3 or .ogg, by the extension (ffmpeg)
//   document [TITLE...]           a one-page PDF
//   text TEXT...                  a file holding TEXT
// A PATH may climb one folder out of the WhatsApp folder ("../bait.jpg"): files that a
// database path with "../" would reach, and that a reader must never show.
class AndroidMedia {
public:
    // Media/ is emptied first when an earlier build made it (it holds this tool's marker), and
    // refused when it holds files of someone else.
    static Failure build(const std::filesystem::path& listFile, const std::filesystem::path& whatsAppFolder);

    // The marker file in Media/ that says this tool made the folder.
    static constexpr const char* kMarker = ".talvio-fixture";
    static Failure prepareMediaFolder(const std::filesystem::path& whatsAppFolder);
};

}  // namespace talvio::fixture
