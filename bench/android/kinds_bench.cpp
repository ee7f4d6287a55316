// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Rendering the largest chat of the modern-layout benchmark when a fifth of its messages are
// replies, reactions, edits, forwards, places, contact cards, polls, events, deletions and
// calls, against rendering the same chat as the pages did before they showed those kinds (the
// common Android loop, blank bodies and markers) and against the same chat with plain texts.
// The renders alternate, so that the load of a shared machine falls on all alike.
#include "bench/android/modern_chats.h"
#include "bench/timing.h"
#include "sources/android_modern.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/database.h"
#include "sources/message_time.h"
#include "sources/modern_chat_extras.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace talvio;

namespace {

struct Folder {
    std::unique_ptr<CAndroidWeiXin> source;
    ContactEntry largest;
    std::string messageDb;
    std::vector<double> renders;
    std::vector<std::int64_t> chats;  // the chats shown as the largest row
    std::vector<double> asBefore;
};

// The page as the modern layout was rendered before: the chat query of five columns through
// the loop both Android layouts shared.
double renderAsBefore(const Folder& folder) {
    const auto start = std::chrono::steady_clock::now();
    Database db;
    db.open(folder.messageDb, Database::Access::ReadOnlySnapshot);
    Statement rows = bench::chatRows(db, folder.chats);
    chatPageBuffer().start(kViewer);
    const MessageTimeFormatter times(kSourceAndroid, 0);
    appendAndroidMessages(rows, db, contactShownName(folder.largest), times, chatPageBuffer());
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

Folder load(const std::string& path) {
    resetProgramState();
    setLoadPaths(kSourceAndroid, path, "");
    programState().timeZoneBias = 0;
    Folder folder;
    folder.source = std::make_unique<CAndroidWeiXin>(chosenPhoneFolder());
    folder.source->LoadContacts(contactTable());
    int largest = 0;
    for (int i = 1; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    folder.largest = contactTable().row(largest);
    folder.messageDb = programState().messageDbPath;
    Database db;
    db.open(folder.messageDb, Database::Access::ReadOnlySnapshot);
    folder.chats = bench::chatsShownAs(db, folder.largest.jid);
    return folder;
}

double renderSeconds(Folder& folder, std::size_t& bytes) {
    const auto start = std::chrono::steady_clock::now();
    renderContact(*folder.source, folder.largest, kViewer, chatPageBuffer());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    bytes = chatPageBuffer().text().size();
    return seconds;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The companion tables of the largest chat read alone.
double extrasSeconds(const std::string& messageDb) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement largest(db,
                      "SELECT chat_row_id FROM message WHERE chat_row_id > 0 GROUP BY chat_row_id "
                      "ORDER BY count(*) DESC LIMIT 1;");
    const std::vector<std::int64_t> chats{largest.step() ? largest.int64(0) : 0};
    return bench::medianSeconds(5, [&] { const ModernChatExtras extras(db, chats); });
}

}  // namespace

int main() {
    bench::printLoad();
    Folder plain = load(TALVIO_BENCH_FOLDER);
    Folder kinds = load(TALVIO_BENCH_KINDS_FOLDER);
    std::size_t plainBytes = 0, kindsBytes = 0;
    renderSeconds(plain, plainBytes);
    renderSeconds(kinds, kindsBytes);
    renderAsBefore(kinds);
    for (int i = 0; i < 9; ++i) {
        plain.renders.push_back(renderSeconds(plain, plainBytes));
        kinds.asBefore.push_back(renderAsBefore(kinds));
        kinds.renders.push_back(renderSeconds(kinds, kindsBytes));
    }
    std::printf(
        "largest chat: %d messages in %zu chat(s); page %.1f MB as texts, %.1f MB with 20%% other kinds\n",
        kinds.largest.messageCount, kinds.chats.size(), plainBytes / 1e6, kindsBytes / 1e6);
    std::printf("companion tables read in %.3f s (texts) and %.3f s (other kinds)\n",
                extrasSeconds(plain.messageDb), extrasSeconds(kinds.messageDb));
    bool ok = bench::reportRatio("RenderChat with 20% other kinds vs as before", median(kinds.renders),
                                 median(kinds.asBefore), 1.3);
    ok &= bench::reportRatio("RenderChat with 20% other kinds vs as texts", median(kinds.renders),
                             median(plain.renders), 1.3);
    return ok ? 0 : 1;
}
