// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace talvio::fixture {

// Which tables msgstore.db holds its messages in. Legacy: "messages" (up to about 2022).
// Modern: "message", "chat", "jid" and "jid_map" (2022 on). Mixed: both sets, as in many
// databases of 2020-2022, where "messages" holds the data and "message" only a few rows.
enum class AndroidLayout { Legacy, Modern, Mixed };

std::optional<AndroidLayout> parseAndroidLayout(std::string_view name);
const char* androidLayoutName(AndroidLayout layout);

// The real table layouts of an Android WhatsApp folder, compiled in from
// tests/data/android/*-schema.sql so that the tool needs no source tree at run time and
// every fixture, hand-written or generated, starts from the same layout.
class AndroidSchema {
public:
    static std::string_view msgstore();
    // The modern tables alone, without android_metadata and props, which both layouts share.
    static std::string_view msgstoreModern();
    static std::string_view wa();

    // The whole msgstore.db layout of one kind of database.
    static std::string msgstore(AndroidLayout layout);
};

}  // namespace talvio::fixture
