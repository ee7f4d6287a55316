// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/database.h"

namespace talvio {

// A phone's chat data: fills the contact table and renders one contact's chat page.
class CChatSoftware {
public:
    virtual ~CChatSoftware() = default;

    // Fills contactTable() from the folder named by the program state; the outcome is the table.
    virtual bool LoadContacts() { return false; }
    // Builds the page of the row at CurrentContactIndex into chatPageBuffer() and shows it.
    virtual int RenderChat(int messageCount, int mode) {
        (void)messageCount;
        (void)mode;
        return 0;
    }

    // Tells the contact-list fill which progress band to report in (the upper half for iPhone).
    bool listFillUpperHalf() const { return m_listFillUpperHalf; }

protected:
    explicit CChatSoftware(bool listFillUpperHalf) : m_listFillUpperHalf(listFillUpperHalf) {}

    Database database;

private:
    bool m_listFillUpperHalf;
};

// Opens one of the user's databases: read-only, never created, nothing written beside it.
// Returns the SQLite result code (0 = opened).
int OpenChatDatabase(const std::string& path, Database& database);

}  // namespace talvio
