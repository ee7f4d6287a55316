// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/hyperlink.h"
#include "shell/link_error.h"
#include "tests/support/fake_desktop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace talvio {
namespace {

const QString kAddress = QStringLiteral("https://talvio.app/usage");

TEST(OpenFailureText, TheTableItsLineBreaksAndUnknownCodes) {
    EXPECT_EQ(openFailureText(0), "The operating system is out\nof memory or resources.");
    EXPECT_EQ(openFailureText(2), "The specified file was not found.");
    EXPECT_EQ(openFailureText(26), "A sharing violation occurred. ");
    EXPECT_EQ(
        openFailureText(30),
        "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.");
    EXPECT_EQ(openFailureText(32), "The specified dynamic-link library was not found.");
    for (const int code : {1, 4, 12, 25, -7}) {
        EXPECT_EQ(openFailureText(code), "Unknown Error (" + std::to_string(code) + ") occurred.");
    }
    EXPECT_EQ(cantOpenLinkMessage(31),
              "Can't open link:\n\nThere is no application associated\nwith the given filename extension.");
}

class HyperLinkTest : public ::testing::Test {
protected:
    HyperLinkTest() {
        link = new CHyperLink(&window);
        link->setText(QStringLiteral("Usage"));
        link->move(40, 30);
        link->SetURL(kAddress);
        other = new QLineEdit(&window);
        other->move(40, 80);
        window.resize(300, 200);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void click() { QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center()); }

    test::FakeDesktop desktop;
    QWidget window;
    CHyperLink* link;
    QLineEdit* other;
};

TEST_F(HyperLinkTest, ShowsItsTextFittedUnderlinedBlueWithHandAndTip) {
    EXPECT_EQ(link->text(), QStringLiteral("Usage"));
    EXPECT_EQ(link->url(), kAddress);
    EXPECT_EQ(link->toolTip(), kAddress);
    EXPECT_EQ(link->size(), link->sizeHint());
    EXPECT_EQ(link->pos(), QPoint(40, 30));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), CHyperLink::kLinkColour);
}

TEST_F(HyperLinkTest, EmptyTextOrAddressTakesTheOther) {
    CHyperLink fromText(QStringLiteral("https://example.org/"), QString(), &window);
    EXPECT_EQ(fromText.url(), QStringLiteral("https://example.org/"));
    CHyperLink fromAddress(&window);
    fromAddress.SetURL(kAddress);
    EXPECT_EQ(fromAddress.text(), kAddress);
}

TEST_F(HyperLinkTest, ClickOpensAndTurnsPurpleOnceFocusLeaves) {
    click();
    EXPECT_EQ(desktop.openedAddresses, QStringList{kAddress});
    EXPECT_TRUE(desktop.messages.empty());
    EXPECT_TRUE(link->hasFocus());
    EXPECT_TRUE(link->isVisited());
    // Focused, it is still active: teal wins over purple until the focus goes elsewhere.
    EXPECT_EQ(link->palette().color(QPalette::WindowText), CHyperLink::kActiveColour);
    other->setFocus();
    EXPECT_FALSE(link->isActive());
    EXPECT_EQ(link->palette().color(QPalette::WindowText), CHyperLink::kVisitedColour);
}

TEST_F(HyperLinkTest, FailedOpenBeepsThenExplainsAndStaysUnvisited) {
    desktop.openAddressResult = 31;
    click();
    const QString message = QStringLiteral(
        "Can't open link:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(desktop.log, (QStringList{QStringLiteral("openAddress: ") + kAddress, QStringLiteral("beep"),
                                        QStringLiteral("message: ") + message}));
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].caption.isEmpty());
    EXPECT_EQ(desktop.messages[0].owner, &window);
    EXPECT_EQ(desktop.messages[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(desktop.messages[0].icon, platform::Icon::Exclamation);
    EXPECT_FALSE(link->isVisited());
    other->setFocus();
    EXPECT_EQ(link->palette().color(QPalette::WindowText), CHyperLink::kLinkColour);

    desktop.openAddressResult = 12;
    link->OpenLink();
    EXPECT_EQ(desktop.messages.back().text,
              QStringLiteral("Can't open link:\n\nUnknown Error (12) occurred."));
    EXPECT_EQ(desktop.beeps, 2);
}

TEST_F(HyperLinkTest, SpaceBarOpensOncePerPress) {
    link->setFocus();
    EXPECT_EQ(link->palette().color(QPalette::WindowText), CHyperLink::kActiveColour);
    QTest::keyClick(link, Qt::Key_Space);
    EXPECT_EQ(desktop.openedAddresses.size(), 1);
    // A held bar repeats its key-down; one press is one browser window.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(link, &repeat);
    QTest::keyClick(link, Qt::Key_A);
    QTest::keyClick(link, Qt::Key_Return);
    EXPECT_EQ(desktop.openedAddresses.size(), 1);
}

TEST_F(HyperLinkTest, OnlyAPressAndReleaseOnTheLinkOpen) {
    // Pressed on the link, released beside it: like a browser, nothing opens.
    QTest::mousePress(link, Qt::LeftButton, {}, link->rect().center());
    QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().bottomRight() + QPoint(20, 20));
    // A release that follows no press on the link does nothing either.
    other->setFocus();
    QTest::mouseRelease(link, Qt::LeftButton, {}, link->rect().center());
    QTest::mouseClick(link, Qt::RightButton, {}, link->rect().center());
    EXPECT_TRUE(desktop.openedAddresses.isEmpty());
    EXPECT_TRUE(desktop.messages.empty());
}

TEST_F(HyperLinkTest, HoverColourOnlyWithItsStyleBit) {
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->isOver());
    EXPECT_EQ(link->textColour(), CHyperLink::kLinkColour);
    link->setStyleFlags(CHyperLink::kDefaultStyle | CHyperLink::kHoverColour);
    EXPECT_EQ(link->textColour(), CHyperLink::kOverColour);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->textColour(), CHyperLink::kLinkColour);

    link->setStyleFlags(CHyperLink::kFitToText | CHyperLink::kNoHandCursor | CHyperLink::kNoActiveColour);
    EXPECT_FALSE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::ArrowCursor);
    link->setFocus();
    EXPECT_EQ(link->textColour(), CHyperLink::kLinkColour);
}

TEST_F(HyperLinkTest, FittingKeepsTheEdgeItsAlignmentNames) {
    CHyperLink right(QStringLiteral("Usage"), kAddress, &window);
    right.setGeometry(100, 100, 200, 40);
    right.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    right.SetURL(kAddress);
    EXPECT_EQ(right.size(), right.sizeHint());
    EXPECT_EQ(right.geometry().right(), 299);
    EXPECT_NEAR(right.geometry().center().y(), 119, 1);
}

}  // namespace
}  // namespace talvio
