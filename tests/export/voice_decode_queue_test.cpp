// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/voice_decode_queue.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace talvio {
namespace {

namespace fs = std::filesystem;

std::string helloNote() {
    return test::iphoneFixtureResources("basic") +
           "Library/Media/4915110000001@s.whatsapp.net/5/c/5c3f2e74-hello.opus";
}

TEST(VoiceDecodeQueue, EveryNoteEndsOnceWithItsOwnOutcome) {
    test::TempDir dir;
    test::writeFile(dir.path() + "broken.opus", "OggS but nothing after it");
    std::map<std::size_t, std::string> outcomes;
    int reports = 0;
    {
        VoiceDecodeQueue queue(
            defaultVoiceDecoder(),
            [&](std::size_t tag, const std::string& error) {
                outcomes[tag] = error;
                ++reports;
            },
            2);
        for (std::size_t i = 0; i < 5; ++i)
            queue.add(i == 3 ? dir.path() + "broken.opus" : helloNote(),
                      dir.path() + std::to_string(i) + ".wav", i);
        queue.finish();
    }
    EXPECT_EQ(reports, 5);
    ASSERT_EQ(outcomes.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const std::string wav = dir.path() + std::to_string(i) + ".wav";
        if (i == 3) {
            EXPECT_NE(outcomes[i].find("could not decode it"), std::string::npos) << outcomes[i];
            EXPECT_FALSE(fs::exists(wav));
        } else {
            EXPECT_EQ(outcomes[i], "") << i;
            EXPECT_EQ(test::readFile(wav).substr(0, 4), "RIFF") << i;
        }
    }
    // No temporary file is left behind, whatever the outcome.
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".part-"), std::string::npos) << entry.path();
}

TEST(VoiceDecodeQueue, AHangingOrMissingDecoderIsNamed) {
    test::TempDir dir;
    const std::string hanging = dir.path() + "hanging-decoder";
    test::writeFile(hanging, "#!/bin/sh\nexec sleep 60\n");
    fs::permissions(hanging, fs::perms::owner_all);
    EXPECT_EQ(decodeVoiceNote(hanging, helloNote(), dir.path() + "a.wav", 1),
              hanging + " took longer than 1 s and was stopped");
    EXPECT_FALSE(fs::exists(dir.path() + "a.wav"));
    EXPECT_EQ(decodeVoiceNote(dir.path() + "no-such-decoder", helloNote(), dir.path() + "b.wav"),
              "cannot run " + dir.path() + "no-such-decoder: No such file or directory");
}

}  // namespace
}  // namespace talvio
