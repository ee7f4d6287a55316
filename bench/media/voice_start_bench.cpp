// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// How long a person waits, once the WAV of a long voice note is ready, before hearing it: the
// whole file is read, the window opens and the device starts. Needs pulseaudio, whose private
// null sink stands in for the sound card.
#include <QApplication>
#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>

#include "media/voice_player.h"
#include "media/wav_writer.h"
#include "sound_server.h"

namespace {

constexpr double kLimitSeconds = 0.5;
constexpr int kMinutes = 10;

QTemporaryDir* g_folder = nullptr;

// Speech-like sound (not silence, which a clever path could skip) at the note's rate.
QString tenMinuteNote(std::uint32_t rate, std::uint16_t channels) {
    const QString path = g_folder->filePath(QStringLiteral("note-%1-%2.wav").arg(rate).arg(channels));
    if (QFileInfo::exists(path))
        return path;
    talvio::media::SoundRecord sound;
    sound.sampleRate = rate;
    sound.channels = channels;
    sound.bitsPerSample = 16;
    const std::size_t frames = std::size_t{rate} * 60 * kMinutes;
    sound.samples.resize(frames * channels * 2);
    auto* samples = reinterpret_cast<std::int16_t*>(sound.samples.data());
    for (std::size_t i = 0; i < frames * channels; ++i) {
        const double t = static_cast<double>(i / channels) / rate;
        samples[i] = static_cast<std::int16_t>(5000 * std::sin(2 * std::numbers::pi * 180 * t) *
                                               (0.6 + 0.4 * std::sin(2 * std::numbers::pi * 3 * t)));
    }
    talvio::media::writeWavFile(sound, path.toStdString());
    return path;
}

void BM_TenMinuteNoteStartsPlaying(benchmark::State& state) {
    const QString path =
        tenMinuteNote(static_cast<std::uint32_t>(state.range(0)), static_cast<std::uint16_t>(state.range(1)));
    double worst = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        talvio::media::CDlgVoicePlayer player(path);
        player.show();
        while (player.audioOutput().playedMicroseconds() <= 0 && clock.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        worst = std::max(worst, seconds);
        player.reject();
    }
    state.counters["worst_s"] = worst;
    state.counters["limit_s"] = kLimitSeconds;
}
// WhatsApp records 16 kHz mono; 48 kHz stereo is the most opusdec can hand the player.
BENCHMARK(BM_TenMinuteNoteStartsPlaying)
    ->Args({16000, 1})
    ->Args({48000, 2})
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Keeps the console output and remembers each run's worst start, to print it beside the limit.
class LimitReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto worst = run.counters.find("worst_s");
            if (run.run_type == Run::RT_Iteration && worst != run.counters.end()) {
                m_worst[run.benchmark_name()] = worst->second.value;
            }
        }
    }
    const std::map<std::string, double>& worst() const { return m_worst; }

private:
    std::map<std::string, double> m_worst;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    talvio::media::test::SoundServer server;
    if (!server.start()) {
        std::fprintf(stderr, "voice_start_bench: %s\n", qPrintable(server.failure()));
        return 1;
    }
    QApplication application(argc, argv);
    // Without a device the player would wait on a message box that nobody answers.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        std::fprintf(stderr, "voice_start_bench: no audio device\n");
        return 1;
    }
    QTemporaryDir folder;
    g_folder = &folder;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    LimitReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bool within = true;
    for (const auto& [name, seconds] : reporter.worst()) {
        within = within && seconds <= kLimitSeconds;
        std::printf("%d-minute voice note playing after at worst %.3f s (%s), limit %.1f s: %s\n", kMinutes,
                    seconds, name.c_str(), kLimitSeconds, seconds <= kLimitSeconds ? "within" : "OVER");
    }
    server.stop();
    return within ? 0 : 2;
}
