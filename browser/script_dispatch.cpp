// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/script_dispatch.h"

#include <array>

namespace talvio {
namespace {

constexpr std::array<DispatchName, 3> kNames = {{
    {"CB_IsOurCustomBrowser", kIdIsOurCustomBrowser, false},
    {"CB_CustomFunctionPlayMyWav", kIdPlayMyWav, true},
    {"CB_CustomFunctionPlayMyVideo", kIdPlayMyVideo, true},
}};

DispatchValue trueValue() {
    return {DispatchValue::Type::Bool, 1, {}};
}

}  // namespace

std::span<const DispatchName> CImpIDispatch::names() {
    return kNames;
}

DispatchStatus CImpIDispatch::GetIDsOfNames(std::span<const std::string_view> names,
                                            std::span<DISPID> ids) const {
    DispatchStatus status = DispatchStatus::Ok;
    for (std::size_t i = 0; i < names.size() && i < ids.size(); ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (const DispatchName& known : kNames) {
            if (known.name == names[i])
                ids[i] = known.id;
        }
        if (ids[i] == DISPID_UNKNOWN)
            status = DispatchStatus::UnknownName;
    }
    return status;
}

void CImpIDispatch::Invoke(DISPID id, unsigned flags, std::span<const DispatchValue> params,
                           DispatchValue* result) const {
    if (id != kIdIsOurCustomBrowser && id != kIdPlayMyWav && id != kIdPlayMyVideo)
        return;
    if ((flags & DISPATCH_PROPERTYGET) != 0 && result != nullptr)
        *result = trueValue();
    if ((flags & DISPATCH_METHOD) == 0)
        return;
    if (id == kIdIsOurCustomBrowser) {
        if (result != nullptr)
            *result = trueValue();
        return;
    }
    if (params.empty() || params.front().type != DispatchValue::Type::String)
        return;
    const MediaCall& call = id == kIdPlayMyWav ? m_playVoice : m_playVideo;
    if (call)
        call(params.front().text);
}

CImpIDispatch& scriptBridge() {
    static CImpIDispatch bridge;
    return bridge;
}

}  // namespace talvio
