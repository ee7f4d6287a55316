// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>

namespace talvio::recover {

// A message box for the dialog to show; the recover logic hands these back instead of showing them.
struct Notice {
    std::string text;
    // Empty means the program's name, the caption of every box of this tool but the failure report.
    std::string caption;

    bool operator==(const Notice&) const = default;
};

// Texts of the recover tool's message boxes, exactly as its users know them.
inline constexpr char kNoTextFileText[] = "您尚未设置待恢复文件所在的路径.";
inline constexpr char kTextFileOpenFailedText[] = "文件打开失败。";
inline constexpr char kTimeLineWrongFormat[] = "第%d行(时间行)格式有误,当前的内容为 %s\r\n\r\n";
inline constexpr char kTimeLineHints[] =
    "1. 时间行格式应该类似于2015-09-08 09:37:26，注意时间中间的冒号必需为英文输入状态下的冒号。\r\n"
    "2. 年份必需在2000 - 2050 年间。\r\n"
    "3. 月份，日期，时分秒，均要为合乎常理的值,注意时针只能介于00点到23点之间。\r\n";
inline constexpr char kTypeLineWrongFormat[] = "第%d行格式有误，该行只能为4或2。您当前输入的内容为 %s";
inline constexpr char kFormatCorrectText[] = "恭喜你，格式完全正确。";
inline constexpr char kNoTableNameText[] = "您还没有输入 好友微信号或表名称";
inline constexpr char kTableNameWrongText[] =
    "您输入的 好友微信号或表名称 貌似有误。因为您输入的内容为Chat_开头，但后面的字符串长度并非32位。";
inline constexpr char kInsertFailedCaption[] = "添加失败";
inline constexpr char kFinishedText[] = "添加完成!!!!!";
// Shown instead of kFinishedText when the database cannot be opened: nothing was added, so
// "finished" would mislead.
inline constexpr char kDatabaseOpenFailedText[] = "数据库文件打开失败。";
inline constexpr char kNotAnIntegerText[] = "请输入一个整数。";
inline constexpr char kWrongDatabaseText[] =
    "选择的数据库文件有误，数据库文件为MM.sqlite文件（暂时只支持恢复至苹果手机）";

// File-picker filters, in the "description (pattern)|pattern||" form.
inline constexpr char kTextFileFilter[] = "文本文档 (*.txt)|*.txt||";
inline constexpr char kDatabaseFileFilter[] = "苹果手机数据库文件 (*.sqlite)|*.sqlite||";

}  // namespace talvio::recover
