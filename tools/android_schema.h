// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string_view>

namespace talvio::fixture {

// The real table layouts of an Android WhatsApp folder, compiled in from
// tests/data/android/*-schema.sql so that the tool needs no source tree at run time and
// every fixture, hand-written or generated, starts from the same layout.
class AndroidSchema {
public:
    static std::string_view msgstore();
    static std::string_view wa();
};

}  // namespace talvio::fixture
