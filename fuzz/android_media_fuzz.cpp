// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Any bytes as a legacy thumb_image (a serialized MediaData): what comes out is a well-formed
// "Media/…" path, and whatever it names, the locator shows no file but the one real picture of a
// small WhatsApp folder, with a secret file beside it and a link to that secret inside it.
#include "fuzz/fuzz_support.h"
#include "sources/android_media.h"
#include "sources/text_convert.h"

#include <algorithm>
#include <filesystem>
#include <string>

using namespace talvio;

namespace {

struct Folder {
    Folder() {
        namespace fs = std::filesystem;
        whatsApp = fuzz::scratchFolder() + "WhatsApp/";
        picture = whatsApp + "Media/WhatsApp Images/IMG-1.jpg";
        fs::create_directories(whatsApp + "Media/WhatsApp Images/Sent");
        fuzz::writeScratchFile(picture, "picture");
        fuzz::writeScratchFile(fuzz::scratchFolder() + "secret.jpg", "private");
        std::error_code ec;
        fs::create_symlink(fuzz::scratchFolder() + "secret.jpg",
                           whatsApp + "Media/WhatsApp Images/Sent/leak.jpg", ec);
    }
    std::string whatsApp;
    std::string picture;
};

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7F;
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folder folder;
    const std::string_view bytes = fuzz::asText(data, size);
    const std::optional<std::string> path = legacyMediaPath(bytes);
    if (!path)
        return 0;
    FUZZ_CHECK(path->size() > 6 && path->starts_with("Media/"), "a media path outside Media/");
    FUZZ_CHECK(isWellFormedUtf8(*path) && !hasControlCharacter(*path), "an ill-formed media path");
    FUZZ_CHECK(whatsAppRelativePath(*path) == path, "a media path that does not map to itself");

    AndroidMediaLocator locator(folder.whatsApp);
    const LocatedMedia found = locator.locate(*path);
    std::error_code ec;
    FUZZ_CHECK(!found.present || std::filesystem::equivalent(found.path, folder.picture, ec),
               "the locator showed another file than the folder's picture");
    FUZZ_CHECK(!found.present || found.refusal.empty(), "a refused path was shown");
    return 0;
}
