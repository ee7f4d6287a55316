// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/voice_playback.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace talvio::media {
namespace {

bool g_autoCloseSetting = false;

}  // namespace

bool autoCloseSetting() {
    return g_autoCloseSetting;
}

void setAutoCloseSetting(bool on) {
    g_autoCloseSetting = on;
}

VoicePlayback::VoicePlayback(SoundRecord sound, AudioOutput& output)
    : m_sound(std::move(sound)), m_output(output), m_autoClose(autoCloseSetting()) {}

VoicePlayback::~VoicePlayback() {
    shutdown();
}

PlaybackUpdate VoicePlayback::play() {
    PlaybackUpdate update;
    if (m_sound.samples.empty()) {
        return update;  // a sound that failed to load has nothing to play
    }
    switch (m_state) {
        case PlayerState::Playing:
            m_position = 0;
            break;
        case PlayerState::Paused:
            m_state = PlayerState::Playing;
            break;
        case PlayerState::Stopped:
            if (m_deviceOpen) {
                // A Stop still waiting for the device: both blocks are in the device's hands, so
                // they are neither refilled nor written again, and the open device serves on.
                // The stop is called off and playback restarts from the beginning, as after a
                // completed stop.
                m_state = PlayerState::Playing;
                m_position = 0;
                break;
            }
            m_state = PlayerState::Playing;
            for (int slot = 0; slot < kSlots; ++slot) {
                fillFromPosition(slot);
            }
            if (!m_output.open(m_sound)) {
                // Nothing was handed out: the next Play tries a device again from the beginning.
                m_state = PlayerState::Stopped;
                m_position = 0;
                update.deviceError = true;
                return update;
            }
            m_deviceOpen = true;
            for (int slot = 0; slot < kSlots; ++slot) {
                m_output.write(slot, m_buffers[slot]);
                m_held[slot] = true;
            }
            return update;
    }

    // Near the end one block may already be back and idle (see blockDone); a restart puts
    // it to work again so that two blocks are in flight.
    for (int slot = 0; slot < kSlots; ++slot) {
        if (m_deviceOpen && !m_held[slot] && m_position < m_sound.samples.size()) {
            return refill(slot);
        }
    }
    return update;
}

void VoicePlayback::pause() {
    if (m_state == PlayerState::Playing) {
        m_state = PlayerState::Paused;
    }
}

void VoicePlayback::stop() {
    m_state = PlayerState::Stopped;
}

PlaybackUpdate VoicePlayback::blockDone(int slot) {
    if (slot < 0 || slot >= kSlots || !m_held[slot]) {
        return {};  // not a block the device holds: nothing to take back
    }
    m_held[slot] = false;

    if (m_state == PlayerState::Stopped) {
        return finish();
    }
    if (m_position < m_sound.samples.size()) {
        return refill(slot);
    }
    // Every sample has been handed out, but the other block may still hold the end of the
    // sound: it is played to the end before the device is closed.
    if (m_held[1 - slot]) {
        return {};
    }
    return finish();
}

void VoicePlayback::shutdown() {
    if (m_deviceOpen) {
        closeDevice();
    }
    m_state = PlayerState::Stopped;
}

void VoicePlayback::fillFromPosition(int slot) {
    auto& buffer = m_buffers[slot];
    const std::uint64_t size = m_sound.samples.size();
    const std::size_t count =
        m_position < size ? static_cast<std::size_t>(std::min<std::uint64_t>(kBlockBytes, size - m_position))
                          : 0;
    if (count > 0) {
        std::memcpy(buffer.data(), m_sound.samples.data() + m_position, count);
    }
    // The part of the last block beyond the end of the sound is silence.
    std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(count), buffer.end(), std::uint8_t{0});
    m_position += kBlockBytes;
}

PlaybackUpdate VoicePlayback::refill(int slot) {
    if (m_state == PlayerState::Paused) {
        m_buffers[slot].fill(0);
    } else {
        fillFromPosition(slot);
    }
    PlaybackUpdate update;
    const std::uint64_t size = m_sound.samples.size();
    update.trackbar = static_cast<int>(std::min<std::uint64_t>(100, m_position * 100 / size));
    update.spectrumBlock = m_buffers[slot];
    m_output.write(slot, m_buffers[slot]);
    m_held[slot] = true;
    return update;
}

PlaybackUpdate VoicePlayback::finish() {
    m_state = PlayerState::Stopped;
    m_position = 0;
    closeDevice();
    PlaybackUpdate update;
    update.trackbar = 0;
    update.closeWindow = m_autoClose;
    return update;
}

void VoicePlayback::closeDevice() {
    m_output.reset();
    m_output.close();
    m_held.fill(false);
    m_deviceOpen = false;
}

}  // namespace talvio::media
