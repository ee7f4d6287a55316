// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The large modern-layout folder with 50,000 media files: loading the contact list and rendering
// the largest chat with the media folder against the same without it.
#include "bench/timing.h"
#include "sources/android_media.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace talvio;

namespace {

// Medians of runs of a and b taken in turns, after one warm-up of each: on a busy machine both
// meet the same load.
std::pair<double, double> interleavedMedians(int runs, const std::function<void()>& a,
                                             const std::function<void()>& b) {
    std::vector<double> ta;
    std::vector<double> tb;
    const auto time = [](const std::function<void()>& fn) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    a();
    b();
    for (int i = 0; i < runs; ++i) {
        ta.push_back(time(a));
        tb.push_back(time(b));
    }
    std::sort(ta.begin(), ta.end());
    std::sort(tb.begin(), tb.end());
    return {ta[ta.size() / 2], tb[tb.size() / 2]};
}

}  // namespace

int main() {
    const std::string folder = TALVIO_BENCH_FOLDER;
    const std::string media = TALVIO_BENCH_MEDIA;
    programState().timeZoneBias = 0;
    bench::printLoad();

    CAndroidWeiXin plain(phoneFolderOf(kSourceAndroid, folder, "", 0));
    // With media the load also walks Media/ (on a thread of its own), to find files the copy moved
    // by their names: its time counts until the walk has ended.
    CAndroidWeiXin withMedia(phoneFolderOf(kSourceAndroid, folder, media, 0));
    const auto [load, loadWithMedia] = interleavedMedians(
        7, [&] { plain.LoadContacts(contactTable()); },
        [&] {
            withMedia.LoadContacts(contactTable());
            withMedia.finishMediaIndex();
        });
    std::size_t files = 0;

    int largest = 0;
    for (int i = 1; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    const ContactEntry entry = contactTable().row(largest);
    const double walk = bench::medianSeconds(3, [&] { files = MediaNameIndex(media).fileCount(); });
    std::printf("media files: %zu, contacts: %d, largest chat: %d messages\n", files, contactTable().count(),
                entry.messageCount);
    std::printf("walk of Media/ alone: %.3f s\n", walk);
    std::size_t plainBytes = 0;
    std::size_t mediaBytes = 0;
    const auto [render, renderWithMedia] = interleavedMedians(
        5,
        [&] {
            renderContact(plain, entry, kViewer, chatPageBuffer());
            plainBytes = chatPageBuffer().text().size();
        },
        [&] {
            renderContact(withMedia, entry, kViewer, chatPageBuffer());
            mediaBytes = chatPageBuffer().text().size();
        });
    std::printf("page: %.1f MB without media, %.1f MB with\n", plainBytes / 1e6, mediaBytes / 1e6);

    bool ok = bench::reportRatio("LoadContacts with media vs without", loadWithMedia, load, 1.2);
    ok &= bench::reportRatio("RenderChat with media vs without", renderWithMedia, render, 1.3);
    return ok ? 0 : 1;
}
