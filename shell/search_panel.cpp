// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/search_panel.h"

#include "shell/find_bar.h"
#include "shell/main_window.h"
#include "shell/search_field.h"
#include "shell/search_hit_delegate.h"
#include "shell/search_results_model.h"
#include "sources/chat_page.h"
#include "sources/contact_table.h"
#include "sources/message_time.h"
#include "sources/program_state.h"

#include <QActionGroup>
#include <QDateEdit>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QProgressBar>
#include <QTimeZone>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace talvio {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// What a name or number is compared by: case folded, accents composed.
QString comparable(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toCaseFolded();
}

// Seconds since 1970 UTC of a day's start in local standard time, as the chat pages count days.
std::int64_t dayStart(QDate day) {
    return QDateTime(day, QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch() +
           std::int64_t{standardTimeZoneBias()} * 60;
}

// Whether the two dates were chosen in the day dialog (false when it was cancelled).
bool askDays(QWidget* parent, QDate& from, QDate& to) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Search between dates"));
    auto* form = new QFormLayout(&dialog);
    const auto dateEdit = [&](QDate value) {
        auto* edit = new QDateEdit(value.isValid() ? value : QDate::currentDate(), &dialog);
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        return edit;
    };
    QDateEdit* first = dateEdit(from.isValid() ? from : QDate::currentDate().addYears(-1));
    QDateEdit* last = dateEdit(to);
    form->addRow(QStringLiteral("From:"), first);
    form->addRow(QStringLiteral("To:"), last);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    from = std::min(first->date(), last->date());
    to = std::max(first->date(), last->date());
    return true;
}

}  // namespace

SearchPanel::SearchPanel(CMireloDlg& window, FindBar* findBar, QWidget* parent)
    : QWidget(parent), m_window(window), m_findBar(findBar), m_runner(nullptr, this) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(4);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    m_field = new SearchField(this);
    row->addWidget(m_field, 1);
    row->addWidget(buildFilterButton());
    column->addLayout(row);

    // The results: their count (or what is being prepared) above the list.
    m_resultsBox = new QWidget;
    auto* box = new QVBoxLayout(m_resultsBox);
    box->setContentsMargins(0, 4, 0, 0);
    box->setSpacing(3);
    auto* statusRow = new QHBoxLayout;
    m_status = new QLabel(m_resultsBox);
    m_status->setTextFormat(Qt::PlainText);
    m_status->setObjectName(QStringLiteral("searchStatus"));
    // A long reason wraps rather than widening the list's side.
    m_status->setWordWrap(true);
    m_busy = new QProgressBar(m_resultsBox);
    m_busy->setRange(0, 0);
    m_busy->setMaximumSize(60, 10);
    m_busy->setTextVisible(false);
    m_busy->hide();
    statusRow->addWidget(m_status, 1);
    statusRow->addWidget(m_busy);
    box->addLayout(statusRow);
    m_model = new SearchResultsModel(this);
    m_results = new QListView(m_resultsBox);
    m_results->setModel(m_model);
    m_results->setItemDelegate(new SearchHitDelegate(m_results));
    m_results->setUniformItemSizes(true);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_results->setAlternatingRowColors(true);
    box->addWidget(m_results, 1);
    m_results->installEventFilter(this);
    m_resultsBox->hide();

    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(80);
    connect(m_typing, &QTimer::timeout, this, &SearchPanel::runQuery);
    connect(m_field, &QLineEdit::textChanged, this, &SearchPanel::textChanged);
    connect(m_field, &SearchField::nextWanted, this, [this] {
        // Enter with no hit in the open chat opens the newest hit instead.
        if (m_chatHits.count() == 0 && m_model->rowCount() > 0)
            choose(0);
        else
            nextHit();
    });
    connect(m_field, &SearchField::previousWanted, this, &SearchPanel::previousHit);
    connect(m_field, &SearchField::resultsWanted, this, [this] {
        if (m_model->rowCount() == 0)
            return;
        m_results->setFocus();
        if (!m_results->currentIndex().isValid())
            m_results->setCurrentIndex(m_model->index(0));
    });
    connect(m_results, &QListView::activated, this,
            [this](const QModelIndex& index) { choose(index.row()); });
    connect(m_results, &QListView::clicked, this, [this](const QModelIndex& index) { choose(index.row()); });
    connect(&m_runner, &SearchRunner::indexing, this, [this] {
        m_indexing = true;
        updateStatus();
    });
    connect(&m_runner, &SearchRunner::indexBuilt, this, [this] {
        m_indexing = false;
        updateStatus();
    });
    connect(&m_runner, &SearchRunner::indexFailed, this, [this](const QString& reason) {
        m_indexing = false;
        m_running = false;
        m_failure = reason;
        updateStatus();
    });
    connect(&m_runner, &SearchRunner::hitsFound, this, &SearchPanel::takeHits);
    connect(&m_runner, &SearchRunner::finished, this, &SearchPanel::queryFinished);
    if (m_findBar != nullptr) {
        m_findBar->hide();
        connect(m_findBar, &FindBar::nextWanted, this, &SearchPanel::nextHit);
        connect(m_findBar, &FindBar::previousWanted, this, &SearchPanel::previousHit);
        connect(m_findBar, &FindBar::closeWanted, m_field, &QLineEdit::clear);
    }
}

QWidget* SearchPanel::buildFilterButton() {
    m_filterButton = new QToolButton(this);
    m_filterButton->setText(QStringLiteral("Filter"));
    m_filterButton->setToolTip(QStringLiteral("Narrow the search: one chat, who wrote, which days"));
    m_filterButton->setPopupMode(QToolButton::InstantPopup);
    m_filterButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_filterButton->setCheckable(true);
    auto* menu = new QMenu(m_filterButton);
    m_onlyOpenChat = menu->addAction(QStringLiteral("Only the open chat"));
    m_onlyOpenChat->setCheckable(true);
    connect(m_onlyOpenChat, &QAction::toggled, this, [this] { runQuery(); });
    menu->addSection(QStringLiteral("Written by"));
    auto* who = new QActionGroup(menu);
    const std::pair<const char*, SearchWho> choices[] = {
        {"Anyone", SearchWho::Anyone}, {"Me", SearchWho::Me}, {"The other side", SearchWho::Them}};
    for (const auto& [label, value] : choices) {
        QAction* action = menu->addAction(QString::fromUtf8(label));
        action->setCheckable(true);
        action->setChecked(value == SearchWho::Anyone);
        action->setActionGroup(who);
        connect(action, &QAction::triggered, this, [this, value = value] { setWho(value); });
        m_whoActions.append(action);
    }
    menu->addSection(QStringLiteral("Days"));
    auto* days = new QActionGroup(menu);
    m_anyDay = menu->addAction(QStringLiteral("Any day"));
    m_someDays = menu->addAction(QStringLiteral("Between dates\u2026"));
    for (QAction* action : {m_anyDay, m_someDays}) {
        action->setCheckable(true);
        action->setActionGroup(days);
    }
    m_anyDay->setChecked(true);
    connect(m_anyDay, &QAction::triggered, this, [this] { setDays({}, {}); });
    connect(m_someDays, &QAction::triggered, this, [this] {
        QDate from = m_from;
        QDate to = m_to;
        if (askDays(this, from, to))
            setDays(from, to);
        else
            (m_from.isValid() || m_to.isValid() ? m_someDays : m_anyDay)->setChecked(true);
    });
    m_filterButton->setMenu(menu);
    return m_filterButton;
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    // Up from the first result, or Escape, goes back to the field, as Down came from it.
    if (watched == m_results && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape || (key == Qt::Key_Up && m_results->currentIndex().row() <= 0)) {
            m_field->setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchPanel::setOnlyOpenChat(bool only) {
    m_onlyOpenChat->setChecked(only);
}

void SearchPanel::setWho(SearchWho who) {
    m_who = who;
    m_whoActions[static_cast<int>(who)]->setChecked(true);
    runQuery();
}

void SearchPanel::setDays(QDate from, QDate to) {
    m_from = from;
    m_to = to;
    (from.isValid() || to.isValid() ? m_someDays : m_anyDay)->setChecked(true);
    runQuery();
}

void SearchPanel::setSource(CChatSoftware* source) {
    m_field->clear();
    m_runner.setSource(source);
    m_failure.clear();
}

void SearchPanel::contactsLoaded() {
    m_field->clear();
    m_runner.reset();
    m_failure.clear();
    learnContacts();
    if (contactTable().count() > 0)
        m_runner.prepare();
}

void SearchPanel::readAgainAfter(const std::function<void()>& change) {
    // Resetting cancels and waits for every query and build, which stop within a message.
    m_runner.reset();
    m_indexing = false;
    change();
    if (contactTable().count() > 0)
        m_runner.prepare();
    if (!m_field->text().isEmpty())
        runQuery();
}

void SearchPanel::learnContacts() {
    m_rows.clear();
    QHash<QString, QString> names;
    const ContactTable& table = contactTable();
    for (int i = 0; i < table.count(); ++i) {
        const ContactEntry& entry = table.row(i);
        const QString jid = fromUtf8(entry.jid);
        m_rows.insert(jid, i);
        names.insert(jid, fromUtf8(entry.displayName.empty() ? entry.jid : entry.displayName));
    }
    m_model->setContactNames(std::move(names));
}

void SearchPanel::focusField() {
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

SearchQuery SearchPanel::currentQuery() const {
    SearchQuery query;
    query.text = m_field->text().toStdString();
    if (m_onlyOpenChat->isChecked())
        query.chat = openChat();
    if (m_from.isValid())
        query.from = dayStart(m_from);
    if (m_to.isValid())
        query.to = dayStart(m_to.addDays(1)) - 1;
    query.who = m_who;
    return query;
}

std::string SearchPanel::openChat() const {
    const int row = programState().currentContactIndex;
    return contactTable().isRow(row) ? contactTable().row(row).jid : std::string();
}

void SearchPanel::textChanged() {
    narrowContacts(m_field->text());
    if (m_field->text().isEmpty()) {
        runQuery();
        return;
    }
    // A burst of keys makes one query, not one each.
    m_typing->start();
    m_resultsBox->show();
    m_status->setText(QStringLiteral("Searching\u2026"));
}

void SearchPanel::narrowContacts(const QString& text) {
    QTreeWidget* list = m_window.contactList();
    const QString wanted = comparable(text.trimmed());
    const ContactTable& table = contactTable();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        bool shown = wanted.isEmpty();
        if (!shown && table.isRow(i)) {
            shown = comparable(item->text(0)).contains(wanted) ||
                    fromUtf8(JidToNumber(table.row(i).jid)).contains(wanted);
        }
        item->setHidden(!shown);
    }
}

void SearchPanel::runQuery() {
    m_typing->stop();
    showNarrowing();
    m_model->clear();
    m_chatHits.reset(openChat());
    m_failure.clear();
    if (m_field->text().isEmpty()) {
        m_runner.cancel();
        m_running = false;
        m_generation = -1;
        m_resultsBox->hide();
        updateFindBar();
        return;
    }
    m_resultsBox->show();
    // A list filled without a finished load (by a test, say) is learnt on first use.
    if (m_rows.isEmpty())
        learnContacts();
    m_running = true;
    m_generation = m_runner.start(currentQuery());
    updateStatus();
    updateFindBar();
}

void SearchPanel::showNarrowing() {
    // The button says how many narrowings are on, its tip which.
    QStringList on;
    if (m_onlyOpenChat->isChecked())
        on.append(QStringLiteral("only the open chat"));
    if (m_who == SearchWho::Me)
        on.append(QStringLiteral("written by me"));
    else if (m_who == SearchWho::Them)
        on.append(QStringLiteral("written by the other side"));
    const QString format = QStringLiteral("yyyy-MM-dd");
    if (m_from.isValid() && m_to.isValid())
        on.append(QStringLiteral("from %1 to %2").arg(m_from.toString(format), m_to.toString(format)));
    m_filterButton->setChecked(!on.isEmpty());
    m_filterButton->setText(on.isEmpty() ? QStringLiteral("Filter")
                                         : QStringLiteral("Filter (%1)").arg(on.size()));
    m_filterButton->setToolTip(on.isEmpty()
                                   ? QStringLiteral("Narrow the search: one chat, who wrote, which days")
                                   : QStringLiteral("Searching ") + on.join(QStringLiteral(", ")));
}

void SearchPanel::takeHits(int generation, const FoundMessages& hits) {
    if (generation != m_generation || !hits)
        return;
    m_model->setResults(hits);
    m_chatHits.reset(m_chatHits.chat());
    for (const std::int64_t ordinal : hits->ordinalsIn(m_chatHits.chat()))
        m_chatHits.add(ordinal);
    updateStatus();
    updateFindBar();
}

void SearchPanel::queryFinished(int generation, qsizetype, bool) {
    if (generation != m_generation)
        return;
    m_running = false;
    updateStatus();
    updateFindBar();
}

void SearchPanel::updateStatus() {
    const int hits = m_model->rowCount();
    QString text;
    if (!m_failure.isEmpty()) {
        text = m_failure;
    } else if (m_indexing) {
        text = QStringLiteral("Preparing to search every message\u2026");
    } else if (hits == 0) {
        // Keys still coming mean a query about to start, not an empty answer.
        text = m_running || m_typing->isActive() ? QStringLiteral("Searching\u2026")
                                                 : QStringLiteral("No messages found");
    } else {
        const QString messages =
            hits == 1 ? QStringLiteral("1 message") : QStringLiteral("%L1 messages").arg(hits);
        const std::size_t chats = m_model->results() != nullptr ? m_model->results()->chatCount() : 0;
        text = chats == 1 ? messages + QStringLiteral(" in 1 chat")
                          : messages + QStringLiteral(" in %L1 chats").arg(chats);
        if (m_running)
            text += QStringLiteral(" so far\u2026");
    }
    m_status->setText(text);
    m_busy->setVisible(m_indexing || m_running);
}

void SearchPanel::updateFindBar() {
    if (m_findBar == nullptr)
        return;
    const bool on = !m_field->text().isEmpty() && !m_chatHits.chat().empty();
    m_findBar->setVisible(on);
    if (on) {
        m_findBar->showCount(m_field->text(), static_cast<int>(m_chatHits.position()),
                             static_cast<int>(m_chatHits.count()), !m_running);
    }
}

void SearchPanel::syncChatHits() {
    const std::string chat = openChat();
    if (chat == m_chatHits.chat())
        return;
    m_chatHits.reset(chat);
    if (const SearchResults* results = m_model->results()) {
        for (const std::int64_t ordinal : results->ordinalsIn(chat))
            m_chatHits.add(ordinal);
    }
}

void SearchPanel::chatChanged() {
    // A search narrowed to the open chat follows the reader to the next chat.
    if (m_onlyOpenChat->isChecked() && !m_field->text().isEmpty() && openChat() != m_chatHits.chat()) {
        runQuery();
        return;
    }
    syncChatHits();
    updateFindBar();
}

void SearchPanel::nextHit() {
    step(true);
}

void SearchPanel::previousHit() {
    step(false);
}

void SearchPanel::step(bool forward) {
    syncChatHits();
    const std::int64_t ordinal = forward ? m_chatHits.next() : m_chatHits.previous();
    if (ordinal < 0)
        return;
    showHit(m_chatHits.chat(), ordinal);
    // The result list follows, so that the hit shown is the one marked there too.
    const SearchResults* results = m_model->results();
    const std::size_t row = results != nullptr ? results->find(m_chatHits.chat(), ordinal) : 0;
    if (results != nullptr && row < static_cast<std::size_t>(m_model->rowCount())) {
        const QModelIndex index = m_model->index(static_cast<int>(row));
        m_results->setCurrentIndex(index);
        m_results->scrollTo(index);
    }
}

void SearchPanel::choose(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    const SearchHit& hit = m_model->hit(row);
    const std::string jid = hit.jid;
    const std::int64_t ordinal = hit.ordinal;
    m_results->setCurrentIndex(m_model->index(row));
    const auto found = m_rows.constFind(fromUtf8(jid));
    if (found == m_rows.constEnd())
        return;
    if (programState().currentContactIndex != *found) {
        // Opening a hit's chat shows its contact, even when the name did not match.
        QTreeWidget* list = m_window.contactList();
        QTreeWidgetItem* item = list->topLevelItem(*found);
        if (item == nullptr)
            return;
        item->setHidden(false);
        list->setCurrentItem(item);
        list->scrollToItem(item);
    }
    syncChatHits();
    m_chatHits.goTo(ordinal);
    showHit(jid, ordinal);
}

void SearchPanel::showHit(const std::string& jid, std::int64_t ordinal) {
    if (jid != openChat())
        return;
    if (auto* view = dynamic_cast<ChatPageView*>(m_window.chatView()))
        view->goToMessage(ordinal, m_field->text().toStdString());
    updateFindBar();
}

}  // namespace talvio
