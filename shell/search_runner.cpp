// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/search_runner.h"

#include "sources/chat_software.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <sys/resource.h>
#include <unistd.h>

namespace talvio {
namespace {
// Enough to yield to a render on a busy machine; on an idle one it changes nothing.
constexpr int kBuildNiceness = 10;
}  // namespace

SearchRunner::SearchRunner(QThreadPool* pool, QObject* parent)
    : QObject(parent),
      m_pool(pool != nullptr ? pool : QThreadPool::globalInstance()),
      m_buildPool(new QThreadPool(this)) {
    m_buildPool->setMaxThreadCount(1);
    qRegisterMetaType<talvio::FoundMessages>("talvio::FoundMessages");
}

SearchRunner::~SearchRunner() {
    reset();
}

void SearchRunner::setSource(CChatSoftware* source) {
    reset();
    m_source = source;
}

void SearchRunner::reset() {
    cancel();
    if (m_buildCancel)
        m_buildCancel->store(true);
    m_buildCancel.reset();
    m_waiting.reset();
    ++m_build;
    waitForWork();
    m_index.reset();
}

void SearchRunner::waitForWork() {
    for (QFuture<void>& work : m_work)
        work.waitForFinished();
    m_work.clear();
}

void SearchRunner::cancel() {
    ++m_generation;
    if (m_queryCancel)
        m_queryCancel->store(true);
    m_queryCancel.reset();
    m_waiting.reset();
}

void SearchRunner::prepare() {
    if (!m_index && !m_buildCancel && m_source != nullptr)
        startBuild();
}

int SearchRunner::start(const SearchQuery& query) {
    cancel();
    const int generation = m_generation;
    // Finished work needs no waiting for later.
    m_work.removeIf([](const QFuture<void>& work) { return work.isFinished(); });
    if (m_index) {
        launch(query, generation);
    } else {
        m_waiting.emplace(query, generation);
        if (!m_buildCancel)
            startBuild();
    }
    return generation;
}

void SearchRunner::startBuild() {
    if (m_source == nullptr) {
        m_waiting.reset();
        emit indexFailed(QStringLiteral("Open a chat history first."));
        return;
    }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_buildCancel = cancel;
    const int build = ++m_build;
    emit indexing();
    CChatSoftware* source = m_source;
    m_work.append(QtConcurrent::run(m_buildPool, [this, source, cancel, build] {
        // Building reads every message, on two threads; a chat being opened comes first. The
        // pool's one thread does nothing else, and the reading threads it starts inherit this.
        setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kBuildNiceness);
        std::string reason;
        std::shared_ptr<const SearchIndex> index = SearchIndex::build(*source, *cancel, reason);
        QMetaObject::invokeMethod(
            this,
            [this, index = std::move(index), reason = QString::fromStdString(reason), build] {
                if (build != m_build)
                    return;
                m_buildCancel.reset();
                if (!index) {
                    m_waiting.reset();
                    emit indexFailed(reason);
                    return;
                }
                m_index = index;
                emit indexBuilt(static_cast<qsizetype>(index->messageCount()));
                if (m_waiting) {
                    auto [query, generation] = std::move(*m_waiting);
                    m_waiting.reset();
                    launch(query, generation);
                }
            },
            Qt::QueuedConnection);
    }));
}

void SearchRunner::launch(const SearchQuery& query, int generation) {
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_queryCancel = cancel;
    m_work.append(QtConcurrent::run(m_pool, [this, index = m_index, query, cancel, generation] {
        auto hits = std::make_shared<const SearchResults>(index->find(query, *cancel));
        const std::size_t total = hits->size();
        const bool cancelled = cancel->load();
        if (!cancelled) {
            QMetaObject::invokeMethod(
                this, [this, generation, hits] { emit hitsFound(generation, hits); }, Qt::QueuedConnection);
        }
        QMetaObject::invokeMethod(
            this,
            [this, generation, total, cancelled] {
                emit finished(generation, static_cast<qsizetype>(total), cancelled);
            },
            Qt::QueuedConnection);
    }));
}

}  // namespace talvio
