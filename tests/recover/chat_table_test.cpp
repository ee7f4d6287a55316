// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/chat_table.h"

#include <gtest/gtest.h>

namespace talvio::recover {
namespace {

TEST(ChatTableName, AWeChatIdNamesTheTableOfItsDigest) {
    // The digests were worked out independently of the code under test.
    EXPECT_EQ(chatTableName("wxid_abc").name, "Chat_cdebbea2056901bfd390f03a4e892e6e");
    EXPECT_EQ(chatTableName("张三").name, "Chat_615db57aa314529aaa0fbe95b3e95bd3");  // the UTF-8 bytes
    // Only "Chat_" with a capital C marks a table name; anything else is an id.
    EXPECT_EQ(chatTableName("chat_abc").name, "Chat_4ba86265e059c35ce5f1b276b3824fa8");
}

TEST(ChatTableName, ThirtySevenCharactersFromChatAreTheNameItself) {
    const std::string name = "Chat_0123456789abcdef0123456789abcdef";
    ASSERT_EQ(name.size(), 37u);
    const ChatTableName table = chatTableName(name);
    EXPECT_EQ(table.name, name);
    EXPECT_FALSE(table.error);
}

TEST(ChatTableName, EmptyTextAndWrongLengthNamesAreRefused) {
    const ChatTableName empty = chatTableName("");
    ASSERT_TRUE(empty.error);
    EXPECT_EQ(empty.error->text, "您还没有输入 好友微信号或表名称");
    EXPECT_TRUE(empty.name.empty());

    for (const char* text : {"Chat_abc", "Chat_", "Chat_0123456789abcdef0123456789abcdef0"}) {
        SCOPED_TRACE(text);
        const ChatTableName refused = chatTableName(text);
        ASSERT_TRUE(refused.error);
        EXPECT_EQ(refused.error->text,
                  "您输入的 好友微信号或表名称 "
                  "貌似有误。因为您输入的内容为Chat_开头，但后面的字符串长度并非32位。");
        EXPECT_EQ(refused.error->caption, "");
    }
}

}  // namespace
}  // namespace talvio::recover
