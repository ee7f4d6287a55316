// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "browser/script_dispatch.h"

#include <gmock/gmock.h>

#include <array>
#include <vector>

using namespace talvio;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct Calls {
    std::vector<std::string> voice;
    std::vector<std::string> video;
};

CImpIDispatch recordingBridge(Calls& calls) {
    CImpIDispatch bridge;
    bridge.setPlayVoice([&calls](const std::string& path) { calls.voice.push_back(path); });
    bridge.setPlayVideo([&calls](const std::string& path) { calls.video.push_back(path); });
    return bridge;
}

bool isTrueOne(const DispatchValue& value) {
    return value.type == DispatchValue::Type::Bool && value.boolValue == 1;
}

}  // namespace

TEST(ScriptDispatch, NamesMatchExactlyAndUnknownOnesAreReportedInTheirSlot) {
    const CImpIDispatch bridge;
    const std::array<std::string_view, 3> all = {"CB_CustomFunctionPlayMyVideo", "CB_IsOurCustomBrowser",
                                                 "CB_CustomFunctionPlayMyWav"};
    std::array<DISPID, 3> ids{};
    EXPECT_EQ(bridge.GetIDsOfNames(all, ids), DispatchStatus::Ok);
    EXPECT_THAT(ids, ElementsAre(9, 1, 8));

    const std::array<std::string_view, 2> mixed = {"CB_CustomFunctionPlayMyWav",
                                                   "cb_customfunctionplaymywav"};
    std::array<DISPID, 2> mixedIds{};
    EXPECT_EQ(bridge.GetIDsOfNames(mixed, mixedIds), DispatchStatus::UnknownName);
    EXPECT_THAT(mixedIds, ElementsAre(8, DISPID_UNKNOWN));

    // An unknown name in the middle leaves the names after it answered.
    const std::array<std::string_view, 3> gap = {"CB_IsOurCustomBrowser", "Navigate",
                                                 "CB_CustomFunctionPlayMyVideo"};
    std::array<DISPID, 3> gapIds{};
    EXPECT_EQ(bridge.GetIDsOfNames(gap, gapIds), DispatchStatus::UnknownName);
    EXPECT_THAT(gapIds, ElementsAre(1, DISPID_UNKNOWN, 9));

    // Near misses: a prefix, trailing blank, an empty name.
    const std::array<std::string_view, 3> near = {"CB_IsOurCustomBrowse", "CB_IsOurCustomBrowser ", ""};
    std::array<DISPID, 3> nearIds{};
    EXPECT_EQ(bridge.GetIDsOfNames(near, nearIds), DispatchStatus::UnknownName);
    EXPECT_THAT(nearIds, ElementsAre(DISPID_UNKNOWN, DISPID_UNKNOWN, DISPID_UNKNOWN));

    EXPECT_EQ(bridge.GetIDsOfNames({}, {}), DispatchStatus::Ok);
}

TEST(ScriptDispatch, PropertyReadsAnswerOneAndStartNothing) {
    Calls calls;
    const CImpIDispatch bridge = recordingBridge(calls);
    const std::vector<DispatchValue> path = {DispatchValue::string("/v/a.opus")};
    for (const DISPID id : {kIdIsOurCustomBrowser, kIdPlayMyWav, kIdPlayMyVideo}) {
        DispatchValue result;
        bridge.Invoke(id, DISPATCH_PROPERTYGET, path, &result);
        EXPECT_TRUE(isTrueOne(result)) << "id " << id;
    }
    // Without a result slot the read is still harmless.
    bridge.Invoke(kIdPlayMyWav, DISPATCH_PROPERTYGET, path, nullptr);
    EXPECT_THAT(calls.voice, IsEmpty());
    EXPECT_THAT(calls.video, IsEmpty());
}

TEST(ScriptDispatch, MethodCallsReachTheirPlayerWithTheExactPath) {
    Calls calls;
    const CImpIDispatch bridge = recordingBridge(calls);
    const std::string voice = "/home/anna/Library/Media/ääni 'n' \"q\" \\back\\slash 语音.opus";
    const std::string video = "/r/Library/v.mp4";

    DispatchValue result;
    bridge.Invoke(kIdPlayMyWav, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                  std::vector{DispatchValue::string(voice)}, &result);
    EXPECT_TRUE(isTrueOne(result));
    DispatchValue untouched;
    bridge.Invoke(kIdPlayMyVideo, DISPATCH_METHOD, std::vector{DispatchValue::string(video)}, &untouched);
    EXPECT_EQ(untouched.type, DispatchValue::Type::Empty);

    EXPECT_THAT(calls.voice, ElementsAre(voice));
    EXPECT_THAT(calls.video, ElementsAre(video));

    // The first argument is the path, whatever follows it.
    bridge.Invoke(kIdPlayMyWav, DISPATCH_METHOD,
                  std::vector{DispatchValue::string("/first"), DispatchValue::string("/x")}, nullptr);
    EXPECT_THAT(calls.voice, ElementsAre(voice, "/first"));
}

TEST(ScriptDispatch, CallsWithoutAStringArgumentAndOtherIdsAreIgnored) {
    Calls calls;
    const CImpIDispatch bridge = recordingBridge(calls);
    bridge.Invoke(kIdPlayMyWav, DISPATCH_METHOD, {}, nullptr);
    bridge.Invoke(kIdPlayMyWav, DISPATCH_METHOD, std::vector{DispatchValue::other()}, nullptr);
    bridge.Invoke(kIdPlayMyVideo, DISPATCH_METHOD,
                  std::vector{DispatchValue{}, DispatchValue::string("/later")}, nullptr);
    // A property write is no call either.
    bridge.Invoke(kIdPlayMyVideo, DISPATCH_PROPERTYPUT, std::vector{DispatchValue::string("/put")}, nullptr);

    DispatchValue result;
    bridge.Invoke(2, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::vector{DispatchValue::string("/x")},
                  &result);
    bridge.Invoke(DISPID_UNKNOWN, DISPATCH_METHOD, std::vector{DispatchValue::string("/x")}, &result);
    EXPECT_EQ(result.type, DispatchValue::Type::Empty);
    EXPECT_THAT(calls.voice, IsEmpty());
    EXPECT_THAT(calls.video, IsEmpty());

    // Id 1 called as a method answers like its read and starts nothing.
    bridge.Invoke(kIdIsOurCustomBrowser, DISPATCH_METHOD, std::vector{DispatchValue::string("/x")}, &result);
    EXPECT_TRUE(isTrueOne(result));
    EXPECT_THAT(calls.voice, IsEmpty());

    // Before the players are installed a call does nothing at all.
    const CImpIDispatch bare;
    bare.Invoke(kIdPlayMyWav, DISPATCH_METHOD, std::vector{DispatchValue::string("/x")}, nullptr);
}
