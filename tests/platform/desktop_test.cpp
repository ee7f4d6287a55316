// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "platform/desktop.h"
#include "tests/support/fake_desktop.h"
#include "tests/support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace talvio::platform {
namespace {

TEST(Desktop, ATestDesktopReplacesTheQtOneForItsLifetime) {
    Desktop* const qt = &desktop();
    {
        test::FakeDesktop fake;
        EXPECT_EQ(&desktop(), &fake);
        desktop().beep();
        EXPECT_EQ(fake.beeps, 1);
    }
    EXPECT_EQ(&desktop(), qt);
}

TEST(Desktop, ProgramNameIsTheExecutablesName) {
    EXPECT_EQ(programName(), QStringLiteral("platform_tests"));
}

TEST(Desktop, LocalFilesThatCannotOpenGiveTheShellCodes) {
    // These fail before any program is started, so nothing opens on the test machine.
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    EXPECT_EQ(desktop().openAddress(folder + QStringLiteral("missing.htm")), 2);
    EXPECT_EQ(desktop().openAddress(QStringLiteral("file://") + folder + QStringLiteral("missing.htm")), 2);
    EXPECT_EQ(desktop().openAddress(folder + QStringLiteral("no folder/missing.htm")), 3);
    EXPECT_EQ(desktop().openAddress(QString()), 2);
    EXPECT_FALSE(desktop().openImage(folder + QStringLiteral("missing.jpg")));
}

// Once the box is up, notes what it shows and presses one of its buttons.
struct SeenBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
};

void pressWhenShown(SeenBox& seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), static_cast<int>(box->standardButtons())};
        box->button(press)->click();
    });
}

TEST(Desktop, MessageBoxesShowCaptionButtonsAndIcon) {
    SeenBox seen;
    pressWhenShown(seen, QMessageBox::Ok);
    EXPECT_EQ(desktop().message(nullptr, QStringLiteral("Couldn't find the database file. \rData path"),
                                QString(), Buttons::Ok, Icon::Exclamation),
              Answer::Ok);
    // An empty caption names the program; a lone carriage return breaks the line.
    EXPECT_EQ(seen.title, QStringLiteral("platform_tests"));
    EXPECT_EQ(seen.text, QStringLiteral("Couldn't find the database file. \nData path"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Ok));

    for (const auto press : {QMessageBox::Yes, QMessageBox::No}) {
        pressWhenShown(seen, press);
        const Answer answer = desktop().message(nullptr, QStringLiteral("New version?"),
                                                QStringLiteral("Update"), Buttons::YesNo, Icon::Question);
        EXPECT_EQ(answer, press == QMessageBox::Yes ? Answer::Yes : Answer::No);
        EXPECT_EQ(seen.title, QStringLiteral("Update"));
        EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Yes | QMessageBox::No));
        EXPECT_EQ(seen.icon, QMessageBox::Question);
    }
}

}  // namespace
}  // namespace talvio::platform
