// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// loadWavFile on any bytes, and a sound it accepts played through the voice player's playback to
// its end with every block's spectrum drawn, as the player window would.
#include "fuzz/fuzz_support.h"
#include "media/block_feed.h"
#include "media/spectrum_bars.h"
#include "media/voice_playback.h"
#include "media/wav_reader.h"

#include <string>

using namespace talvio;
using namespace talvio::media;

namespace {

// A device that opens for anything and plays whatever it is given at once.
class InstantOutput : public AudioOutput {
public:
    bool open(const SoundRecord&) override { return true; }
    void write(int slot, std::span<const std::uint8_t> block) override {
        FUZZ_CHECK(block.size() == kBlockBytes, "a block of the wrong size reached the device");
        queued.push_back(slot);
    }
    void reset() override { queued.clear(); }
    void close() override { queued.clear(); }
    std::vector<int> queued;
};

void playToTheEnd(const SoundRecord& sound) {
    InstantOutput output;
    VoicePlayback playback(sound, output);
    PlaybackUpdate update = playback.play();
    SpectrumAnalyzer& analyzer = spectrumAnalyzer();
    // Every block done hands out at most the next one; the sound is at most the input long.
    const std::size_t bound = sound.samples.size() / kBlockBytes + 8;
    for (std::size_t events = 0; !output.queued.empty(); ++events) {
        FUZZ_CHECK(events <= bound, "playback does not come to an end");
        if (update.spectrumBlock.size() == kBlockBytes) {
            spectrumBarsForBlock(analyzer, BlockView(update.spectrumBlock.data(), kBlockBytes), 300, 60);
        }
        if (update.trackbar)
            FUZZ_CHECK(*update.trackbar >= 0 && *update.trackbar <= 100, "trackbar out of range");
        const int slot = output.queued.front();
        output.queued.erase(output.queued.begin());
        update = playback.blockDone(slot);
    }
    FUZZ_CHECK(playback.position() <= sound.samples.size(), "the position ran past the sound");
    playedBytes(1'000'000, sound);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::scratchFolder() + "voice.wav";
    fuzz::writeScratchFile(path, fuzz::asText(data, size));

    SoundRecord sound;
    sound.sampleRate = 12345;
    const WavError error = loadWavFile(path, sound);
    if (error != WavError::None) {
        FUZZ_CHECK(sound.samples.empty() && sound.sampleRate == 12345, "a failed load changed the sound");
        FUZZ_CHECK(!wavErrorText(error).empty(), "an error without a text");
        return 0;
    }
    FUZZ_CHECK(!sound.samples.empty() && sound.samples.size() <= size, "the samples are not from the file");
    FUZZ_CHECK(sound.channels >= 1 && sound.channels <= 8, "a channel count the output cannot take");
    FUZZ_CHECK(sound.sampleRate >= 1000 && sound.sampleRate <= 384000, "a rate the output cannot take");
    FUZZ_CHECK(sound.bitsPerSample == 8 || sound.bitsPerSample == 16 || sound.bitsPerSample == 32,
               "a sample size the output cannot take");
    playToTheEnd(sound);
    return 0;
}
