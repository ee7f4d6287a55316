// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/media_files.h"

#include <cstdio>
#include <fstream>
#include <system_error>
#include <vector>

#include "tools/iphone_process.h"

namespace talvio::fixture {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Bit-exact flags and no metadata keep ffmpeg from stamping versions and random serials.
const std::vector<std::string> kExact = {"-map_metadata", "-1",        "-fflags",  "+bitexact",
                                         "-flags:v",      "+bitexact", "-flags:a", "+bitexact"};

Failure runFfmpeg(std::vector<std::string> arguments, const std::filesystem::path& file, const char* suffix) {
    const std::filesystem::path made = scratchBeside(file, suffix);
    std::vector<std::string> command = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    command.insert(command.end(), kExact.begin(), kExact.end());
    command.push_back(made.string());
    Failure failure = runProgram(command, "ffmpeg");
    if (!failure)
        failure = renameInto(made, file);
    if (failure) {
        std::error_code ignored;
        std::filesystem::remove(made, ignored);
    }
    return failure;
}

}  // namespace

Failure MediaFiles::writeGif(const std::filesystem::path& file, double seconds, int width, int height) {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    return runFfmpeg({"-f", "lavfi", "-i", "testsrc=size=" + size + ":rate=10:duration=" + number(seconds),
                      "-an", "-c:v", "libx264", "-profile:v", "baseline", "-preset", "veryfast", "-pix_fmt",
                      "yuv420p", "-threads", "1", "-movflags", "+faststart"},
                     file, ".mp4");
}

Failure MediaFiles::writeAudio(const std::filesystem::path& file, double seconds, int hertz) {
    const std::string extension = file.extension().string();
    std::vector<std::string> arguments = {
        "-f", "lavfi", "-i",
        "sine=frequency=" + std::to_string(hertz) + ":sample_rate=44100:duration=" + number(seconds)};
    if (extension == ".m4a") {
        arguments.insert(arguments.end(),
                         {"-c:a", "aac", "-b:a", "64k", "-movflags", "+faststart", "-f", "ipod"});
    } else if (extension == ".mp3") {
        arguments.insert(arguments.end(),
                         {"-c:a", "libmp3lame", "-b:a", "64k", "-write_xing", "0", "-f", "mp3"});
    } else if (extension == ".ogg") {
        arguments.insert(arguments.end(), {"-c:a", "libvorbis", "-q:a", "2", "-f", "ogg"});
    } else {
        return file.string() + ": audio files end in .m4a, .mp3 or .ogg";
    }
    return runFfmpeg(arguments, file, extension.c_str());
}

std::string MediaFiles::pdfBytes(std::string_view title) {
    std::string shown;
    for (unsigned char c : title) {
        if (c >= 0x80) {
            // One '?' per character, not per byte of its UTF-8.
            if ((c & 0xC0) != 0x80)
                shown += '?';
            continue;
        }
        if (c == '(' || c == ')' || c == '\\')
            shown += '\\';
        shown += c < 0x20 ? ' ' : static_cast<char>(c);
    }
    const std::string content = "BT /F1 18 Tf 72 760 Td (" + shown + ") Tj ET\n";
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 4 0 R >> >> "
        "/Contents 5 0 R >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "endstream",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t offset : offsets) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
        pdf += entry;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

Failure MediaFiles::writePdf(const std::filesystem::path& file, std::string_view title) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << pdfBytes(title);
    out.close();
    if (!out)
        return "cannot write " + file.string();
    return std::nullopt;
}

}  // namespace talvio::fixture
