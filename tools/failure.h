// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <optional>
#include <string>

namespace talvio::fixture {

// What went wrong, in words for the command line; empty when the step succeeded.
using Failure = std::optional<std::string>;

}  // namespace talvio::fixture
