// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "search/message_search.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class QThreadPool;

namespace talvio {

class CChatSoftware;

using FoundMessages = std::shared_ptr<const SearchResults>;

// Runs searches off the user-interface thread. The index of the loaded source is built once a load
// has finished (or by the first query, if that comes first) and kept until the next load; each
// query runs on the pool with a cancel flag of its own, and a newer query sets the older one's, so
// typing never waits for an outdated answer. The hits arrive through a queued signal, tagged with
// their query's generation.
class SearchRunner : public QObject {
    Q_OBJECT
public:
    explicit SearchRunner(QThreadPool* pool = nullptr, QObject* parent = nullptr);
    ~SearchRunner() override;

    // The source the next index is built from. Drops the index; work on the old one is cancelled
    // and waited for, since a load is about to change what the source reads.
    void setSource(CChatSoftware* source);
    void reset();

    // Builds the index ahead of the first query, at a low priority, so that a reader who starts
    // reading a chat meanwhile is not slowed down. Does nothing when it is built or being built.
    void prepare();
    // Starts a query and cancels the one before; returns its generation.
    int start(const SearchQuery& query);
    // Cancels whatever query runs (an empty field wants no answer).
    void cancel();
    int generation() const { return m_generation; }
    bool hasIndex() const { return m_index != nullptr; }

signals:
    void indexing();
    void indexBuilt(qsizetype messages);
    void indexFailed(const QString& reason);
    // Every hit of the query; not sent for a cancelled one.
    void hitsFound(int generation, talvio::FoundMessages hits);
    // The query ended: its hits were delivered, or, cancelled, it stopped early.
    void finished(int generation, qsizetype hits, bool cancelled);

private:
    void startBuild();
    void launch(const SearchQuery& query, int generation);
    void waitForWork();

    QThreadPool* m_pool;
    QThreadPool* m_buildPool;  // one thread, of low priority
    CChatSoftware* m_source = nullptr;
    std::shared_ptr<const SearchIndex> m_index;
    std::shared_ptr<std::atomic<bool>> m_buildCancel;
    std::shared_ptr<std::atomic<bool>> m_queryCancel;
    std::optional<std::pair<SearchQuery, int>> m_waiting;  // a query for the index being built
    QList<QFuture<void>> m_work;
    int m_generation = 0;
    int m_build = 0;  // which build is current; a finished older one is dropped
};

}  // namespace talvio
