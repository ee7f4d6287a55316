// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/contact_table.h"
#include "sources/program_state.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace talvio::test {

// Every source test starts from an empty table, fresh program state, UTC times and a folder of
// its own.
class SourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        contactTable().destroy();
        programState().timeZoneBias = 0;
    }
    void TearDown() override {
        resetProgramState();
        contactTable().destroy();
    }
    TempDir dir;
};

// SQL literal: NULL for a null pointer, otherwise quoted with quotes doubled.
inline std::string sqlValue(const char* text) {
    if (text == nullptr)
        return "NULL";
    std::string out = "'";
    for (const char* p = text; *p != '\0'; ++p) {
        out += *p;
        if (*p == '\'')
            out += '\'';
    }
    return out + "'";
}

inline std::string contactRow(const char* jid, const char* displayName, const char* waName) {
    return "INSERT INTO wa_contacts(jid, is_whatsapp_user, display_name, wa_name) VALUES(" + sqlValue(jid) +
           ", 1, " + sqlValue(displayName) + ", " + sqlValue(waName) + ");\n";
}

// One row of the messages table; kind is media_wa_type, timestamp in milliseconds (NULL allowed).
inline std::string messageRow(const char* jid, int fromMe, const char* kind, const char* timestamp,
                              const char* data, const char* remote = nullptr) {
    static int keyId = 0;
    return "INSERT INTO messages(key_remote_jid, key_from_me, key_id, status, media_wa_type, timestamp, "
           "data, "
           "remote_resource) VALUES(" +
           sqlValue(jid) + ", " + std::to_string(fromMe) + ", 'K" + std::to_string(++keyId) + "', 0, " +
           sqlValue(kind) + ", " + (timestamp != nullptr ? timestamp : "NULL") + ", " + sqlValue(data) +
           ", " + sqlValue(remote) + ");\n";
}

}  // namespace talvio::test
