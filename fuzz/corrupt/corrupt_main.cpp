// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio-corrupt: writes damaged variants of a fixture folder, for the corrupt-database tests.
#include "fuzz/corrupt/variants.h"

#include <cstdio>
#include <exception>

using namespace talvio::corrupt;

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "Usage: talvio-corrupt FIXTURE OUT\n"
                     "  Writes OUT/intact (a copy of the Android or iPhone folder FIXTURE), one folder per\n"
                     "  damaged variant of it beside, and OUT/variants.txt naming each with the outcome its\n"
                     "  load must have. OUT is emptied first.\n");
        return 2;
    }
    try {
        Corpus corpus(argv[1], argv[2]);
        for (const std::string& database : corpus.databases()) {
            addTruncations(corpus, database);
            addHeaderDamage(corpus, database);
            addPageDamage(corpus, database, corpus.read(database), "page-", Pages::Tree);
            addTableDamage(corpus, database);
            addSpecialFiles(corpus, database);
        }
        addLongTexts(corpus);
        addLogDamage(corpus);
        std::printf("%zu variants in %s\n", corpus.finish(), argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "talvio-corrupt: %s\n", e.what());
        return 1;
    }
    return 0;
}
