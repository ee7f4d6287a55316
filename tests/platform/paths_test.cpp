// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace talvio::platform {
namespace {

TEST(Paths, SettingsFollowXdgConfigHomeAndOverridesWin) {
    test::TempDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path() + "config"));
    EXPECT_EQ(settingsFolder(), QString::fromStdString(dir.path() + "config/talvio/"));

    setSettingsFolder(QString::fromStdString(dir.path() + "elsewhere"));
    EXPECT_EQ(settingsFolder(), QString::fromStdString(dir.path() + "elsewhere/"));
    setSettingsFolder(QString());
    EXPECT_EQ(settingsFolder(), QString::fromStdString(dir.path() + "config/talvio/"));
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(Paths, UserDataIsTalvioInTheDocumentsFolder) {
    EXPECT_TRUE(userDataFolder().endsWith(QStringLiteral("/talvio/")));
    setUserDataFolder(QStringLiteral("/tmp/pictures/"));
    EXPECT_EQ(userDataFolder(), QStringLiteral("/tmp/pictures/"));
    setUserDataFolder(QString());
    EXPECT_NE(userDataFolder(), QStringLiteral("/tmp/pictures/"));
}

}  // namespace
}  // namespace talvio::platform
