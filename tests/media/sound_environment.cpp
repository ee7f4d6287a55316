// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <gtest/gtest.h>

#include "sound_server.h"

namespace {

// One private sound server for every test of the process, up before any test asks Qt for an
// audio device.
class SoundEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        if (!m_server.start()) {
            FAIL() << "no sound server for the audio tests: " << m_server.failure().toStdString();
        }
    }
    void TearDown() override { m_server.stop(); }

private:
    talvio::media::test::SoundServer m_server;
};

[[maybe_unused]] ::testing::Environment* const kSound =
    ::testing::AddGlobalTestEnvironment(new SoundEnvironment);

}  // namespace
