// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>

class QHeaderView;
class QSplitter;
class QWidget;

namespace talvio {

// The main window's size, place, splitter and column widths from one run to the next, in a file
// of our own beside the settings file ("window.ini"), never in the settings file itself.
class WindowMemory {
public:
    explicit WindowMemory(const QString& settingsFolder);

    QString path() const { return m_path; }
    // Puts back what the last run kept; a missing or damaged file leaves everything as it is.
    void restore(QWidget& window, QSplitter& splitter, QHeaderView& columns) const;
    // False when the file could not be written.
    bool save(const QWidget& window, const QSplitter& splitter, const QHeaderView& columns) const;

private:
    QString m_path;
};

}  // namespace talvio
