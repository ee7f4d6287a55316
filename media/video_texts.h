// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string_view>

// The words of the video player, kept in one place so that the window and its tests agree.
namespace talvio::media::video_texts {

inline constexpr std::string_view kWindowTitle = "Play Video - Talvio";
inline constexpr std::string_view kNoResourceFolder =
    "Because you have not set resource path, so you can't play video.";

}  // namespace talvio::media::video_texts
