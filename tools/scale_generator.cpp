// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/scale_generator.h"

#include "tools/android_folder.h"
#include "tools/random.h"
#include "tools/scale_contacts.h"
#include "tools/scale_kinds.h"
#include "tools/scale_media.h"
#include "tools/scale_messages.h"
#include "tools/scale_modern.h"

namespace talvio::fixture {

Failure ScaleGenerator::build(const Options& options) {
    if (options.contacts == 0)
        return "--contacts must be at least 1";
    if (options.messages < 0)
        return "--messages must not be negative";
    const AndroidFolder folder(options.out);
    if (auto failure = folder.prepare())
        return failure;

    // Separate streams, so that changing how one part is drawn leaves the others as they were.
    Random contactRandom(options.seed);
    Random messageRandom(Random::scramble(options.seed) ^ 0x6D657373616765ull);
    const TimeSpan span{kFirstTimestamp, kLastTimestamp};

    ScaleContacts contacts(options.contacts, span, contactRandom);
    Random modernRandom(Random::scramble(options.seed) ^ 0x6D6F6465726Eull);
    if (options.layout == AndroidLayout::Modern)
        contacts.adaptToModernLayout(modernRandom);
    if (auto failure = contacts.writeDatabase(folder.wa(), contactRandom))
        return failure;
    ScaleMessages messages(contacts, span, options.seed);
    if (options.layout == AndroidLayout::Modern) {
        ScaleModernMessages modern(contacts, messages, modernRandom);
        if (auto failure = modern.write(folder.msgstore(), options.messages, messageRandom))
            return failure;
        if (auto failure = addMessageKinds(folder.msgstore(), options.kindsPercent))
            return failure;
    } else if (auto failure =
                   messages.write(folder.msgstore(), options.messages, messageRandom, options.layout)) {
        return failure;
    }
    if (options.mediaFiles > 0) {
        const auto whatsApp =
            options.mediaOut.empty() ? options.out.parent_path() / "WhatsApp" : options.mediaOut;
        if (auto failure = ScaleMedia::write(folder.msgstore(), whatsApp, options.mediaFiles, options.seed))
            return failure;
    }
    if (options.pictures)
        return contacts.writePictures(folder.pictures());
    return std::nullopt;
}

}  // namespace talvio::fixture
