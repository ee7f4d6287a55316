// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Loading and rendering a large iPhone store (1,000 chats, 500,000 messages, no index on
// ZFROMJID or ZTOJID) against what the same figures and rows cost on their own.
#include "bench/timing.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/iphone_statistics.h"
#include "sources/iphone_weixin.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unordered_map>

using namespace talvio;

namespace {

// The floor of the load: the one pass over ZWAMESSAGE that gives every chat its figures.
void aggregateOnly(const std::string& messageDb, const std::vector<std::string>& jids) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    std::unordered_map<std::string, ChatStatistics> figures;
    if (!readAllChatStatistics(db, jids, figures))
        std::puts("the pass failed?");
}

// What the specified statistics cost: one aggregate per chat, each reading the whole table.
double perChatSeconds(const std::string& messageDb, const std::vector<std::string>& jids,
                      std::size_t sample) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement query(db, kIphoneStatisticsQuery);
    const double seconds = bench::medianSeconds(1, [&] {
        for (std::size_t i = 0; i < sample && i < jids.size(); ++i) {
            ChatStatistics figures;
            readChatStatistics(query, jids[i], figures);
        }
    });
    return seconds / static_cast<double>(std::min(sample, jids.size())) * static_cast<double>(jids.size());
}

// The floor of a render: stepping the chat's rows and reading their columns.
void stepChat(const std::string& messageDb, const std::string& jid) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement rows(db, kIphoneChatQuery);
    rows.bind(1, jid);
    std::size_t bytes = 0;
    while (rows.step()) {
        for (int c = 0; c < 6; ++c)
            bytes += rows.textView(c).size();
    }
    if (bytes == 0)
        std::puts("no bytes?");
}

}  // namespace

int main() {
    const std::string folder = TALVIO_BENCH_FOLDER;
    // An empty resource folder: every picture costs the file test it costs a user.
    const std::string resources =
        (std::filesystem::temp_directory_path() / "talvio-bench-iphone-resources").string();
    std::filesystem::create_directories(resources + "/Library");
    setLoadPaths(kSourceIPhone, folder, resources);
    programState().timeZoneBias = 0;
    CIphoneWeiXin source(chosenPhoneFolder());
    bench::printLoad();

    const double load = bench::medianSeconds(5, [&] { source.LoadContacts(contactTable()); });
    std::vector<std::string> jids;
    for (const ContactEntry& entry : contactTable().rows())
        jids.push_back(entry.jid);
    const double loadFloor =
        bench::medianSeconds(5, [&] { aggregateOnly(programState().messageDbPath, jids); });
    const double perChat = perChatSeconds(programState().messageDbPath, jids, 10);

    int largest = 0;
    for (int i = 1; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    const ContactEntry& entry = contactTable().row(largest);
    programState().currentContactIndex = largest;
    programState().currentContactName = contactShownName(entry);
    std::printf("chats: %d rows, largest chat: %d messages\n", contactTable().count(), entry.messageCount);
    const double render =
        bench::medianSeconds(5, [&] { renderContact(source, entry, kViewer, chatPageBuffer()); });
    const double renderFloor =
        bench::medianSeconds(5, [&] { stepChat(programState().messageDbPath, entry.jid); });
    std::printf("page: %.1f MB\n", chatPageBuffer().text().size() / 1e6);

    bool ok = bench::reportRatio("LoadContacts vs the one-pass aggregate", load, loadFloor, 1.5);
    ok &= bench::reportRatio("RenderChat of the largest chat vs stepping", render, renderFloor, 1.5);
    std::printf("%-44s %9.3f s (estimated from 10 chats) = %.0f x the one-pass LoadContacts\n",
                "statistics as one aggregate per chat", perChat, load > 0 ? perChat / load : 0);
    std::filesystem::remove_all(resources);
    return ok ? 0 : 1;
}
