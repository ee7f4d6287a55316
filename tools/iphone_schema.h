// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string_view>

namespace talvio::fixture {

// The Core Data layouts of an iPhone WhatsApp folder, compiled in from
// tests/data/iphone/*-schema.sql, so that hand-written fixtures, the sample, the scale
// generator and the tests that build databases of their own all start from one layout.
class IphoneSchema {
public:
    static std::string_view chatStorage();
    static std::string_view contacts();
};

}  // namespace talvio::fixture
