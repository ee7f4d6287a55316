// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

#include "media/audio_output.h"
#include "media/block_feed.h"

class QAudioSink;
class QIODevice;

namespace talvio::media {

// The voice player's sound device, on a QAudioSink in push mode. The sink neither says when a
// block has been played nor always has room for a whole block, so a short timer hands it what
// it has room for and turns the time it reports played into blockDone signals, on the thread
// that owns this object.
class SinkAudioOutput final : public QObject, public AudioOutput {
    Q_OBJECT
public:
    explicit SinkAudioOutput(QObject* parent = nullptr);
    ~SinkAudioOutput() override;

    bool open(const SoundRecord& format) override;
    void write(int slot, std::span<const std::uint8_t> block) override;
    void reset() override;
    void close() override;

    bool isOpen() const { return m_sink != nullptr; }
    // Bytes the sink has taken since it was opened, silence included.
    std::uint64_t bytesHandedOut() const { return m_handedOut; }
    // How long the sink has been playing since it was opened; 0 when closed.
    std::int64_t playedMicroseconds() const;

signals:
    void blockDone(int slot);

private:
    void pump();
    void feedSink();
    void stopSink();

    QAudioSink* m_sink = nullptr;
    QIODevice* m_device = nullptr;
    BlockFeed m_feed;
    SoundRecord m_format;  // channels, rate and coding only; never the samples
    QTimer m_timer;
    std::uint64_t m_handedOut = 0;
    // Changes whenever the queued blocks are dropped, so that a pass over finished blocks stops
    // when a blockDone handler resets the device.
    std::uint64_t m_generation = 0;
};

}  // namespace talvio::media
