// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "platform/desktop.h"
#include "platform/paths.h"
#include "shell/main_window.h"
#include "shell/settings_file.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace talvio::test {

// Every window test starts from fresh process-wide state, a recording desktop, and settings and
// picture folders of its own.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetProgramState();
        resetSettingsRecord();
        contactTable().destroy();
        programState().timeZoneBias = 0;
        platform::setDesktop(&desktop);
        platform::setSettingsFolder(QString::fromStdString(home.path() + "settings/"));
        platform::setUserDataFolder(QString::fromStdString(home.path() + "documents/talvio/"));
    }
    void TearDown() override {
        platform::setDesktop(nullptr);
        resetProgramState();
        contactTable().destroy();
    }
    // The dialog's OK button, or null.
    static QPushButton* okButton(QWidget& dialog) {
        for (auto* b : dialog.findChildren<QPushButton*>()) {
            if (b->text() == QLatin1String("OK"))
                return b;
        }
        return nullptr;
    }
    // Runs action on the modal dialog that the next blocking call opens.
    static void whenModal(std::function<void(QWidget*)> action) {
        QTimer::singleShot(0, [action = std::move(action)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                ADD_FAILURE() << "no modal dialog came up";
                return;
            }
            action(modal);
        });
    }
    std::string userData() const { return home.path() + "documents/talvio/"; }

    TempDir home;
    TempDir folder;
    FakeDesktop desktop;
};

}  // namespace talvio::test
