// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_media.h"

#include <string>
#include <system_error>

#include "tools/iphone_process.h"

namespace talvio::fixture {

namespace {

std::string number(double value) {
    std::string text = std::to_string(value);
    while (text.size() > 1 && text.back() == '0')
        text.pop_back();
    if (text.back() == '.')
        text.pop_back();
    return text;
}

std::filesystem::path scratch(const std::filesystem::path& file, const char* suffix) {
    return scratchBeside(file, suffix);
}

Failure finish(const std::filesystem::path& made, const std::filesystem::path& file) {
    return renameInto(made, file);
}

Failure encodeOpus(const std::filesystem::path& wav, const std::filesystem::path& file,
                   std::uint32_t serial) {
    const std::filesystem::path opus = scratch(file, ".opus");
    // 24 kbit/s mono speech, as the phone records voice notes.
    Failure failure = runProgram({"opusenc", "--quiet", "--bitrate", "24", "--downmix-mono", "--serial",
                                  std::to_string(serial), wav.string(), opus.string()},
                                 "opus-tools");
    std::error_code ignored;
    std::filesystem::remove(wav, ignored);
    if (!failure)
        failure = finish(opus, file);
    if (failure)
        std::filesystem::remove(opus, ignored);
    return failure;
}

}  // namespace

Failure IphoneMedia::writeSpokenVoice(const std::filesystem::path& file, std::string_view text,
                                      std::uint32_t serial) {
    const std::filesystem::path wav = scratch(file, ".wav");
    if (auto failure = runProgram(
            {"espeak-ng", "-v", "en", "-s", "160", "-w", wav.string(), std::string(text)}, "espeak-ng")) {
        return failure;
    }
    return encodeOpus(wav, file, serial);
}

Failure IphoneMedia::writeToneVoice(const std::filesystem::path& file, double seconds, int hertz,
                                    std::uint32_t serial) {
    const std::filesystem::path wav = scratch(file, ".wav");
    if (auto failure = runProgram({"sox",
                                   "-R",
                                   "-n",
                                   "-r",
                                   "16000",
                                   "-c",
                                   "1",
                                   "-b",
                                   "16",
                                   wav.string(),
                                   "synth",
                                   number(seconds),
                                   "sine",
                                   std::to_string(hertz),
                                   "fade",
                                   "0.05",
                                   number(seconds),
                                   "0.05",
                                   "vol",
                                   "0.5"},
                                  "sox")) {
        return failure;
    }
    // Some phones forward audio that is a WAV already; such a file is kept as sox made it.
    if (file.extension() == ".wav")
        return finish(wav, file);
    return encodeOpus(wav, file, serial);
}

Failure IphoneMedia::writeVideo(const std::filesystem::path& file, double seconds, int width, int height,
                                int hertz) {
    const std::filesystem::path mp4 = scratch(file, ".mp4");
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    // Baseline H.264 in yuv420p and AAC, with the index at the front: what phones send and what
    // every player starts at once. One thread and bit-exact flags keep rebuilds identical.
    Failure failure = runProgram(
        {"ffmpeg",
         "-nostdin",
         "-hide_banner",
         "-loglevel",
         "error",
         "-y",
         "-f",
         "lavfi",
         "-i",
         "testsrc2=size=" + size + ":rate=15:duration=" + number(seconds),
         "-f",
         "lavfi",
         "-i",
         "sine=frequency=" + std::to_string(hertz) + ":sample_rate=44100:duration=" + number(seconds),
         "-c:v",
         "libx264",
         "-profile:v",
         "baseline",
         "-preset",
         "veryfast",
         "-pix_fmt",
         "yuv420p",
         "-threads",
         "1",
         "-c:a",
         "aac",
         "-b:a",
         "64k",
         "-shortest",
         "-movflags",
         "+faststart",
         "-map_metadata",
         "-1",
         "-fflags",
         "+bitexact",
         "-flags:v",
         "+bitexact",
         "-flags:a",
         "+bitexact",
         mp4.string()},
        "ffmpeg");
    if (!failure)
        failure = finish(mp4, file);
    if (failure) {
        std::error_code ignored;
        std::filesystem::remove(mp4, ignored);
    }
    return failure;
}

}  // namespace talvio::fixture
