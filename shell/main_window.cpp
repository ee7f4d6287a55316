// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "main_window.h"

#include "platform/desktop.h"
#include "platform/dialog_units.h"
#include "platform/paths.h"
#include "shell/about_dialog.h"
#include "shell/artwork.h"
#include "shell/chat_text_view.h"
#include "shell/contact_selection.h"
#include "shell/elided_label.h"
#include "shell/find_bar.h"
#include "shell/full_text_tip_delegate.h"
#include "shell/load_workflow.h"
#include "shell/search_field.h"
#include "shell/search_panel.h"
#include "shell/version_check.h"
#include "shell/window_memory.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace talvio {
namespace {

constexpr int kPictureSize = 96;
constexpr int kMargin = 10;
const char* const kHomePageAddress = "https://talvio.app/";
const char* const kDownloadAddress = "https://talvio.app/download";
const char* const kUsageAddress = "https://talvio.app/usage";
// Where the contact-details frame starts in the window: the list's side of the splitter starts
// there, and the details lie in it as they lie in the window.
constexpr int kPaneLeft = 7;
constexpr int kPaneTop = 2;

bool isEnterOrEscape(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

}  // namespace

CMireloDlg::CMireloDlg(QWidget* chatView, QWidget* parent)
    : QMainWindow(parent), m_defaultPicture(talvio::defaultPicture()) {
    contactTable().destroy();
    setWindowTitle(QStringLiteral("Talvio"));
    setWindowIcon(applicationIcon());
    buildMenu();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildPanes(central);
    setChatView(chatView != nullptr ? chatView : new ChatTextView(central));
    connect(this, &CMireloDlg::contactsLoaded, this, &CMireloDlg::updateTitle);
    connect(this, &CMireloDlg::contactsLoaded, m_searchPanel, &SearchPanel::contactsLoaded);
    // Contact pictures are copied here by every load.
    EnsureDirectory(platform::userDataFolder().toStdString() + "images");
    resize(dluSize(651, 361) + QSize(0, menuBar()->sizeHint().height()));
    installEventFilter(this);
}

CMireloDlg::~CMireloDlg() {
    // A search still reading the sources must end before they go; the panel goes later.
    m_searchPanel->runner().reset();
    m_versionCheck.waitForFinished();
    contactTable().destroy();
}

void CMireloDlg::buildMenu() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    // The shortcuts people expect from a desktop program, beside the menu's own mnemonics.
    file->addAction(QStringLiteral("Open WhatsApp database(&O)"), QKeySequence::Open, this,
                    &CMireloDlg::openDatabase);
    file->addAction(QStringLiteral("Export(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                    &CMireloDlg::exportChats);
    file->addSeparator();
    file->addAction(QStringLiteral("Exit(&E)"), QKeySequence(Qt::CTRL | Qt::Key_Q), this, &QWidget::close);
    // Built before the panes: the actions reach the search panel through this window.
    QMenu* search = menuBar()->addMenu(QStringLiteral("Search(&S)"));
    search->addAction(QStringLiteral("Search messages(&F)"), QKeySequence::Find, this,
                      [this] { m_searchPanel->focusField(); });
    search->addAction(QStringLiteral("Next hit(&N)"), QKeySequence::FindNext, this,
                      [this] { m_searchPanel->nextHit(); });
    search->addAction(QStringLiteral("Previous hit(&P)"), QKeySequence::FindPrevious, this,
                      [this] { m_searchPanel->previousHit(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    help->addAction(QStringLiteral("About(&A)"), this, &CMireloDlg::about);
    help->addAction(QStringLiteral("Home Page"), this, &CMireloDlg::homePage);
    // F1 has no menu item of its own: the usage page is what the open dialog's "Usage" link shows.
    auto* usage = new QAction(this);
    usage->setShortcut(QKeySequence::HelpContents);
    connect(usage, &QAction::triggered, this, &CMireloDlg::usagePage);
    addAction(usage);
}

QWidget* CMireloDlg::buildDetails(QWidget* pane) {
    // Positions in dialog units of the window, taken relative to the pane.
    const auto at = [](int x, int y, int w, int h) {
        return dluRect(x, y, w, h).translated(-dluX(kPaneLeft), -dluY(kPaneTop));
    };
    auto* details = new QWidget(pane);
    details->setFixedSize(dluX(193), dluY(82) - dluY(kPaneTop));
    auto* group = new QGroupBox(details);
    group->setGeometry(at(7, 2, 192, 76));
    m_pictureBox = new QLabel(details);
    m_pictureBox->setGeometry(QRect(at(11, 12, 0, 0).topLeft(), QSize(kPictureSize, kPictureSize)));
    m_pictureBox->setAlignment(Qt::AlignCenter);
    m_pictureBox->setCursor(Qt::PointingHandCursor);
    m_pictureBox->installEventFilter(this);
    showDefaultPicture();
    // The labels are bound to texts that start empty, so their captions never show. They show names
    // and numbers from the phone folder: plain text, or Qt would load files named in a name; a text
    // that does not fit ends in "…" and shows whole in a tool tip.
    m_idLabel = new ElidedLabel(details);
    m_idLabel->setGeometry(at(82, 13, 113, 8).adjusted(0, 0, 0, 4));
    m_nameLabel = new ElidedLabel(details);
    m_nameLabel->setGeometry(at(82, 35, 113, 8).adjusted(0, 0, 0, 4));
    m_numberLabel = new ElidedLabel(details);
    m_numberLabel->setGeometry(at(82, 57, 113, 8).adjusted(0, 0, 0, 4));
    m_recoverButton = new QPushButton(QStringLiteral("恢复到数据库"), details);
    m_recoverButton->setGeometry(at(107, 55, 61, 19));
    m_recoverButton->hide();
    connect(m_recoverButton, &QPushButton::clicked, this, &CMireloDlg::recover);
    return details;
}

void CMireloDlg::buildContactList(QWidget* pane) {
    m_contactList = new QTreeWidget(pane);
    m_contactList->setColumnCount(3);
    m_contactList->setHeaderLabels(
        {QStringLiteral("Contact"), QStringLiteral("Recent time"), QStringLiteral("Quantity")});
    m_contactList->setColumnWidth(0, 100);
    m_contactList->setColumnWidth(1, 120);
    m_contactList->setColumnWidth(2, 60);
    m_contactList->setRootIsDecorated(false);
    m_contactList->setUniformRowHeights(true);
    m_contactList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_contactList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_contactList->setAllColumnsShowFocus(true);
    m_contactList->setTextElideMode(Qt::ElideRight);
    m_contactList->setItemDelegate(new FullTextTipDelegate(m_contactList));
    m_contactList->header()->setSectionsMovable(true);
    m_contactList->header()->setStretchLastSection(false);
    m_contactList->installEventFilter(this);
    connect(m_contactList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMireloDlg::selectionChanged);
}

void CMireloDlg::buildPanes(QWidget* central) {
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setChildrenCollapsible(false);
    // The handle fills the gap between the list and the chat.
    m_splitter->setHandleWidth(dluX(208) - dluX(200));
    auto* listPane = new QWidget(m_splitter);
    auto* listColumn = new QVBoxLayout(listPane);
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->setSpacing(0);
    QWidget* details = buildDetails(listPane);
    listColumn->addWidget(details);
    buildContactList(listPane);
    m_chatPane = new QWidget(m_splitter);
    auto* chatColumn = new QVBoxLayout(m_chatPane);
    chatColumn->setContentsMargins(0, dluY(7) - dluY(kPaneTop), 0, 0);
    chatColumn->setSpacing(0);
    m_findBar = new FindBar(m_chatPane);
    chatColumn->addWidget(m_findBar);
    // The search sits between the details and the list; while it is on, its results share the
    // list's room below the contacts.
    m_searchPanel = new SearchPanel(*this, m_findBar, listPane);
    listColumn->addWidget(m_searchPanel);
    auto* lists = new QSplitter(Qt::Vertical, listPane);
    lists->setChildrenCollapsible(false);
    lists->addWidget(m_contactList);
    lists->addWidget(m_searchPanel->resultsBox());
    lists->setStretchFactor(0, 1);
    lists->setStretchFactor(1, 2);
    listColumn->addWidget(lists, 1);
    listPane->setMinimumWidth(details->width());
    m_splitter->addWidget(listPane);
    m_splitter->addWidget(m_chatPane);
    // A larger window goes to the chat; the list keeps its width until the user moves the splitter.
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({dluX(193), dluX(436)});
}

void CMireloDlg::setChatView(QWidget* view) {
    QWidget* old = m_chatView;
    m_chatView = view;
    view->setParent(m_chatPane);
    m_chatPane->layout()->addWidget(view);
    view->installEventFilter(this);
    view->show();
    if (auto* pageView = dynamic_cast<ChatPageView*>(view))
        setChatPageView(pageView);
    if (old != nullptr) {
        if (dynamic_cast<ChatPageView*>(old) != nullptr && dynamic_cast<ChatPageView*>(view) == nullptr) {
            setChatPageView(nullptr);
        }
        old->deleteLater();
    }
    layoutStretchingParts();
}

void CMireloDlg::showDefaultPicture() {
    m_pictureBox->setPixmap(m_defaultPicture);
}

void CMireloDlg::showNoContact() {
    showDefaultPicture();
    for (QLabel* label : {m_idLabel, m_nameLabel, m_numberLabel})
        label->clear();
    // The last chat belongs to the folder loaded before: its links would reach that folder's files.
    if (auto* pageView = dynamic_cast<ChatPageView*>(m_chatView))
        pageView->showChatPage(std::make_shared<const std::string>());
}

bool CMireloDlg::showPicture(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    // Stretched over the whole box in both directions, as the contact list has always shown it.
    m_pictureBox->setPixmap(QPixmap::fromImage(
        image.scaled(kPictureSize, kPictureSize, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return true;
}

CChatSoftware& CMireloDlg::chooseSource(int sourceKind) {
    m_currentSource = sourceKind == kSourceAndroid      ? static_cast<CChatSoftware*>(&m_androidSource)
                      : sourceKind == kSourceChatExport ? static_cast<CChatSoftware*>(&m_chatExportSource)
                                                        : static_cast<CChatSoftware*>(&m_iphoneSource);
    // Attachments unpacked for the exports go as soon as another source takes over.
    if (sourceKind != kSourceChatExport)
        m_chatExportSource.releaseFiles();
    // A load follows: the search lets go of what the source read before.
    m_searchPanel->setSource(m_currentSource);
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
    if (!shouldOfferUpdate(publishedVersion))
        return;
    const platform::Answer answer = platform::desktop().message(
        this,
        QStringLiteral("现在已有新版本，建议删除现有版本，并重新下载安装新版本。\r\n是否现在重新下载软件？"),
        QStringLiteral("检测到新版本"), platform::Buttons::YesNo);
    if (answer != platform::Answer::Yes)
        return;
    platform::desktop().openAddress(QString::fromLatin1(kDownloadAddress));
    close();
}

void CMireloDlg::openDatabase() {
    runLoadWorkflow(*this);
}

void CMireloDlg::exportChats() {
    runExportCommand(*this);
}

void CMireloDlg::about() {
    CAboutDlg dialog(this);
    dialog.exec();
}

void CMireloDlg::homePage() {
    platform::desktop().openAddress(QString::fromLatin1(kHomePageAddress));
}

void CMireloDlg::recover() {
    runRecoverCommand(*this);
}

void CMireloDlg::pictureClicked() {
    PictureClick(*this);
}

void CMireloDlg::usagePage() {
    platform::desktop().openAddress(QString::fromLatin1(kUsageAddress));
}

void CMireloDlg::updateTitle() {
    // The folder's own name: "com.whatsapp" tells which phone, the folder above often whose.
    QString folder = QString::fromStdString(programState().dataFolder);
    while (folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    const QString name = folder.section(QLatin1Char('/'), -1);
    setWindowTitle(name.isEmpty() ? QStringLiteral("Talvio") : QStringLiteral("Talvio \u2014 ") + name);
}

void CMireloDlg::restoreWindowState() {
    WindowMemory(platform::settingsFolder()).restore(*this, *m_splitter, *m_contactList->header());
}

bool CMireloDlg::saveWindowState() const {
    return WindowMemory(platform::settingsFolder()).save(*this, *m_splitter, *m_contactList->header());
}

void CMireloDlg::selectionChanged() {
    const QModelIndexList rows = m_contactList->selectionModel()->selectedRows();
    if (rows.isEmpty() || m_currentSource == nullptr)
        return;
    const int row = rows.first().row();
    if (row >= 0)
        ShowContact(*this, *m_currentSource, row);
    m_searchPanel->chatChanged();
}

void CMireloDlg::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    layoutStretchingParts();
}

void CMireloDlg::layoutStretchingParts() {
    // The list and the chat keep 10 pixels to the window's bottom, the chat 10 to its right edge.
    const QWidget* central = centralWidget();
    if (central == nullptr || m_splitter == nullptr)
        return;
    const QSize client = central->size();
    const QPoint origin(dluX(kPaneLeft), dluY(kPaneTop));
    m_splitter->setGeometry(origin.x(), origin.y(), std::max(0, client.width() - origin.x() - kMargin),
                            std::max(0, client.height() - origin.y() - kMargin));
}

void CMireloDlg::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The open dialog comes up over the window once it is on screen, as the first thing a user does.
    if (!event->spontaneous() && !m_startUpDone) {
        m_startUpDone = true;
        QTimer::singleShot(10, this, &CMireloDlg::startUp);
    }
}

void CMireloDlg::closeEvent(QCloseEvent* event) {
    saveWindowState();
    QMainWindow::closeEvent(event);
}

void CMireloDlg::startUp() {
    loadSettingsAtStartUp();
    if (m_startUpDialog)
        openDatabase();
}

bool CMireloDlg::eventFilter(QObject* watched, QEvent* event) {
    // Enter and Escape never close the window or act on a control of it.
    if (isEnterOrEscape(event))
        return true;
    if (watched == m_contactList && selectFirstContactOnArrow(event))
        return true;
    if (watched == m_pictureBox && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        pictureClicked();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool CMireloDlg::selectFirstContactOnArrow(QEvent* event) {
    // Focus gives the list a current row without selecting it, so the first Down would step over
    // that row: with nothing selected, an arrow selects the first contact.
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Down && key != Qt::Key_Up)
        return false;
    if (m_contactList->topLevelItemCount() == 0 || !m_contactList->selectionModel()->selectedRows().isEmpty())
        return false;
    m_contactList->setCurrentItem(m_contactList->topLevelItem(0));
    return true;
}

}  // namespace talvio
