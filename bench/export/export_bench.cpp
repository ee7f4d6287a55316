// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Exporting every chat of a large iPhone store (1,000 chats, 500,000 messages) against loading it
// and rendering every chat, in the same run; copying and converting media apart; and the peak
// memory of talvio-export, run as a child process so that the figure is its own.
#include "bench/timing.h"
#include "export/export_run.h"
#include "media/voice_decode_queue.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

using namespace talvio;
namespace fs = std::filesystem;

namespace {

constexpr double kTimeLimit = 2.0;  // x (loading + rendering every chat)
constexpr double kMemoryLimitMb = 500;
// Voice notes whose files the media run provides: each costs an opusdec run, and all 28,603 of
// the folder would take minutes; the per-note figure tells what the rest would cost.
constexpr std::size_t kVoiceNotes = 1000;

struct ChildRun {
    double seconds = 0;
    double peakMb = 0;
    int status = -1;
};

// Runs a program without a shell, its output thrown away, and reports its wall time and peak
// resident memory (ru_maxrss of the child alone).
ChildRun runChild(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        if (::wait4(pid, &status, 0, &usage) == pid) {
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

void renderEveryChat(CIphoneWeiXin& source) {
    ContactTable& table = contactTable();
    for (int i = 0; i < table.count(); ++i)
        renderContact(source, table.row(i), kViewer, chatPageBuffer());
}

// A 0.2 s mono tone as Ogg Opus, made with opusenc from a WAV written here.
bool makeVoiceNote(const std::string& folder, const std::string& opus) {
    const std::string wav = folder + "/tone.wav";
    const std::uint32_t rate = 16000, frames = rate / 5;
    std::ofstream out(wav, std::ios::binary);
    auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4), u32(36 + frames * 2), out.write("WAVEfmt ", 8), u32(16), u16(1), u16(1), u32(rate),
        u32(rate * 2), u16(2), u16(16), out.write("data", 4), u32(frames * 2);
    for (std::uint32_t i = 0; i < frames; ++i)
        u16(static_cast<std::uint16_t>(
            static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / rate))));
    out.close();
    return runChild({"opusenc", "--quiet", wav, opus}).status == 0;
}

struct MediaCounts {
    std::size_t pictures = 0, videos = 0, voices = 0;
};

// A resource folder whose Library holds a file for every picture and video the store names, and
// for its first kVoiceNotes voice notes. Hard links to one file per kind: made in seconds, and the
// export still copies each one.
MediaCounts makeMediaFolder(const std::string& messageDb, const std::string& resources) {
    MediaCounts counts;
    const std::string library = resources + "/Library/";
    fs::create_directories(library);
    const std::string picture = resources + "/picture", video = resources + "/video",
                      voice = resources + "/voice";
    std::ofstream(picture, std::ios::binary) << std::string(4096, 'p');
    std::ofstream(video, std::ios::binary) << std::string(16384, 'v');
    if (!makeVoiceNote(resources, voice))
        std::puts("opusenc failed: the voice notes of the media run are not Ogg Opus");
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement media(
        db,
        "SELECT ZWAMESSAGE.ZMESSAGETYPE, ZWAMEDIAITEM.ZMEDIALOCALPATH FROM ZWAMESSAGE JOIN ZWAMEDIAITEM "
        "ON ZWAMESSAGE.Z_PK=ZWAMEDIAITEM.ZMESSAGE WHERE ZWAMEDIAITEM.ZMEDIALOCALPATH IS NOT NULL AND "
        "ZWAMESSAGE.ZMESSAGETYPE IN (1, 2, 3) ORDER BY ZWAMESSAGE.Z_PK;");
    std::error_code ec;
    while (media.step()) {
        const std::string type = media.text(0);
        const fs::path path = library + std::string(media.textView(1));
        const std::string* from = type == "1" ? &picture : type == "2" ? &video : &voice;
        if (type == "3" && counts.voices >= kVoiceNotes)
            continue;
        fs::create_directories(path.parent_path(), ec);
        fs::create_hard_link(*from, path, ec);
        if (ec)
            continue;
        (type == "1" ? counts.pictures : type == "2" ? counts.videos : counts.voices) += 1;
    }
    return counts;
}

double folderMegabytes(const std::string& folder) {
    std::uintmax_t bytes = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec))
            bytes += entry.file_size(ec);
    }
    return static_cast<double>(bytes) / 1e6;
}

// The rows every page is made of, read in one pass: what SQLite alone needs for the export.
void readEveryRow(const std::string& messageDb) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement rows(
        db,
        "SELECT ZWAMESSAGE.ZISFROMME, ZWAMESSAGE.ZMESSAGETYPE, ZWAMESSAGE.ZMESSAGEDATE, "
        "ZWAMESSAGE.ZPUSHNAME, ZWAMESSAGE.ZTEXT, ZWAMEDIAITEM.ZMEDIALOCALPATH, ZWAMESSAGE.ZFROMJID, "
        "ZWAMESSAGE.ZTOJID FROM ZWAMESSAGE LEFT JOIN ZWAMEDIAITEM ON "
        "ZWAMESSAGE.Z_PK=ZWAMEDIAITEM.ZMESSAGE ORDER BY ZWAMESSAGE.ZMESSAGEDATE;");
    std::size_t bytes = 0;
    while (rows.step()) {
        for (int c = 0; c < 8; ++c)
            bytes += rows.textView(c).size();
    }
    if (bytes == 0)
        std::puts("no bytes?");
}

double secondsOf(const std::function<void()>& fn) {
    const auto start = std::chrono::steady_clock::now();
    fn();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Whether the pages of some chats, the largest among them, are the same rendered from the indexed
// copy as from the phone's store: the figures mean nothing otherwise.
struct Compared {
    int same = 0;
    int pages = 0;
};
Compared samePages(CIphoneWeiXin& source, const std::string& root, int largest) {
    std::vector<int> rows{largest};
    for (int i = 1; i < contactTable().count() && rows.size() < 30; i += 37) {
        if (i != largest)
            rows.push_back(i);
    }
    for (const auto use : {ExportRun::IndexedCopy::Always, ExportRun::IndexedCopy::Never}) {
        ExportRun run(source,
                      root + (use == ExportRun::IndexedCopy::Always ? "/same-indexed" : "/same-direct"));
        run.setIndexedCopy(use);
        run.run(rows);
    }
    Compared compared;
    for (const auto& entry : fs::directory_iterator(root + "/same-direct")) {
        const std::string name = entry.path().filename().string();
        if (name == "index.html" || !entry.is_regular_file())
            continue;
        std::ifstream a(entry.path(), std::ios::binary), b(root + "/same-indexed/" + name, std::ios::binary);
        ++compared.pages;
        compared.same += std::string(std::istreambuf_iterator<char>(a), {}) ==
                         std::string(std::istreambuf_iterator<char>(b), {});
    }
    return compared;
}

}  // namespace

int main() {
    const std::string folder = TALVIO_BENCH_FOLDER;
    const std::string tool = TALVIO_EXPORT_TOOL;
    const std::string root =
        (fs::temp_directory_path() / ("talvio-bench-export-" + std::to_string(::getpid()))).string();
    // Without media files every picture costs the file test it costs a user, and nothing is copied.
    const std::string noMedia = root + "/resources-empty";
    fs::create_directories(noMedia + "/Library");
    setLoadPaths(kSourceIPhone, folder, noMedia);
    programState().timeZoneBias = 0;
    CIphoneWeiXin source(chosenPhoneFolder());
    bench::printLoad();

    // The floor: what showing every chat in the viewer costs, from the load on. Every chat reads
    // the whole message table, so one run of it is enough.
    const double load = bench::medianSeconds(3, [&] { source.LoadContacts(contactTable()); });
    const double render = secondsOf([&] { renderEveryChat(source); });
    const double oneRead = bench::medianSeconds(3, [&] { readEveryRow(programState().messageDbPath); });
    int largest = 0;
    for (int i = 0; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    renderContact(source, contactTable().row(largest), kStandAlone, chatPageBuffer());
    const double largestPageMb = static_cast<double>(chatPageBuffer().text().size()) / 1e6;
    std::printf("chats: %d rows, largest chat: %d messages, its page %.1f MB\n", contactTable().count(),
                contactTable().row(largest).messageCount, largestPageMb);
    std::printf("%-44s %9.3f s + %.3f s = %.3f s\n", "load + render of every chat", load, render,
                load + render);

    // The export in this process, from the loaded table, as the dialog runs it.
    const std::string out = root + "/export";
    ExportReport report;
    const double exportRun =
        bench::medianSeconds(3, [&] { report = ExportRun(source, out).run(allRows(contactTable())); });
    std::printf("export: %d chats, %d pages, %.0f MB written, %d media files\n", report.chats, report.pages,
                folderMegabytes(out), report.mediaFiles);
    const Compared same = samePages(source, root, largest);

    // talvio-export: load and export in a process of its own.
    std::vector<double> toolTimes;
    double peakMb = 0;
    bool toolOk = true;
    for (int i = 0; i < 3; ++i) {
        const ChildRun run = runChild({tool, "--resources", noMedia, folder, root + "/tool"});
        toolTimes.push_back(run.seconds);
        peakMb = std::max(peakMb, run.peakMb);
        toolOk &= run.status == 0;
    }
    std::sort(toolTimes.begin(), toolTimes.end());
    if (!toolOk)
        std::puts("talvio-export failed");

    // Media apart: the same export with the media files present.
    const std::string withMedia = root + "/resources-media";
    const MediaCounts media = makeMediaFolder(programState().messageDbPath, withMedia);
    const ChildRun mediaRun = runChild({tool, "--resources", withMedia, folder, root + "/media"});
    const double decodeOne = bench::medianSeconds(
        20, [&] { decodeVoiceNote(defaultVoiceDecoder(), withMedia + "/voice", root + "/one.wav"); });
    std::printf(
        "media: %zu pictures, %zu videos and %zu voice notes copied, the notes converted to WAV:\n"
        "       +%.2f s over the export without them (%.1f ms per conversion: all 28,603 notes of the\n"
        "       store would add about %.0f s); peak %.0f MB\n",
        media.pictures, media.videos, media.voices, mediaRun.seconds - toolTimes[1], decodeOne * 1e3,
        decodeOne * 28603, mediaRun.peakMb);
    std::printf("pages the same from the indexed copy as from the store: %d of %d\n", same.same, same.pages);

    bool ok =
        bench::reportRatio("ExportRun of every chat vs load + render", exportRun, load + render, kTimeLimit);
    ok &= bench::reportRatio("talvio-export (load + export) vs the same", toolTimes[1], load + render,
                             kTimeLimit);
    std::printf("%-44s %9.3f s against %9.3f s = %5.2f x (for scale, no limit)\n",
                "talvio-export vs SQLite reading every row", toolTimes[1], oneRead, toolTimes[1] / oneRead);
    const bool memoryOk = peakMb < kMemoryLimitMb && mediaRun.peakMb < kMemoryLimitMb;
    std::printf("%-44s %9.0f MB (limit %.0f MB) %s; largest page %.1f MB\n", "peak memory of talvio-export",
                std::max(peakMb, mediaRun.peakMb), kMemoryLimitMb, memoryOk ? "ok" : "OVER", largestPageMb);
    ok &= memoryOk && toolOk && mediaRun.status == 0 && same.same == same.pages && same.pages > 0;
    std::error_code ec;
    fs::remove_all(root, ec);
    return ok ? 0 : 1;
}
