// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Long chats exported in parts: exporting every chat of the 1,000,000-message Android folder with
// parts against the same export in one page per chat, in turns; then the parts of the largest chat
// opened from disk in headless Chromium: when the page is ready (DOM content loaded and first
// paint) and the peak memory of Chromium's whole process tree.
#include "bench/timing.h"
#include "export/chat_parts.h"
#include "export/export_index.h"
#include "export/export_run.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace talvio;
namespace fs = std::filesystem;

namespace {

constexpr double kExportLimit = 1.1;  // x the export in one page per chat
constexpr double kReadyLimit = 1.0;   // seconds
constexpr double kMemoryLimit = 500;  // MB, Chromium's process tree (PSS)
constexpr const char* kChromium = "/usr/bin/chromium";

// Reports the page's own timings once it has loaded and painted.
constexpr std::string_view kProbe = R"(<script>
window.addEventListener('load', function () {
  setTimeout(function () {
    var nav = performance.getEntriesByType('navigation')[0];
    var paint = 0;
    performance.getEntriesByType('paint').forEach(function (p) { paint = Math.max(paint, p.startTime); });
    document.body.setAttribute('data-ready', Math.round(Math.max(nav.domContentLoadedEventEnd, paint)));
  }, 200);
});
</script>)";

std::string scratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "talvio-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        std::abort();
    return pattern;
}

// Proportional memory (PSS) of pid and every process below it, in bytes: what the tree adds to the
// machine, with pages its processes share counted once.
std::size_t treeMemory(pid_t root) {
    std::map<pid_t, pid_t> parents;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return 0;
    while (const dirent* entry = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0)
            continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(line.substr(close + 2));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        parents[pid] = parent;
    }
    ::closedir(proc);
    std::size_t total = 0;
    for (const auto& [pid, parent] : parents) {
        bool inTree = false;
        for (pid_t p = pid; p > 1 && !inTree;) {
            inTree = p == root;
            const auto up = parents.find(p);
            if (up == parents.end())
                break;
            p = up->second;
        }
        if (!inTree)
            continue;
        std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
        for (std::string line; std::getline(rollup, line);) {
            if (line.rfind("Pss:", 0) == 0) {
                total += static_cast<std::size_t>(std::atol(line.c_str() + 4)) * 1024;
                break;
            }
        }
    }
    return total;
}

struct Opening {
    double ready = -1;  // seconds, from the page's own timings
    double peakMb = 0;
};

// Opens the page from disk in headless Chromium and samples its process tree until it is done.
Opening openInChromium(const std::string& page, const std::string& profile) {
    int out[2];
    if (::pipe(out) != 0)
        std::abort();
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::close(out[0]);
        ::close(out[1]);
        const std::string userData = "--user-data-dir=" + profile;
        const std::string url = "file://" + page;
        std::freopen("/dev/null", "w", stderr);
        ::execl(kChromium, kChromium, "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                userData.c_str(), "--virtual-time-budget=5000", "--dump-dom", url.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    std::string dom;
    Opening opening;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        opening.peakMb = std::max(opening.peakMb, static_cast<double>(treeMemory(child)) / 1e6);
        pollfd wait{out[0], POLLIN, 0};
        if (::poll(&wait, 1, 20) > 0) {
            char buffer[65536];
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            dom.append(buffer, static_cast<std::size_t>(n));
        }
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(120)) {
            ::kill(child, SIGKILL);
            break;
        }
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::size_t at = dom.find("data-ready=\"");
    if (at != std::string::npos)
        opening.ready = std::atof(dom.c_str() + at + 12) / 1000.0;
    return opening;
}

}  // namespace

int main() {
    programState().timeZoneBias = 0;
    bench::printLoad();
    CAndroidWeiXin source(phoneFolderOf(kSourceAndroid, TALVIO_BENCH_FOLDER, "", 0));
    source.LoadContacts(contactTable());
    const std::vector<int> rows = rowsWithMessages(contactTable());

    const std::string onePage = scratchFolder();
    const std::string inParts = scratchFolder();
    const auto exportInto = [&](const std::string& folder, std::size_t perPart) {
        ExportRun run(source, folder);
        run.setMessagesPerPart(perPart);
        if (!run.run(rows).complete())
            std::abort();
    };
    std::vector<double> whole;
    std::vector<double> parted;
    const auto time = [](const std::function<void()>& fn) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    exportInto(onePage, SIZE_MAX);
    exportInto(inParts, kMessagesPerPart);
    for (int i = 0; i < 3; ++i) {
        whole.push_back(time([&] { exportInto(onePage, SIZE_MAX); }));
        parted.push_back(time([&] { exportInto(inParts, kMessagesPerPart); }));
    }
    std::sort(whole.begin(), whole.end());
    std::sort(parted.begin(), parted.end());
    std::printf("%zu chats exported\n", rows.size());
    bool ok = bench::reportRatio("export in parts vs in one page each", parted[1], whole[1], kExportLimit);

    // The largest chat: its first part, and its largest.
    int largest = rows.front();
    for (const int row : rows) {
        if (contactTable().row(row).messageCount > contactTable().row(largest).messageCount)
            largest = row;
    }
    std::vector<std::string> jids;
    for (const ContactEntry& entry : contactTable().rows())
        jids.push_back(entry.jid);
    const std::string page = pageFileNames(jids)[static_cast<std::size_t>(largest)];
    const std::set<std::string> taken = takenPageNames(pageFileNames(jids));
    std::string biggest = page;
    int parts = 0;
    for (int k = 1;; ++k) {
        const std::string name = chatPartName(page, k, taken);
        std::error_code ec;
        if (!fs::is_regular_file(inParts + "/" + name, ec))
            break;
        ++parts;
        if (fs::file_size(inParts + "/" + name) > fs::file_size(inParts + "/" + biggest))
            biggest = name;
    }
    std::printf(
        "largest chat: %d messages in %d parts of at most %zu; one page: %.1f MB, largest part: %.1f MB\n",
        contactTable().row(largest).messageCount, parts, kMessagesPerPart,
        static_cast<double>(fs::file_size(onePage + "/" + page)) / 1e6,
        static_cast<double>(fs::file_size(inParts + "/" + biggest)) / 1e6);
    if (!fs::exists(kChromium)) {
        std::printf("chromium is not installed: the opening is not measured\n");
    } else {
        const std::string profile = scratchFolder();
        // An empty page, for what Chromium costs by itself.
        const std::string empty = inParts + "/empty.html";
        std::ofstream(empty) << "<html><body>" << kProbe << "</body></html>";
        const Opening bare = openInChromium(empty, profile);
        std::printf("an empty page: ready in %.3f s, Chromium's process tree at its peak %.0f MB\n",
                    bare.ready, bare.peakMb);
        for (const std::string& name : {page, biggest}) {
            // The probe lies beside the part, so that whatever the part refers to resolves as from it.
            const std::string probe = inParts + "/probe.html";
            std::ifstream in(inParts + "/" + name, std::ios::binary);
            std::ofstream(probe, std::ios::binary) << in.rdbuf() << kProbe;
            std::vector<double> ready;
            double peak = 0;
            for (int i = 0; i < 3; ++i) {
                const Opening opening = openInChromium(probe, profile);
                ready.push_back(opening.ready);
                peak = std::max(peak, opening.peakMb);
            }
            std::sort(ready.begin(), ready.end());
            const bool readyOk = ready[1] >= 0 && ready[1] <= kReadyLimit;
            const bool memoryOk = peak <= kMemoryLimit;
            std::printf("%-44s %9.3f s (limit %.1f s) %s\n", ("ready in Chromium: " + name).c_str(), ready[1],
                        kReadyLimit, readyOk ? "ok" : "OVER");
            std::printf("%-44s %9.0f MB (limit %.0f MB) %s\n", "  Chromium's process tree at its peak", peak,
                        kMemoryLimit, memoryOk ? "ok" : "OVER");
            ok = ok && readyOk && memoryOk;
        }
        fs::remove_all(profile);
    }
    fs::remove_all(onePage);
    fs::remove_all(inParts);
    return ok ? 0 : 1;
}
