// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "main_window.h"

#include "platform/desktop.h"
#include "platform/paths.h"
#include "shell/about_dialog.h"
#include "shell/artwork.h"
#include "shell/chat_text_view.h"
#include "shell/contact_selection.h"
#include "platform/dialog_units.h"
#include "shell/load_workflow.h"
#include "shell/version_check.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"

#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <QTreeWidget>

namespace talvio {
namespace {

CMireloDlg*& mainWindowPointer() {
    static CMireloDlg* window = nullptr;
    return window;
}

constexpr int kPictureSize = 96;
constexpr int kMargin = 10;
const char* const kHomePageAddress = "https://talvio.app/";
const char* const kDownloadAddress = "https://talvio.app/download";

bool isEnterOrEscape(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CMireloDlg* mainWindow() { return mainWindowPointer(); }

CMireloDlg::CMireloDlg(QWidget* parent) : QMainWindow(parent), m_defaultPicture(talvio::defaultPicture()) {
    contactTable().destroy();
    mainWindowPointer() = this;
    setWindowTitle(QStringLiteral("Talvio"));
    setWindowIcon(applicationIcon());
    buildMenu();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildDetails(central);
    buildContactList(central);
    setChatView(new ChatTextView(central));
    // Contact pictures are copied here by every load.
    EnsureDirectory(platform::userDataFolder().toStdString() + "images");
    resize(dluSize(651, 361) + QSize(0, menuBar()->sizeHint().height()));
    installEventFilter(this);
}

CMireloDlg::~CMireloDlg() {
    m_versionCheck.waitForFinished();
    contactTable().destroy();
    if (mainWindowPointer() == this) mainWindowPointer() = nullptr;
}

void CMireloDlg::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    file->addAction(QStringLiteral("Open WhatsApp database(&O)"), this, &CMireloDlg::openDatabase);
    file->addAction(QStringLiteral("Export(&E)"), this, &CMireloDlg::exportChats);
    file->addSeparator();
    file->addAction(QStringLiteral("Exit(&E)"), this, &QWidget::close);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->addAction(QStringLiteral("About(&A)"), this, &CMireloDlg::about);
    help->addAction(QStringLiteral("Home Page"), this, &CMireloDlg::homePage);
}

void CMireloDlg::buildDetails(QWidget* central) {
    auto* group = new QGroupBox(central);
    group->setGeometry(dluRect(7, 2, 192, 76));
    m_pictureBox = new QLabel(central);
    m_pictureBox->setGeometry(QRect(QPoint(dluX(11), dluY(12)), QSize(kPictureSize, kPictureSize)));
    m_pictureBox->setAlignment(Qt::AlignCenter);
    m_pictureBox->setCursor(Qt::PointingHandCursor);
    m_pictureBox->installEventFilter(this);
    showDefaultPicture();
    // The labels are bound to texts that start empty, so their captions never show. They show names
    // and numbers from the phone folder: plain text, or Qt would load files named in a name.
    m_idLabel = new QLabel(central);
    m_idLabel->setGeometry(dluRect(82, 13, 113, 8).adjusted(0, 0, 0, 4));
    m_nameLabel = new QLabel(central);
    m_nameLabel->setGeometry(dluRect(82, 35, 113, 8).adjusted(0, 0, 0, 4));
    m_numberLabel = new QLabel(central);
    m_numberLabel->setGeometry(dluRect(82, 57, 113, 8).adjusted(0, 0, 0, 4));
    for (QLabel* label : {m_idLabel, m_nameLabel, m_numberLabel}) label->setTextFormat(Qt::PlainText);
    m_recoverButton = new QPushButton(QStringLiteral("恢复到数据库"), central);
    m_recoverButton->setGeometry(dluRect(107, 55, 61, 19));
    m_recoverButton->hide();
    connect(m_recoverButton, &QPushButton::clicked, this, &CMireloDlg::recover);
}

void CMireloDlg::buildContactList(QWidget* central) {
    m_contactList = new QTreeWidget(central);
    m_contactList->setGeometry(dluRect(7, 82, 193, 272));
    m_contactList->setColumnCount(3);
    m_contactList->setHeaderLabels({QStringLiteral("Contact"), QStringLiteral("Recent time"), QStringLiteral("Quantity")});
    m_contactList->setColumnWidth(0, 100);
    m_contactList->setColumnWidth(1, 120);
    m_contactList->setColumnWidth(2, 60);
    m_contactList->setRootIsDecorated(false);
    m_contactList->setUniformRowHeights(true);
    m_contactList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_contactList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_contactList->setAllColumnsShowFocus(true);
    m_contactList->header()->setSectionsMovable(true);
    m_contactList->header()->setStretchLastSection(false);
    m_contactList->installEventFilter(this);
    connect(m_contactList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMireloDlg::selectionChanged);
}

void CMireloDlg::setChatView(QWidget* view) {
    QWidget* old = m_chatView;
    m_chatView = view;
    view->setParent(centralWidget());
    view->setGeometry(dluRect(208, 7, 436, 347));
    view->installEventFilter(this);
    view->show();
    if (auto* pageView = dynamic_cast<ChatPageView*>(view)) setChatPageView(pageView);
    if (old != nullptr) {
        if (dynamic_cast<ChatPageView*>(old) != nullptr && dynamic_cast<ChatPageView*>(view) == nullptr) {
            setChatPageView(nullptr);
        }
        old->deleteLater();
    }
    layoutStretchingParts();
}

void CMireloDlg::showDefaultPicture() { m_pictureBox->setPixmap(m_defaultPicture); }

bool CMireloDlg::showPicture(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull()) return false;
    // Stretched over the whole box in both directions, as the contact list has always shown it.
    m_pictureBox->setPixmap(QPixmap::fromImage(
        image.scaled(kPictureSize, kPictureSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return true;
}

CChatSoftware& CMireloDlg::chooseSource(int sourceKind) {
    m_currentSource = sourceKind == kSourceAndroid ? static_cast<CChatSoftware*>(&m_androidSource)
                                                   : static_cast<CChatSoftware*>(&m_iphoneSource);
    return *m_currentSource;
}

bool CMireloDlg::openFolder(const QString& folder, const QString& resourceFolder) {
    m_startUpDialog = false;
    return loadFolderDirectly(*this, folder, resourceFolder);
}

void CMireloDlg::startVersionCheck() {
    connect(&m_versionCheck, &QFutureWatcher<int>::finished, this,
            [this] { offerUpdate(m_versionCheck.result()); });
    m_versionCheck.setFuture(QtConcurrent::run([] { return CheckForNewVersion(); }));
}

void CMireloDlg::offerUpdate(int publishedVersion) {
    if (!shouldOfferUpdate(publishedVersion)) return;
    const platform::Answer answer = platform::desktop().message(
        this,
        QStringLiteral("现在已有新版本，建议删除现有版本，并重新下载安装新版本。\r\n是否现在重新下载软件？"),
        QStringLiteral("检测到新版本"), platform::Buttons::YesNo);
    if (answer != platform::Answer::Yes) return;
    platform::desktop().openAddress(QString::fromLatin1(kDownloadAddress));
    close();
}

void CMireloDlg::openDatabase() { runLoadWorkflow(*this); }

void CMireloDlg::exportChats() { runExportCommand(*this); }

void CMireloDlg::about() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMireloDlg::homePage() { platform::desktop().openAddress(QString::fromLatin1(kHomePageAddress)); }

void CMireloDlg::recover() { runRecoverCommand(*this); }

void CMireloDlg::pictureClicked() { PictureClick(*this); }

void CMireloDlg::selectionChanged() {
    const QModelIndexList rows = m_contactList->selectionModel()->selectedRows();
    if (rows.isEmpty() || m_currentSource == nullptr) return;
    const int row = rows.first().row();
    if (row >= 0) ShowContact(*this, *m_currentSource, row);
}

void CMireloDlg::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutStretchingParts();
}

void CMireloDlg::layoutStretchingParts() {
    const QWidget* central = centralWidget();
    if (central == nullptr || m_contactList == nullptr) return;
    const QSize client = central->size();
    QRect list = m_contactList->geometry();
    list.setHeight(std::max(0, client.height() - list.top() - kMargin));
    m_contactList->setGeometry(list);
    if (m_chatView != nullptr) {
        QRect chat = m_chatView->geometry();
        chat.setWidth(std::max(0, client.width() - chat.left() - kMargin));
        chat.setHeight(std::max(0, client.height() - chat.top() - kMargin));
        m_chatView->setGeometry(chat);
    }
}

void CMireloDlg::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The open dialog comes up over the window once it is on screen, as the first thing a user does.
    if (!event->spontaneous() && !m_startUpDone) {
        m_startUpDone = true;
        QTimer::singleShot(10, this, &CMireloDlg::startUp);
    }
}

void CMireloDlg::startUp() {
    loadSettingsAtStartUp();
    if (m_startUpDialog) openDatabase();
}

bool CMireloDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter and Escape never close the window or act on a control of it.
    if (isEnterOrEscape(event)) return true;
    if (watched == m_pictureBox && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pictureClicked();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace talvio
