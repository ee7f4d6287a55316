// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "media/sink_audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>
#include <optional>

#include "media/pcm_block.h"

namespace talvio::media {
namespace {

// Often enough that a block at 48 kHz stereo (43 ms) is refilled long before the sink runs dry.
constexpr int kPumpMilliseconds = 10;

std::optional<QAudioFormat::SampleFormat> sampleFormatOf(const SoundRecord& sound) {
    if (sound.format == SampleFormat::Float) {
        if (sound.bitsPerSample == 32)
            return QAudioFormat::Float;
        return std::nullopt;
    }
    switch (sound.bitsPerSample) {
        case 8:
            return QAudioFormat::UInt8;
        case 16:
            return QAudioFormat::Int16;
        case 32:
            return QAudioFormat::Int32;
        default:
            return std::nullopt;
    }
}

}  // namespace

SinkAudioOutput::SinkAudioOutput(QObject* parent) : QObject(parent) {
    m_timer.setInterval(kPumpMilliseconds);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SinkAudioOutput::pump);
}

SinkAudioOutput::~SinkAudioOutput() {
    stopSink();
}

bool SinkAudioOutput::open(const SoundRecord& format) {
    stopSink();
    const auto sampleFormat = sampleFormatOf(format);
    // A frame must not straddle two blocks: the sink takes whole frames only.
    if (!sampleFormat || format.sampleRate == 0 || format.channels == 0 ||
        kBlockBytes % format.blockAlign() != 0) {
        return false;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return false;
    }
    QAudioFormat audioFormat;
    audioFormat.setSampleRate(static_cast<int>(format.sampleRate));
    audioFormat.setChannelCount(format.channels);
    audioFormat.setSampleFormat(*sampleFormat);

    auto* sink = new QAudioSink(device, audioFormat);
    QIODevice* pushDevice = sink->start();
    if (pushDevice == nullptr || sink->error() != QAudio::NoError) {
        delete sink;
        return false;
    }
    m_sink = sink;
    m_device = pushDevice;
    m_format.sampleRate = format.sampleRate;
    m_format.channels = format.channels;
    m_format.bitsPerSample = format.bitsPerSample;
    m_format.format = format.format;
    m_feed.clear();
    m_handedOut = 0;
    m_timer.start();
    return true;
}

void SinkAudioOutput::write(int slot, std::span<const std::uint8_t> block) {
    if (m_sink == nullptr)
        return;
    m_feed.push(slot, block);
    feedSink();
}

void SinkAudioOutput::reset() {
    stopSink();
}

void SinkAudioOutput::close() {
    stopSink();
}

std::int64_t SinkAudioOutput::playedMicroseconds() const {
    return m_sink != nullptr ? m_sink->processedUSecs() : 0;
}

void SinkAudioOutput::pump() {
    if (m_sink == nullptr)
        return;
    feedSink();
    // processedUSecs() truncates to whole microseconds, so at the end of the sound it falls short
    // of the last frame at most rates (22050 Hz, even 48000 Hz): one microsecond more restores
    // the frame without ever counting one that has not been played.
    const std::uint64_t played = playedBytes(m_sink->processedUSecs() + 1, m_format);
    const std::uint64_t generation = m_generation;
    for (const int slot : m_feed.takePlayed(played)) {
        emit blockDone(slot);
        if (generation != m_generation)
            return;  // the handler reset the device
    }
    feedSink();
}

void SinkAudioOutput::feedSink() {
    const std::size_t frame = m_format.blockAlign();
    while (m_device != nullptr) {
        const std::span<const std::uint8_t> bytes = m_feed.untaken();
        const qint64 room = m_sink->bytesFree();
        std::size_t count = std::min(bytes.size(), room > 0 ? static_cast<std::size_t>(room) : 0);
        count -= count % frame;
        if (count == 0)
            return;
        const qint64 written =
            m_device->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(count));
        if (written <= 0)
            return;
        m_feed.taken(static_cast<std::size_t>(written));
        m_handedOut += static_cast<std::uint64_t>(written);
    }
}

void SinkAudioOutput::stopSink() {
    m_timer.stop();
    m_feed.clear();
    ++m_generation;
    if (m_sink != nullptr) {
        m_sink->stop();
        // Deleting a sink runs the event loop (the PulseAudio sink does), which would let a
        // click reach the player in the middle of its own event handling.
        m_sink->deleteLater();
        m_sink = nullptr;
        m_device = nullptr;
    }
}

}  // namespace talvio::media
