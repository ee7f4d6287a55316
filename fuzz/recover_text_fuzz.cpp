// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The recover tool's format check on any text file.
#include "fuzz/fuzz_support.h"
#include "recover/text_file_check.h"
#include "recover/time_line.h"
#include "sources/text_convert.h"

#include <algorithm>

using namespace talvio;
using namespace talvio::recover;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::asText(data, size);
    const FormatCheck check = checkRecoverText(text);

    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    FUZZ_CHECK(check.groups.size() <= lines / 3, "more groups than the lines can hold");
    if (check.error) {
        FUZZ_CHECK(check.groups.empty(), "a failed check still hands out groups");
        FUZZ_CHECK(isWellFormedUtf8(check.error->text), "the error text is not well-formed UTF-8");
    }
    for (std::size_t i = 0; i < check.groups.size(); ++i) {
        const MessageGroup& group = check.groups[i];
        const std::optional<LocalTime> time = parseTimeLine(group.timeLine);
        FUZZ_CHECK(time && *time == group.time, "a group's time is not its time line's");
        FUZZ_CHECK(isWellFormedUtf8(group.message) && isWellFormedUtf8(group.type),
                   "a group's text is not well-formed UTF-8 (it goes into the database as it is)");
        FUZZ_CHECK(!group.message.empty() && !group.type.empty(), "a group with an empty line");
        FUZZ_CHECK(i > 0 || group.type == "4" || group.type == "2",
                   "the first group's type line was not checked");
        // The recovery inserts this time; the years checked allow no overflow at any bias.
        createTime(group.time, -14 * 60);
        createTime(group.time, 12 * 60);
    }
    // What the button reports: a text for every outcome.
    FUZZ_CHECK(!formatCheckNotice(check).text.empty(), "an empty notice");
    return 0;
}
