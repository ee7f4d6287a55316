// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

#include "fake_desktop.h"
#include "media/players.h"
#include "media/voice_player.h"
#include "media/wav_writer.h"
#include "media_test_files.h"
#include "platform/paths.h"
#include "sources/program_state.h"
#include "ui_test_support.h"

namespace talvio::media {
namespace {

using test::waitUntil;

// PlayVoice with the real opusdec on notes made by opusenc; a watcher plays the person who
// looks at the player and closes it.
class PlayVoiceClick : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        programState().resourceFolder = folder.path.string() + "/";
        platform::setCacheFolder(QString::fromStdString(cache.path.string()));
    }
    void TearDown() override {
        resetProgramState();
        platform::setCacheFolder(QString());
        qputenv("PATH", m_path);
    }
    QString file(const std::string& name) const { return QString::fromStdString(folder.file(name)); }
    QStringList folderContents() const {
        return QDir(QString::fromStdString(folder.path.string()))
            .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    void expectOnlyMessage(const char* text) {
        ASSERT_EQ(desktop.messages.size(), 1u) << desktop.messageTexts().join('|').toStdString();
        EXPECT_EQ(desktop.messages[0].text, QString::fromUtf8(text));
        EXPECT_EQ(desktop.messages[0].owner, &owner);
        EXPECT_TRUE(desktop.messages[0].caption.isEmpty());
        EXPECT_EQ(desktop.messages[0].buttons, platform::Buttons::Ok);
        desktop.messages.clear();
    }

    talvio::test::FakeDesktop desktop;
    test::ScratchFolder folder;
    test::ScratchFolder cache;
    QWidget owner;
    test::ModalWatcher<CDlgVoicePlayer> watcher;
    QByteArray m_path = qgetenv("PATH");
};

TEST_F(PlayVoiceClick, DecodesTheNoteIntoTheCacheOnceAndPlaysIt) {
    // A quote and a blank in the name would break any command line that went through a shell.
    const QString note = file("it's note 1.opus");
    ASSERT_TRUE(test::makeVoiceNote(file("spoken.wav"), note)) << "espeak-ng and opusenc are needed";
    QFile::remove(file("spoken.wav"));
    QString played;
    std::uint32_t rate = 0;
    watcher.onOpen = [&](CDlgVoicePlayer& player) {
        waitUntil([&] { return player.playback().deviceOpen(); }, 5000);
        played = player.wavPath();
        rate = player.playback().sound().sampleRate;
    };

    PlayVoice(&owner, note);
    EXPECT_EQ(watcher.opened, 1);
    EXPECT_TRUE(played.startsWith(QString::fromStdString(cache.path.string() + "/voice/")));
    EXPECT_TRUE(played.endsWith("-it's note 1.wav"));
    EXPECT_EQ(rate, 22050u) << "espeak-ng speaks at 22050 Hz and opusdec keeps the note's rate";
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor stayed";
    // The phone copy gains nothing.
    EXPECT_EQ(folderContents(), QStringList({"it's note 1.opus"}));

    // The second click must play the WAV that is there, not decode again over it.
    ASSERT_TRUE(writeWavFile(test::toneSound(0.5, 16000), played.toStdString()));
    PlayVoice(&owner, note);
    EXPECT_EQ(watcher.opened, 2);
    EXPECT_EQ(rate, 16000u);

    // A WAV that lies beside the note already is played as it is.
    ASSERT_TRUE(writeWavFile(test::toneSound(0.5, 8000), file("it's note 1.wav").toStdString()));
    PlayVoice(&owner, note);
    EXPECT_EQ(watcher.opened, 3);
    EXPECT_EQ(played, file("it's note 1.wav"));
    EXPECT_EQ(rate, 8000u);
}

// A note decrypted from an encrypted backup is decoded beside it, in the private folder that goes
// with it, never into the cache that stays.
TEST_F(PlayVoiceClick, ADecryptedNoteIsDecodedIntoItsPrivateFolder) {
    const QString note = file("note.opus");
    ASSERT_TRUE(test::makeVoiceNote(file("spoken.wav"), note));
    programState().privateMediaFolder = programState().resourceFolder;
    QString played;
    watcher.onOpen = [&](CDlgVoicePlayer& player) { played = player.wavPath(); };
    PlayVoice(&owner, note);
    EXPECT_EQ(watcher.opened, 1);
    EXPECT_TRUE(played.startsWith(QString::fromStdString(folder.path.string() + "/voice/")))
        << played.toStdString();
    EXPECT_TRUE(QDir(QString::fromStdString(cache.path.string())).isEmpty());
}

TEST_F(PlayVoiceClick, WithoutAResourceFolderNothingIsDecoded) {
    const QString note = file("note.opus");
    ASSERT_TRUE(test::makeVoiceNote(file("spoken.wav"), note));
    programState().resourceFolder.clear();
    PlayVoice(&owner, note);
    expectOnlyMessage("Because you didn't set resource path, so you can't play voice.");
    EXPECT_FALSE(QFileInfo::exists(file("note.wav")));
    EXPECT_EQ(watcher.opened, 0);
}

TEST_F(PlayVoiceClick, ANoteThatYieldsNoWavIsLost) {
    PlayVoice(&owner, file("missing.opus"));
    expectOnlyMessage("File lost.");

    test::writeBytes(folder.file("garbage.opus"), test::randomBytes(3000, 3));
    PlayVoice(&owner, file("garbage.opus"));
    expectOnlyMessage("File lost.");
    EXPECT_EQ(folderContents(), QStringList({"garbage.opus"})) << "the failed decoder left a file behind";

    PlayVoice(&owner, QStringLiteral("/abcd"));  // too short to have a WAV path
    expectOnlyMessage("File lost.");

    const QString note = file("note.opus");
    ASSERT_TRUE(test::makeVoiceNote(file("spoken.wav"), note));
    qputenv("PATH", QFile::encodeName(file("")));  // no opusdec anywhere
    PlayVoice(&owner, note);
    expectOnlyMessage("File lost.");
    EXPECT_EQ(watcher.opened, 0);
}

// The page hands the players whatever path it holds; a path out of the resource folder is a lost
// file, whether it climbs out with ".." or goes through a link, and neither player opens.
TEST_F(PlayVoiceClick, PathsOutOfTheResourceFolderAreNeverPlayed) {
    test::ScratchFolder outside;
    const QString note = QString::fromStdString(outside.file("note.opus"));
    ASSERT_TRUE(test::makeVoiceNote(QString::fromStdString(outside.file("spoken.wav")), note));
    ASSERT_TRUE(writeWavFile(test::toneSound(0.5, 8000), outside.file("note.wav")));
    std::filesystem::create_symlink(note.toStdString(), folder.file("linked.opus"));
    std::filesystem::create_symlink(outside.file("note.wav"), folder.file("beside.wav"));
    test::writeBytes(folder.file("beside.opus"), test::randomBytes(3000, 4));
    const QString climbing = file("") + QStringLiteral("../") +
                             QString::fromStdString(outside.path.filename().string()) +
                             QStringLiteral("/note.opus");
    for (const QString& path : {climbing, file("linked.opus")}) {
        PlayVoice(&owner, path);
        expectOnlyMessage("File lost.");
        PlayVideo(&owner, path);
        expectOnlyMessage("File lost.");
    }
    ASSERT_EQ(::mkfifo(folder.file("pipe.mp4").c_str(), 0600), 0);
    PlayVideo(&owner, file("pipe.mp4"));
    expectOnlyMessage("File lost.");
    // A WAV beside a note that is a link out of the folder is not played either: the note is
    // decoded instead (here it is no Ogg Opus, so it is lost).
    PlayVoice(&owner, file("beside.opus"));
    expectOnlyMessage("File lost.");
    EXPECT_EQ(watcher.opened, 0);
}

}  // namespace
}  // namespace talvio::media
