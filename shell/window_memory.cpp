// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "window_memory.h"

#include <QDir>
#include <QHeaderView>
#include <QSettings>
#include <QSplitter>
#include <QWidget>

namespace talvio {
namespace {

const QString kGeometry = QStringLiteral("window/geometry");
const QString kSplitter = QStringLiteral("window/splitter");
const QString kColumns = QStringLiteral("window/columns");

}  // namespace

WindowMemory::WindowMemory(const QString& settingsFolder)
    : m_path(QDir(settingsFolder).filePath(QStringLiteral("window.ini"))) {}

void WindowMemory::restore(QWidget& window, QSplitter& splitter, QHeaderView& columns) const {
    if (!QFile::exists(m_path))
        return;
    const QSettings file(m_path, QSettings::IniFormat);
    // Each restore checks what it is given and refuses anything it did not write itself.
    window.restoreGeometry(file.value(kGeometry).toByteArray());
    splitter.restoreState(file.value(kSplitter).toByteArray());
    columns.restoreState(file.value(kColumns).toByteArray());
}

bool WindowMemory::save(const QWidget& window, const QSplitter& splitter, const QHeaderView& columns) const {
    if (!QDir().mkpath(QFileInfo(m_path).path()))
        return false;
    QSettings file(m_path, QSettings::IniFormat);
    file.setValue(kGeometry, window.saveGeometry());
    file.setValue(kSplitter, splitter.saveState());
    file.setValue(kColumns, columns.saveState());
    file.sync();
    return file.status() == QSettings::NoError;
}

}  // namespace talvio
