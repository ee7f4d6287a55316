// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QDialog>

#include <vector>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QTableWidget;

namespace talvio {

class CChatSoftware;
struct ExportReport;

// The export dialog (dialog 137): one check-box row per contact table row (list row i is table row i), two
// ways of checking many rows, and "Export", which writes the checked chats as stand-alone pages
// into a folder the user picks. It closes through its close box only.
class CDlgExport : public QDialog {
    Q_OBJECT
public:
    // source renders the chats; null when nothing is loaded.
    CDlgExport(QWidget* parent, CChatSoftware* source);

    QTableWidget* contactList() const { return m_list; }
    QCheckBox* selectAllBox() const { return m_selectAllBox; }
    QPushButton* withMessagesButton() const { return m_withMessagesButton; }
    QPushButton* exportButton() const { return m_exportButton; }

    bool isRowChecked(int row) const;
    void setRowChecked(int row, bool checked);
    std::vector<int> checkedRows() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildList();
    void fillList();
    void toggleSelectAll();
    void selectWithMessages();
    void exportChecked();
    void tellClosing(const ExportReport& report);

    CChatSoftware* m_source;
    bool m_selectAll = false;
    QGroupBox* m_groupBox = nullptr;
    QTableWidget* m_list = nullptr;
    QCheckBox* m_selectAllBox = nullptr;
    QPushButton* m_withMessagesButton = nullptr;
    QPushButton* m_exportButton = nullptr;
};

// The export command of the main window: ExportMode is on for exactly as long as a new dialog
// is open over owner.
void runExportDialog(QWidget* owner, CChatSoftware* source);

}  // namespace talvio
