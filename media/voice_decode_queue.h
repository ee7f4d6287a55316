// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace talvio {

// The Ogg Opus decoder that turns a voice note into the WAV that the voice player and an exported
// page play: opusdec beside the running program when it is there, otherwise the first one on PATH.
std::string defaultVoiceDecoder();

// Runs `program --quiet --force-wav opus wav` without a shell and waits for it (at most
// timeoutSeconds, then it is stopped). The WAV is written under a temporary name and renamed
// into place, so that a failed or stopped run never leaves a truncated WAV behind. Returns an
// error text, empty on success.
std::string decodeVoiceNote(const std::string& program, const std::string& opusPath,
                            const std::string& wavPath, int timeoutSeconds = 120);

// Decodes voice notes as decodeVoiceNote does, several at once: a chat of thousands of notes
// otherwise keeps one core busy and the others idle.
class VoiceDecodeQueue {
public:
    // Called as each decode ends, with the tag given to add() and an error text (empty on success).
    using Done = std::function<void(std::size_t tag, const std::string& error)>;

    // parallel 0 means one decoder per core.
    VoiceDecodeQueue(std::string program, Done done, unsigned parallel = 0, int timeoutSeconds = 120);
    // Waits for what still runs.
    ~VoiceDecodeQueue();
    VoiceDecodeQueue(const VoiceDecodeQueue&) = delete;
    VoiceDecodeQueue& operator=(const VoiceDecodeQueue&) = delete;

    // Called now and then while the queue waits for a decoder.
    void setPulse(std::function<void()> pulse) { m_pulse = std::move(pulse); }
    // Starts the decode as soon as a decoder is free; waits for one when all are busy.
    void add(const std::string& opusPath, const std::string& wavPath, std::size_t tag);
    // Waits until every decode has ended.
    void finish();

private:
    struct Running;
    // Reaps the decodes that have ended; when none has, pulses and sleeps a little.
    void reap();

    std::string m_program;
    Done m_done;
    unsigned m_parallel;
    int m_timeoutSeconds;
    std::function<void()> m_pulse;
    std::vector<Running> m_running;
};

}  // namespace talvio
