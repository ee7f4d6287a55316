// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

// The words of the voice player, kept in one place so that the window and its tests agree.
namespace talvio::media::voice_texts {

inline constexpr std::string_view kWindowTitle = "Play Voice - Talvio";
inline constexpr std::string_view kPlay = "播放";
inline constexpr std::string_view kPause = "暂停";
inline constexpr std::string_view kStop = "停止";
inline constexpr std::string_view kExport = "导出";
inline constexpr std::string_view kAutoClose = "播放完成后自动关闭本窗口";

inline constexpr std::string_view kNoResourceFolder =
    "Because you didn't set resource path, so you can't play voice.";
inline constexpr std::string_view kFileLost = "File lost.";
inline constexpr std::string_view kAudioDeviceError = "audio device error!";
inline constexpr std::string_view kExportSuccessful = "Export successful!";
// The save dialog's one filter.
inline constexpr std::string_view kExportFilter = "wav files (*wav)";

// Asked before an export replaces a file; the comma is a full-width one.
inline std::string replaceQuestion(std::string_view path) {
    return std::string(path) + " is exist，would you like to replace the existing file";
}

}  // namespace talvio::media::voice_texts
