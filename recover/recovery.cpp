// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/recovery.h"

#include <charconv>

#include "recover/chat_table.h"
#include "recover/text_file_check.h"
#include "recover/trim.h"

namespace talvio::recover {
namespace {

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::vector<Notice> RecoverResult::notices() const {
    if (refusal)
        return {*refusal};
    return report.notices();
}

RecoverResult runRecovery(const RecoverRequest& request, int standardBiasMinutes) {
    RecoverResult result;
    ChatTableName table = chatTableName(request.idOrTableName);
    if (table.error) {
        result.refusal = std::move(table.error);
        return result;
    }
    result.tableName = std::move(table.name);

    FormatCheck check = checkRecoverFile(request.textFilePath);
    if (!check.ok()) {
        result.refusal = std::move(check.error);
        return result;
    }
    result.report = insertGroups(request.databasePath, result.tableName, check.groups, request.startValue,
                                 standardBiasMinutes);
    return result;
}

std::optional<std::int64_t> parseStartValue(std::string_view text) {
    text = trimmed(text);
    // from_chars takes a minus sign but not a plus sign.
    if (text.starts_with('+') && !text.substr(1).starts_with('-'))
        text.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool isWeChatDatabasePath(std::string_view path) {
    constexpr std::string_view kSuffix = "mm.sqlite";
    if (path.size() < kSuffix.size())
        return false;
    const std::string_view tail = path.substr(path.size() - kSuffix.size());
    for (std::size_t i = 0; i < kSuffix.size(); ++i) {
        if (asciiLower(tail[i]) != kSuffix[i])
            return false;
    }
    return true;
}

}  // namespace talvio::recover
