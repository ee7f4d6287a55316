// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "load_in_child.h"
#include "media/voice_decoder.h"
#include "tests/support/temp_dir.h"

#include <sys/stat.h>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QFileInfo>

namespace talvio::test {
namespace {

// A voice note in the phone copy that is a FIFO: opusdec would wait on it for a writer, and the
// player window waits for opusdec without a limit.
TEST(VoiceNoteFiles, ANoteThatIsAFifoIsNotHandedToTheDecoder) {
    if (media::opusdecProgram().isEmpty())
        GTEST_SKIP() << "no opusdec";
    TempDir dir;
    const std::string note = dir.path() + "note.opus";
    ASSERT_EQ(::mkfifo(note.c_str(), 0600), 0);
    const std::string wav = dir.path() + "note.wav";
    const ChildOutcome outcome = runInChild(
        [&] {
            int argc = 1;
            char name[] = "voice_decoder_fifo_test";
            char* argv[] = {name, nullptr};
            const QCoreApplication application(argc, argv);
            media::decodeVoiceNote(QString::fromStdString(note), QString::fromStdString(wav));
            return std::string("returned");
        },
        20);
    EXPECT_EQ(outcome.end, ChildOutcome::End::Finished) << describe(outcome);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(wav)));
}

}  // namespace
}  // namespace talvio::test
