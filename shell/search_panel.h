// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "search/message_search.h"
#include "shell/chat_hits.h"
#include "shell/search_runner.h"

#include <QDate>
#include <QHash>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QListView;
class QProgressBar;
class QTimer;
class QToolButton;

namespace talvio {

class CChatSoftware;
class CMireloDlg;
class FindBar;
class SearchField;
class SearchResultsModel;

// The search above the contact list: the field and its narrowing controls, the result list, and
// the find bar over the chat. Typing narrows the contact list and searches every message off the
// user-interface thread; choosing a hit opens its chat at the message, and F3 steps through the
// hits of the open chat.
class SearchPanel : public QWidget {
    Q_OBJECT
public:
    SearchPanel(CMireloDlg& window, FindBar* findBar, QWidget* parent = nullptr);

    SearchField* field() const { return m_field; }
    QListView* results() const { return m_results; }
    SearchResultsModel* model() const { return m_model; }
    QLabel* status() const { return m_status; }
    SearchRunner& runner() { return m_runner; }
    FindBar* findBar() const { return m_findBar; }
    // The widget that shows the results, below the contact list while a search is on.
    QWidget* resultsBox() const { return m_resultsBox; }

    // Narrowing: to the open chat, to messages from me or from the other side, to days.
    void setOnlyOpenChat(bool only);
    void setWho(SearchWho who);
    void setDays(QDate from, QDate to);  // null dates: no limit on that side

    // Before a load replaces what the source reads: no index, no search, an empty field.
    void setSource(CChatSoftware* source);
    // After a load: names and rows of the new contact table.
    void contactsLoaded();
    // Runs change with no search reading the source, then reads it again: for a change of what
    // the source hands to search after a load (the owner of a chat export).
    void readAgainAfter(const std::function<void()>& change);
    // Ctrl+F.
    void focusField();
    // F3 / Shift+F3: the next or previous hit in the open chat.
    void nextHit();
    void previousHit();
    // Opens the chat of a result at its message.
    void choose(int row);
    // The chat shown changed (the user picked a contact).
    void chatChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFilterButton();
    void textChanged();
    void runQuery();
    void narrowContacts(const QString& text);
    void showNarrowing();
    void learnContacts();
    void takeHits(int generation, const FoundMessages& hits);
    void queryFinished(int generation, qsizetype total, bool cancelled);
    void updateStatus();
    void updateFindBar();
    void syncChatHits();
    void step(bool forward);
    void showHit(const std::string& jid, std::int64_t ordinal);
    std::string openChat() const;
    SearchQuery currentQuery() const;

    CMireloDlg& m_window;
    FindBar* m_findBar;
    SearchField* m_field = nullptr;
    QToolButton* m_filterButton = nullptr;
    QAction* m_onlyOpenChat = nullptr;
    QList<QAction*> m_whoActions;
    QAction* m_anyDay = nullptr;
    QAction* m_someDays = nullptr;
    QWidget* m_resultsBox = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QListView* m_results = nullptr;
    SearchResultsModel* m_model = nullptr;
    QTimer* m_typing = nullptr;
    SearchRunner m_runner;
    ChatHits m_chatHits;
    QHash<QString, int> m_rows;  // contact rows by jid
    QDate m_from;
    QDate m_to;
    SearchWho m_who = SearchWho::Anyone;
    int m_generation = -1;  // of the query whose hits are shown
    bool m_running = false;
    bool m_indexing = false;
    QString m_failure;
};

}  // namespace talvio
