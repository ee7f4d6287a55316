// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "chatexport/chat_export_source.h"
#include "sources/android_weixin.h"
#include "sources/iphone_weixin.h"

#include <QFutureWatcher>
#include <QMainWindow>
#include <QPixmap>

class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;

namespace talvio {

class FindBar;
class SearchPanel;

// The main window: creates and connects the parts, routes the commands, keeps the layout.
class CMireloDlg : public QMainWindow {
    Q_OBJECT
public:
    // The chat area is chatView (the browser), or a plain text view when there is none (tests).
    explicit CMireloDlg(QWidget* chatView = nullptr, QWidget* parent = nullptr);
    ~CMireloDlg() override;

    QTreeWidget* contactList() const { return m_contactList; }
    QLabel* pictureBox() const { return m_pictureBox; }
    QLabel* idLabel() const { return m_idLabel; }
    QLabel* nameLabel() const { return m_nameLabel; }
    QLabel* numberLabel() const { return m_numberLabel; }
    QPushButton* recoverButton() const { return m_recoverButton; }
    QWidget* chatView() const { return m_chatView; }
    // The search above the contact list, and the find bar over the chat.
    SearchPanel* searchPanel() const { return m_searchPanel; }
    FindBar* findBar() const { return m_findBar; }
    // The list's side and the chat, which the user can share out between them.
    QSplitter* splitter() const { return m_splitter; }
    // Replaces the chat area (the browser plugs in here).
    void setChatView(QWidget* view);

    const QPixmap& defaultPicture() const { return m_defaultPicture; }
    void showDefaultPicture();
    // No contact shown: an empty chat area, DefaultPicture and blank details, as after a new load.
    void showNoContact();
    // Shows a contact's picture stretched over the whole box; false when it cannot be decoded.
    bool showPicture(const QString& path);

    CChatSoftware* currentSource() const { return m_currentSource; }
    // Makes the source of the kind current (Android for 0, chat exports for 2, iPhone otherwise).
    CChatSoftware& chooseSource(int sourceKind);

    // Opens a folder at once, without the dialog: talvio FOLDER [RESOURCEFOLDER].
    bool openFolder(const QString& folder, const QString& resourceFolder);
    // Asks the web site for a newer version without holding up the start; offers the download
    // when there is one.
    void startVersionCheck();
    void offerUpdate(int publishedVersion);

    // Whether the start-up step (settings, then the open dialog) is still to come.
    void setStartUpDialogEnabled(bool enabled) { m_startUpDialog = enabled; }

    // Size, place, splitter and column widths of the last run, from the window file beside the
    // settings; kept again when the window closes.
    void restoreWindowState();
    bool saveWindowState() const;

public slots:
    void openDatabase();
    void exportChats();
    void about();
    void homePage();
    void recover();
    void pictureClicked();
    void usagePage();

signals:
    // After a load has filled the list: the title names the folder then.
    void contactsLoaded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenu();
    QWidget* buildDetails(QWidget* pane);
    void buildContactList(QWidget* pane);
    void buildPanes(QWidget* central);
    void layoutStretchingParts();
    void startUp();
    void selectionChanged();
    void updateTitle();
    bool selectFirstContactOnArrow(QEvent* event);

    CAndroidWeiXin m_androidSource;
    CIphoneWeiXin m_iphoneSource;
    chatexport::ChatExportSource m_chatExportSource;
    CChatSoftware* m_currentSource = nullptr;
    QTreeWidget* m_contactList = nullptr;
    QLabel* m_pictureBox = nullptr;
    QLabel* m_idLabel = nullptr;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_numberLabel = nullptr;
    QPushButton* m_recoverButton = nullptr;
    QSplitter* m_splitter = nullptr;
    QWidget* m_chatPane = nullptr;
    QWidget* m_chatView = nullptr;
    SearchPanel* m_searchPanel = nullptr;
    FindBar* m_findBar = nullptr;
    QPixmap m_defaultPicture;
    QFutureWatcher<int> m_versionCheck;
    bool m_startUpDialog = true;
    bool m_startUpDone = false;
};

}  // namespace talvio
