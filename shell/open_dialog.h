// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace talvio {

class CHyperLink;

// What OK decides about the paths typed into the open dialog.
struct OpenChoice {
    bool accepted = false;
    QString message;  // shown when not accepted
    QString caption;  // empty: the program's name
    std::string dataFolder;
    std::string resourceFolder;
};

// Checks a kind and its two paths as OK does: the kind, the data path, the length that the
// settings file can hold, then the two database files. Paths come back with a trailing '/'.
OpenChoice checkOpenChoice(int kind, const QString& dataPath, const QString& resourcePath);

// The open-database dialog: which kind of phone, and where its copied folders lie.
class COpenWeiXinDataDlg : public QDialog {
    Q_OBJECT
public:
    explicit COpenWeiXinDataDlg(QWidget* parent);

    int kind() const;
    void setKind(int kind);
    QLineEdit* pathEdit(int id) const;
    QPushButton* browseButton(int id) const;
    QLabel* hintLabel() const { return m_hint; }
    // The ids of the controls that the current layout shows.
    QList<int> visibleControls() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void applyLayout(int kind);
    void browse(int editId);
    void readControls();
    void writeControls();
    void accept() override;

    QButtonGroup* m_kindGroup;
    QRadioButton* m_android;
    QRadioButton* m_iphone;
    CHyperLink* m_usage;
    QLabel* m_hint;
    struct Row {
        int id;
        QWidget* widget;
    };
    QList<Row> m_rows;
    // The four paths in the order of the settings file: Android data, Android resource, iPhone data,
    // iPhone resource.
    QString m_paths[4];
};

}  // namespace talvio
