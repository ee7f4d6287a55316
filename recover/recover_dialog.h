// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QDialog>

#include <utility>
#include <vector>

#include "recover/recovery.h"

class QLineEdit;
class QPushButton;

namespace talvio::recover {

// Control ids of dialog 140, by which tests and the box order refer to them.
enum RecoverControl {
    kTextFileBox = 1049,
    kBrowseTextFileButton = 1050,
    kCheckFormatButton = 1051,
    kDatabaseBox = 1052,
    kBrowseDatabaseButton = 1053,
    kIdOrTableNameBox = 1054,
    kRecoverButton = 1056,
    kStartValueBox = 1058,
    kCloseButton = 1,
};

// The recover-to-database dialog: names a text file, an MM.sqlite database, a friend's WeChat id
// or chat table and a start MesSvrID, checks the file and inserts its messages.
class CDlgRecoverToDatabase : public QDialog {
    Q_OBJECT
public:
    explicit CDlgRecoverToDatabase(QWidget* parent);

    QLineEdit* box(int id) const;
    QPushButton* button(int id) const;
    // The members as last read from, or written to, the boxes.
    const RecoverRequest& members() const { return m_members; }

    void accept() override;

private:
    // The dialog data exchange: false when the start value box holds no integer, which has been
    // reported and leaves the previous start value; the three texts are read all the same.
    bool readBoxes();
    void writeBoxes();
    void browseTextFile();
    void browseDatabase();
    void checkFormat();
    void recover();
    void tell(const Notice& notice);

    RecoverRequest m_members;
    QLineEdit* m_textFile = nullptr;
    QLineEdit* m_database = nullptr;
    QLineEdit* m_idOrTableName = nullptr;
    QLineEdit* m_startValue = nullptr;
    std::vector<std::pair<int, QPushButton*>> m_buttons;
};

// Opens the dialog modally over owner, a new one each time, and returns when it closes.
void runRecoverTool(QWidget* owner);

}  // namespace talvio::recover
