// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "load_in_child.h"
#include "media/voice_decode_queue.h"
#include "tests/support/temp_dir.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace talvio::test {
namespace {

// A voice note in the phone copy that is a FIFO: opusdec would wait on it for a writer, and the
// player's window would wait for opusdec until its time ran out.
TEST(VoiceNoteFiles, ANoteThatIsAFifoIsNotHandedToTheDecoder) {
    TempDir dir;
    const std::string note = dir.path() + "note.opus";
    ASSERT_EQ(::mkfifo(note.c_str(), 0600), 0);
    const std::string wav = dir.path() + "note.wav";
    const ChildOutcome outcome =
        runInChild([&] { return decodeVoiceNote(defaultVoiceDecoder(), note, wav); }, 20);
    EXPECT_EQ(outcome.end, ChildOutcome::End::Finished) << describe(outcome);
    EXPECT_EQ(outcome.output, "no voice note at " + note);
    EXPECT_FALSE(std::filesystem::exists(wav));
}

}  // namespace
}  // namespace talvio::test
