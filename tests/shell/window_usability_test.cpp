// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// The windows driven as a person drives them: clicks at places in a window (so that whatever lies
// on top there gets them) and keys sent to the window.
#include "export/export_dialog.h"
#include "recover/recover_dialog.h"
#include "shell/about_dialog.h"
#include "shell/chat_text_view.h"
#include "shell/elided_label.h"
#include "shell/hyperlink.h"
#include "shell/load_workflow.h"
#include "shell/open_dialog.h"
#include "shell/progress_dialog.h"
#include "sources/phone_folder.h"
#include "tests/iphone/iphone_test_support.h"
#include "tests/sources/android_sql.h"
#include "tests/support/android_folder.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QCheckBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include <filesystem>

namespace talvio {
namespace {

using test::contactRow;
using test::messageRow;
using test::WindowTest;

// Where a person clicks a control: the middle, but a radio button or check box on its mark (its
// box may reach far beyond its text, and only the mark and text take clicks).
QPoint clickPoint(QWidget* control) {
    const QRect box = control->rect();
    if (qobject_cast<QRadioButton*>(control) || qobject_cast<QCheckBox*>(control))
        return {std::min(8, box.width() / 2), box.height() / 2};
    return box.center();
}

// A left click on target, given to its window at that place.
void clickAt(QWidget* target) {
    QWidget* window = target->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, target->mapTo(window, clickPoint(target)));
}

// On screen and active, as the window a person works in: shortcuts go to the active window only.
void showAndWait(QWidget& window) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

template <typename T>
T* withText(QWidget& parent, const QString& text) {
    for (T* child : parent.findChildren<T*>()) {
        if (child->text() == text)
            return child;
    }
    ADD_FAILURE() << "no control " << text.toStdString();
    return nullptr;
}

// Names of the shown controls of window that a click at their centre does not reach.
QStringList coveredControls(QWidget& window) {
    QStringList covered;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const bool clickable = qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control) ||
                               qobject_cast<QAbstractSlider*>(control) ||
                               qobject_cast<CHyperLink*>(control) ||
                               qobject_cast<QAbstractItemView*>(control);
        if (!clickable || !control->isVisibleTo(&window) || control->window() != &window)
            continue;
        QWidget* hit = window.childAt(control->mapTo(&window, clickPoint(control)));
        if (hit != control && !control->isAncestorOf(hit)) {
            const QVariant text = control->property("text");
            covered << QStringLiteral("%1 \"%2\" under %3")
                           .arg(QString::fromLatin1(control->metaObject()->className()), text.toString(),
                                hit != nullptr ? QString::fromLatin1(hit->metaObject()->className())
                                               : QStringLiteral("nothing"));
        }
    }
    return covered;
}

QString toolTipOver(QWidget* widget, QPoint at) {
    QToolTip::hideText();
    (void)QTest::qWaitFor([] { return !QToolTip::isVisible(); });
    QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The text a tool tip shows, after Qt has read it as rich text.
QString shownAs(const QString& toolTip) {
    return QTextDocumentFragment::fromHtml(toolTip).toPlainText();
}

class Usability : public WindowTest {
protected:
    // Runs action on the next modal dialog once it is up. A key goes through the window system's
    // queue, so the dialog it opens may come after the next turn of the event loop. The watch ends
    // with the test.
    void whenDialogAppears(std::function<void(QWidget*)> action) {
        auto* poll = new QTimer(&m_watches);
        poll->setInterval(10);
        QObject::connect(poll, &QTimer::timeout, [poll, waited = 0, action = std::move(action)]() mutable {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr && ++waited < 500)
                return;
            poll->stop();
            poll->deleteLater();
            if (modal == nullptr) {
                ADD_FAILURE() << "no dialog came up";
                return;
            }
            action(modal);
        });
        poll->start();
    }
    // A closed dialog hands the focus back to the window it belonged to, as a window manager does.
    void activate() {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void makeAndroid(const std::string& longName) {
        test::makeAndroidFolder(android.path(),
                                messageRow("491@s.whatsapp.net", 0, "0", "1496226000123", "hallo") +
                                    messageRow("492@s.whatsapp.net", 0, "0", "1496220000000", "servus"),
                                contactRow("491@s.whatsapp.net", "Anna", nullptr) +
                                    contactRow("492@s.whatsapp.net", longName.c_str(), nullptr));
        std::filesystem::create_directories(android.path() + "cache/Profile Pictures");
        QImage picture(40, 20, QImage::Format_RGB32);
        picture.fill(Qt::red);
        picture.save(QString::fromStdString(android.path() + "cache/Profile Pictures/491.jpg"));
    }
    void loadAndroid(const std::string& longName = "Bo") {
        makeAndroid(longName);
        setLoadPaths(kSourceAndroid, android.path(), "");
        loadChosenFolder(window);
    }
    void clickRow(int row) {
        QTreeWidget* list = window.contactList();
        const QRect cell = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {},
                          list->viewport()->mapTo(&window, cell.center()));
    }
    int rowOf(const QString& name) {
        for (int i = 0; i < window.contactList()->topLevelItemCount(); ++i) {
            if (window.contactList()->topLevelItem(i)->text(0) == name)
                return i;
        }
        return -1;
    }
    QString chatText() { return qobject_cast<ChatTextView*>(window.chatView())->toPlainText(); }

    test::TempDir android;
    test::TempDir iphone;
    CMireloDlg window;
    QObject m_watches;
};

TEST_F(Usability, TheKindOfPhoneAndEveryControlOfTheOpenDialogAnswerTheMouse) {
    makeAndroid("Bo");
    COpenWeiXinDataDlg dialog(nullptr);
    showAndWait(dialog);
    clickAt(withText<QPushButton>(dialog, "OK"));
    EXPECT_EQ(desktop.messageTexts(), QStringList{"Please set WhatsApp type at first."});

    clickAt(withText<QRadioButton>(dialog, "iPhone"));
    EXPECT_EQ(dialog.kind(), 1);
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1040, 1014, 1018, 1041, 1019, 1020}));
    desktop.folders.push_back("/picked/resources");
    clickAt(dialog.browseButton(1020));
    EXPECT_EQ(dialog.pathEdit(1019)->text(), "/picked/resources/");

    clickAt(withText<QRadioButton>(dialog, "Android Phone"));
    EXPECT_EQ(dialog.kind(), 0);
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1039, 1010, 1012, 1038, 1011, 1013}));
    clickAt(withText<CHyperLink>(dialog, "Usage"));
    EXPECT_EQ(desktop.openedAddresses, QStringList{"https://talvio.app/usage"});

    // The path typed by hand, then OK.
    clickAt(dialog.pathEdit(1010));
    EXPECT_TRUE(dialog.pathEdit(1010)->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(android.path()).chopped(1));
    clickAt(withText<QPushButton>(dialog, "OK"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(programState().dataFolder, android.path());
    EXPECT_EQ(desktop.messages.size(), 1u);

    COpenWeiXinDataDlg second(nullptr);
    showAndWait(second);
    clickAt(withText<QPushButton>(second, "Cancel"));
    EXPECT_EQ(second.result(), QDialog::Rejected);
    EXPECT_FALSE(second.isVisible());
}

TEST_F(Usability, EveryClickableControlOfEveryDialogLiesOnTop) {
    COpenWeiXinDataDlg open(nullptr);
    showAndWait(open);
    for (int kind : {-1, 0, 1}) {
        open.setKind(kind);
        EXPECT_EQ(coveredControls(open), QStringList()) << "open dialog, kind " << kind;
    }
    // With the rows of a phone's WhatsApp folder with a backup (only its name is read).
    test::writeFile(android.path() + "WhatsApp/Databases/msgstore.db.crypt15", "");
    open.setKind(0);
    open.pathEdit(1010)->setText(QString::fromStdString(android.path()));
    EXPECT_EQ(coveredControls(open), QStringList()) << "open dialog with backup rows";
    CAboutDlg about(nullptr);
    showAndWait(about);
    EXPECT_EQ(coveredControls(about), QStringList());
    CDlgProgress progress(nullptr);
    showAndWait(progress);
    EXPECT_EQ(coveredControls(progress), QStringList());
    CDlgExport exportDialog(nullptr, nullptr);
    showAndWait(exportDialog);
    EXPECT_EQ(coveredControls(exportDialog), QStringList());
    recover::CDlgRecoverToDatabase recoverDialog(nullptr);
    showAndWait(recoverDialog);
    EXPECT_EQ(coveredControls(recoverDialog), QStringList());
    window.setStartUpDialogEnabled(false);
    window.resize(1000, 700);
    showAndWait(window);
    EXPECT_EQ(coveredControls(window), QStringList());
}

TEST_F(Usability, OpeningAnotherFolderEmptiesTheChatAndTheDetails) {
    window.setStartUpDialogEnabled(false);
    showAndWait(window);
    loadAndroid();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Talvio \u2014 ") +
                                        QString::fromStdString(android.path()).chopped(1).section('/', -1));
    clickRow(rowOf("Anna"));
    ASSERT_EQ(programState().currentContactIndex, rowOf("Anna"));
    ASSERT_EQ(window.idLabel()->text(), "ID: 491");
    ASSERT_TRUE(chatText().contains("hallo"));
    ASSERT_NE(window.pictureBox()->pixmap().toImage(), window.defaultPicture().toImage());

    // The iPhone folder, opened with Ctrl+O and the mouse.
    test::makeIphoneFolder(iphone.path(),
                           "INSERT INTO ZWACHATSESSION (Z_PK, ZCONTACTJID, ZPARTNERNAME) VALUES "
                           "(1, 'a@s.whatsapp.net', 'Ann');");
    whenDialogAppears([&](QWidget* dialog) {
        auto* open = qobject_cast<COpenWeiXinDataDlg*>(dialog);
        ASSERT_NE(open, nullptr);
        clickAt(withText<QRadioButton>(*open, "iPhone"));
        clickAt(open->pathEdit(1014));
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(iphone.path()));
        clickAt(withText<QPushButton>(*open, "OK"));
    });
    activate();
    QTest::keyClick(window.windowHandle(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_GE(rowOf("Ann"), 0);
    ASSERT_EQ(rowOf("Anna"), -1);
    EXPECT_EQ(window.idLabel()->text(), "");
    EXPECT_EQ(window.nameLabel()->text(), "");
    EXPECT_EQ(window.numberLabel()->text(), "");
    EXPECT_EQ(window.pictureBox()->pixmap().toImage(), window.defaultPicture().toImage());
    EXPECT_EQ(chatText(), "");
    EXPECT_TRUE(window.contactList()->selectedItems().isEmpty());
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("Talvio \u2014 ") +
                                        QString::fromStdString(iphone.path()).chopped(1).section('/', -1));
}

TEST_F(Usability, TheFirstDownAfterALoadSelectsTheFirstContact) {
    window.setStartUpDialogEnabled(false);
    showAndWait(window);
    loadAndroid();
    activate();
    // Tab from the picture side into the list, as a keyboard user gets there.
    window.contactList()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(window.windowHandle(), Qt::Key_Down);
    EXPECT_EQ(programState().currentContactIndex, 0);
    QTest::keyClick(window.windowHandle(), Qt::Key_Down);
    EXPECT_EQ(programState().currentContactIndex, 1);
    QTest::keyClick(window.windowHandle(), Qt::Key_Up);
    EXPECT_EQ(programState().currentContactIndex, 0);
}

TEST_F(Usability, LongNamesEndInAnEllipsisAndShowWholeAsPlainToolTips) {
    window.setStartUpDialogEnabled(false);
    showAndWait(window);
    const std::string longName =
        "Sofia <b>Maria</b> Magdalena von und zu Hohenberg-Schwarzenfels aus dem Allgäu";
    loadAndroid(longName);
    const QString name = QString::fromStdString(longName);
    QTreeWidget* list = window.contactList();
    const int longRow = rowOf(name);
    ASSERT_GE(longRow, 0);
    clickRow(longRow);
    auto* label = static_cast<ElidedLabel*>(window.nameLabel());
    EXPECT_EQ(label->text(), "Name: " + name);
    EXPECT_TRUE(label->shownText().endsWith(QChar(0x2026)));
    // The tool tip shows the whole name as it is, markup and all.
    EXPECT_EQ(shownAs(toolTipOver(label, label->rect().center())), "Name: " + name);

    const QRect cell = list->visualItemRect(list->topLevelItem(longRow));
    EXPECT_EQ(shownAs(toolTipOver(list->viewport(), QPoint(20, cell.center().y()))), name);
    // A name that fits has no tool tip; neither has a label that fits.
    const QRect shortCell = list->visualItemRect(list->topLevelItem(1 - longRow));
    EXPECT_EQ(toolTipOver(list->viewport(), QPoint(20, shortCell.center().y())), "");
    EXPECT_EQ(toolTipOver(window.idLabel(), window.idLabel()->rect().center()), "");
}

TEST_F(Usability, TheSplitterWidensTheListAndTheWindowIsRememberedApartFromTheSettings) {
    window.setStartUpDialogEnabled(false);
    showAndWait(window);
    window.resize(1100, 700);
    QApplication::processEvents();
    QTreeWidget* list = window.contactList();
    const int before = list->width();
    QSplitterHandle* handle = window.splitter()->handle(1);
    const QPoint grip = handle->mapTo(&window, handle->rect().center());
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(window.windowHandle(), grip + QPoint(150, 0));
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, grip + QPoint(150, 0));
    EXPECT_EQ(list->width(), before + 150);
    list->header()->resizeSection(0, 210);
    const QList<int> sizes = window.splitter()->sizes();

    // Ctrl+Q ends the program and keeps the window in a file of its own; the settings file
    // stays as it was.
    const std::string settings = platform::settingsFolder().toStdString();
    SettingsRecord saved;
    saved.sourceKind = 1;
    saved.iphoneDataPath = "/kept/";
    ASSERT_FALSE(SaveSettings(settings, saved).has_value());
    const std::string settingsBefore = test::readFile(settings + "para.dll");
    QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(std::filesystem::exists(settings + "window.ini"));
    EXPECT_EQ(test::readFile(settings + "para.dll"), settingsBefore);

    CMireloDlg next;
    next.setStartUpDialogEnabled(false);
    next.restoreWindowState();
    showAndWait(next);
    EXPECT_EQ(next.size(), QSize(1100, 700));
    EXPECT_EQ(next.splitter()->sizes(), sizes);
    EXPECT_EQ(next.contactList()->header()->sectionSize(0), 210);

    // A damaged file changes nothing.
    test::writeFile(settings + "window.ini", "[window]\ngeometry=@ByteArray(rubbish)\nsplitter=7\n");
    CMireloDlg third;
    third.restoreWindowState();
    EXPECT_EQ(third.contactList()->header()->sectionSize(0), 100);
}

TEST_F(Usability, ShortcutsOpenExportHelpAndQuit) {
    window.setStartUpDialogEnabled(false);
    showAndWait(window);
    QStringList titles;
    whenDialogAppears([&](QWidget* dialog) {
        titles << dialog->windowTitle();
        dialog->close();
    });
    QTest::keyClick(window.windowHandle(), Qt::Key_O, Qt::ControlModifier);
    whenDialogAppears([&](QWidget* dialog) {
        titles << dialog->windowTitle();
        dialog->close();
    });
    activate();
    QTest::keyClick(window.windowHandle(), Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[0], "Open WhatsApp Database - Talvio");
    EXPECT_FALSE(programState().exportMode);
    activate();
    QTest::keyClick(window.windowHandle(), Qt::Key_F1);
    EXPECT_EQ(desktop.openedAddresses, QStringList{"https://talvio.app/usage"});
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace talvio
