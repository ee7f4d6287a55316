// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-fuzz-seeds OUT: writes the binary seed inputs (settings records and WAV files) into
// OUT/settings, OUT/wav and OUT/backup, so that no binary file needs to be kept in the repository.
#include "backup/backup_writer.h"
#include "fuzz/backup_fuzz_key.h"
#include "shell/settings_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace talvio;

namespace {

namespace fs = std::filesystem;

void write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string record(std::int32_t kind, const std::string (&paths)[4]) {
    std::string bytes(kSettingsFileSize, '\0');
    for (int b = 0; b < 4; ++b)
        bytes[static_cast<std::size_t>(b)] = static_cast<char>(static_cast<std::uint32_t>(kind) >> (8 * b));
    for (std::size_t i = 0; i < 4; ++i)
        bytes.replace(4 + i * kSettingsFieldSize, paths[i].size(), paths[i]);
    return bytes;
}

void settingsSeeds(const fs::path& out) {
    const std::string full =
        record(1, {"/home/a/com.whatsapp/", "", "/home/a/group.net.whatsapp.WhatsApp.shared/",
                   "/home/a/net.whatsapp.WhatsApp/"});
    write(out / "full", full);
    write(out / "short", full.substr(0, 300));
    write(out / "kind-only", full.substr(0, 4));
    write(out / "unterminated", record(0, {std::string(260, 'x'), "/b/", std::string(260, 'y'), "/d/"}));
    write(out / "longer", full + "trailing bytes");
}

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A WAV file written from the file format, not by the program's own writer.
std::string wav(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                std::size_t samples) {
    const std::uint16_t align = static_cast<std::uint16_t>(channels * ((bits + 7) / 8));
    std::string out = "RIFF";
    put(out, static_cast<std::uint32_t>(36 + samples + samples % 2), 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, tag, 2);
    put(out, channels, 2);
    put(out, rate, 4);
    put(out, rate * align, 4);
    put(out, align, 2);
    put(out, bits, 2);
    out += "data";
    put(out, static_cast<std::uint32_t>(samples), 4);
    for (std::size_t i = 0; i < samples; ++i)
        out += static_cast<char>(i * 37);
    if (samples % 2 != 0)
        out += '\0';
    return out;
}

void wavSeeds(const fs::path& out) {
    write(out / "pcm16-mono", wav(1, 1, 8000, 16, 200));
    write(out / "pcm8-stereo-odd", wav(1, 2, 11025, 8, 101));
    write(out / "float32", wav(3, 1, 48000, 32, 64));
    write(out / "pcm16-two-blocks", wav(1, 2, 16000, 16, 9000));
    // A data chunk that claims more than the file holds, as an interrupted decoder leaves it.
    std::string cut = wav(1, 1, 8000, 16, 200);
    cut.resize(cut.size() - 20);
    write(out / "data-cut", cut);
    // Chunks in another order and a chunk the reader skips.
    std::string moved = "RIFF";
    put(moved, 64, 4);
    moved += "WAVELIST";
    put(moved, 3, 4);
    moved += std::string("abc\0", 4);
    moved += "data";
    put(moved, 4, 4);
    moved += "\x01\x02\x03\x04";
    moved += "fmt ";
    for (const auto& [value, bytes] :
         {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {8000u, 4}, {16000u, 4}, {2u, 2}, {16u, 2}})
        put(moved, value, bytes);
    write(out / "data-before-format", moved);
}

// Backups of every kind encrypted with the key the backup target uses; the first byte names the kind.
void backupSeeds(const fs::path& out) {
    std::string plain = std::string("SQLite format 3") + '\0';
    for (int i = 0; i < 300; ++i)
        plain += static_cast<char>(i * i % 251);
    const std::vector<std::uint8_t> database(plain.begin(), plain.end());
    const char* names[] = {"crypt12", "crypt14", "crypt15"};
    const backup::BackupFormat formats[] = {backup::BackupFormat::Crypt12, backup::BackupFormat::Crypt14,
                                            backup::BackupFormat::Crypt15};
    for (int kind = 0; kind < 3; ++kind) {
        for (const bool md5 : {true, false}) {
            backup::BackupWriteOptions options;
            options.format = formats[kind];
            options.md5Trailer = md5;
            options.featureTable = md5;
            const auto file = backup::writeBackup(database, fuzz::backupFuzzKey(), options);
            write(out / (std::string(names[kind]) + (md5 ? "" : "-plain")),
                  static_cast<char>(kind) + std::string(file.begin(), file.end()));
        }
    }
    backup::BackupWriteOptions zip;
    zip.compress = false;
    const std::vector<std::uint8_t> entry = {'P', 'K', 3, 4, 20, 0, 0, 0};
    const auto file = backup::writeBackup(entry, fuzz::backupFuzzKey(), zip);
    write(out / "crypt15-zip", '\2' + std::string(file.begin(), file.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: talvio-fuzz-seeds OUT\n");
        return 2;
    }
    settingsSeeds(fs::path(argv[1]) / "settings");
    wavSeeds(fs::path(argv[1]) / "wav");
    backupSeeds(fs::path(argv[1]) / "backup");
    return 0;
}
