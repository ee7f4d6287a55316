// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fuzz/corrupt/variants.h"

#include <sys/stat.h>

#include <stdexcept>

namespace talvio::corrupt {

void addSpecialFiles(Corpus& corpus, const std::string& relative) {
    const std::string file = shortName(relative);
    const Expect expect = corpus.unusable(relative);
    {
        const fs::path variant = corpus.add("folder-" + file, expect);
        Corpus::remove(variant, relative);
        fs::create_directories(variant / relative / "inside");
    }
    {
        // Opening a FIFO for reading waits for a writer that never comes.
        const fs::path variant = corpus.add("fifo-" + file, expect);
        Corpus::remove(variant, relative);
        if (::mkfifo((variant / relative).c_str(), 0600) != 0)
            throw std::runtime_error("mkfifo failed for " + (variant / relative).string());
    }
    const struct {
        const char* name;
        const char* target;
    } links[] = {
        {"link-to-folder-", "."},
        {"link-to-device-", "/dev/zero"},
        {"link-to-nothing-", "missing.db"},
        {"link-to-itself-", ""},
    };
    for (const auto& link : links) {
        const fs::path variant = corpus.add(link.name + file, expect);
        Corpus::remove(variant, relative);
        const fs::path at = variant / relative;
        fs::create_symlink(*link.target != '\0' ? fs::path(link.target) : at.filename(), at);
    }
}

}  // namespace talvio::corrupt
