// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace talvio {

// The dispatch vocabulary between the chat page's script and the program. The page script
// reaches it as window.external; the names and ids never change.
using DISPID = std::int32_t;
inline constexpr DISPID DISPID_UNKNOWN = -1;
inline constexpr DISPID kIdIsOurCustomBrowser = 1;
inline constexpr DISPID kIdPlayMyWav = 8;
inline constexpr DISPID kIdPlayMyVideo = 9;

// Invoke flags, with the values script engines use.
inline constexpr unsigned DISPATCH_METHOD = 0x1;
inline constexpr unsigned DISPATCH_PROPERTYGET = 0x2;
inline constexpr unsigned DISPATCH_PROPERTYPUT = 0x4;

enum class DispatchStatus { Ok, UnknownName };

// The few kinds of value that cross the bridge. A boolean keeps its number: the bridge answers
// 1, not the all-bits-set "true" of some automation hosts.
struct DispatchValue {
    enum class Type { Empty, Bool, String, Other };
    Type type = Type::Empty;
    int boolValue = 0;
    std::string text;  // UTF-8, for String

    static DispatchValue string(std::string utf8) { return {Type::String, 0, std::move(utf8)}; }
    static DispatchValue other() { return {Type::Other, 0, {}}; }
};

struct DispatchName {
    std::string_view name;
    DISPID id;
    bool method;  // called with a path; otherwise read as a property
};

// ScriptBridge: answers the names of window.external and starts the players. Plain C++, so that
// its rules can be checked without a browser.
class CImpIDispatch {
public:
    // A player: takes the media file's path as the page passed it, UTF-8.
    using MediaCall = std::function<void(const std::string& utf8Path)>;

    static std::span<const DispatchName> names();

    // Fills ids[i] with the id of names[i], or DISPID_UNKNOWN; names match exactly, case included.
    // UnknownName when any name was unknown. ids must be at least as long as names.
    DispatchStatus GetIDsOfNames(std::span<const std::string_view> names, std::span<DISPID> ids) const;

    // params in call order. A property read of any of the three ids answers Bool 1 into result
    // (when given); id 1 answers the same to a method call. Ids 8 and 9 called as a method hand
    // their first argument to the voice or video player, but only when it is a string: a call
    // without one is ignored rather than guessed at. Other ids do nothing.
    void Invoke(DISPID id, unsigned flags, std::span<const DispatchValue> params,
                DispatchValue* result) const;

    void setPlayVoice(MediaCall call) { m_playVoice = std::move(call); }
    void setPlayVideo(MediaCall call) { m_playVideo = std::move(call); }

private:
    MediaCall m_playVoice;
    MediaCall m_playVideo;
};

// The one bridge of the program; the media players install themselves into it.
CImpIDispatch& scriptBridge();

}  // namespace talvio
