// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// Loading and rendering a large Android folder of the modern layout against what SQLite alone
// needs for the same rows.
#include "bench/android/modern_chats.h"
#include "bench/timing.h"
#include "sources/android_weixin.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using namespace talvio;

namespace {

// The floor of the load: one pass over the messages computing every chat's figures.
void aggregateOnly(const std::string& messageDb) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement all(db, "SELECT chat_row_id, MAX(timestamp), COUNT(1) FROM message GROUP BY chat_row_id;");
    long rows = 0;
    while (all.step())
        rows += all.text(1) != nullptr;
    if (rows == 0)
        std::puts("no rows?");
}

// The floor of a render: stepping the chats' rows with the reader's query and reading their columns.
void stepChat(const std::string& messageDb, const std::vector<std::int64_t>& chats) {
    Database db;
    db.open(messageDb, Database::Access::ReadOnlySnapshot);
    Statement rows = bench::chatRows(db, chats);
    std::size_t bytes = 0;
    while (rows.step()) {
        for (int c = 0; c < 5; ++c)
            bytes += rows.textView(c).size();
    }
    if (bytes == 0)
        std::puts("no bytes?");
}

}  // namespace

int main() {
    const std::string folder = TALVIO_BENCH_FOLDER;
    setLoadPaths(kSourceAndroid, folder, "");
    programState().timeZoneBias = 0;
    CAndroidWeiXin source(chosenPhoneFolder());
    bench::printLoad();

    const double load = bench::medianSeconds(5, [&] { source.LoadContacts(contactTable()); });
    const double loadFloor = bench::medianSeconds(5, [&] { aggregateOnly(programState().messageDbPath); });

    int largest = 0;
    for (int i = 1; i < contactTable().count(); ++i) {
        if (contactTable().row(i).messageCount > contactTable().row(largest).messageCount)
            largest = i;
    }
    const ContactEntry& entry = contactTable().row(largest);
    programState().currentContactIndex = largest;
    programState().currentContactName = contactShownName(entry);
    Database db;
    db.open(programState().messageDbPath, Database::Access::ReadOnlySnapshot);
    const std::vector<std::int64_t> chats = bench::chatsShownAs(db, entry.jid);
    std::printf("contacts: %d, largest chat: %d messages in %zu chat(s)\n", contactTable().count(),
                entry.messageCount, chats.size());
    const double render =
        bench::medianSeconds(5, [&] { renderContact(source, entry, kViewer, chatPageBuffer()); });
    const double renderFloor =
        bench::medianSeconds(5, [&] { stepChat(programState().messageDbPath, chats); });
    std::printf("page: %.1f MB\n", chatPageBuffer().text().size() / 1e6);

    bool ok = bench::reportRatio("LoadContacts vs one aggregate pass", load, loadFloor, 1.3);
    ok &= bench::reportRatio("RenderChat of the largest chat vs stepping", render, renderFloor, 1.5);
    return ok ? 0 : 1;
}
