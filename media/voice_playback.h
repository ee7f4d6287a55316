// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "media/audio_output.h"
#include "media/pcm_block.h"
#include "media/sound_record.h"

namespace talvio::media {

enum class PlayerState {
    Playing = 0,
    Paused = 1,
    Stopped = 2,
};

// What the player window shows after an event.
struct PlaybackUpdate {
    // The trackbar's new position, 0 to 100, when it moves.
    std::optional<int> trackbar;
    // The block just handed to the device; the window draws its spectrum. Empty when no block
    // was handed out. Valid until the next event.
    std::span<const std::uint8_t> spectrumBlock;
    // No device could be opened: the window says "audio device error!" and stays silent.
    bool deviceError = false;
    // Playback has come to an end with auto-close on: the window closes as if OK was pressed.
    bool closeWindow = false;
};

// The voice player's playback: two blocks alternate between the player and the device, so
// while playing the device always holds two. Every refill happens in the "block done" event,
// so the trackbar and the spectrum run up to two blocks ahead of what is heard.
//
// Invariant: the device is open exactly while the state is Playing or Paused, or while a Stop
// waits for the next block to come back (state Stopped, device still open).
class VoicePlayback {
public:
    static constexpr int kSlots = 2;

    // `output` must outlive the playback. Auto-close starts as the process-wide setting.
    VoicePlayback(SoundRecord sound, AudioOutput& output);
    ~VoicePlayback();
    VoicePlayback(const VoicePlayback&) = delete;
    VoicePlayback& operator=(const VoicePlayback&) = delete;

    // The Play button; also how the window starts playback once it has opened.
    // Stopped: plays from the position (the beginning after a completed stop). Playing:
    // starts again from the beginning with the next block. Paused: resumes. An empty sound
    // does not play.
    PlaybackUpdate play();
    // Playing: the device goes on with silence and the trackbar freezes. Ignored while
    // stopped, as there is no device to keep running.
    void pause();
    // Takes effect when the device returns its next block.
    void stop();
    // The device has played the block of `slot`.
    PlaybackUpdate blockDone(int slot);
    // The window is going away: the device is reset and closed at once.
    void shutdown();

    void setAutoClose(bool on) { m_autoClose = on; }

    PlayerState state() const { return m_state; }
    // Byte offset in the samples of the next block to be read.
    std::uint64_t position() const { return m_position; }
    bool deviceOpen() const { return m_deviceOpen; }
    const SoundRecord& sound() const { return m_sound; }

private:
    void fillFromPosition(int slot);
    PlaybackUpdate refill(int slot);
    PlaybackUpdate finish();
    void closeDevice();

    SoundRecord m_sound;
    AudioOutput& m_output;
    std::array<std::array<std::uint8_t, kBlockBytes>, kSlots> m_buffers{};
    std::array<bool, kSlots> m_held{};
    std::uint64_t m_position = 0;
    PlayerState m_state = PlayerState::Stopped;
    bool m_deviceOpen = false;
    bool m_autoClose = false;
};

// The state of the player's "close automatically" check box, shared by every player window
// of the process and not saved: each new window starts with the last window's choice.
bool autoCloseSetting();
void setAutoCloseSetting(bool on);

}  // namespace talvio::media
