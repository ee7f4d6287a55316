// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "recover/recover_dialog.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/dialog_units.h"
#include "sources/message_time.h"

namespace talvio::recover {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "description|patterns|...||" as Qt's pickers want it: "description (patterns);;...". Qt reads the
// patterns from the parentheses that end a description, so they are added where missing.
QString qtFileFilter(std::string_view pairs) {
    const QStringList parts = fromUtf8(pairs).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QString description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            description += QStringLiteral(" (") + patterns + QLatin1Char(')');
        filters.append(description);
    }
    return filters.join(QStringLiteral(";;"));
}

// Failed groups shown one box each before the user is asked whether to see the rest.
constexpr int kFailuresBeforeAsking = 3;

}  // namespace

CDlgRecoverToDatabase::CDlgRecoverToDatabase(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("恢复到数据库"));
    // The dialog-unit geometry below is measured in this font.
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(dluSize(337, 128));

    const auto addLabel = [this](const QString& text, QRect rect) {
        auto* label = new QLabel(text, this);
        label->setGeometry(rect);
        // A substitute for Tahoma, or the CJK font behind it, may need more room than Tahoma did;
        // clipping the caption would hide what the box is for.
        label->resize(label->size().expandedTo(label->sizeHint()));
    };
    const auto addBox = [this](QRect rect) {
        auto* edit = new QLineEdit(this);
        edit->setGeometry(rect);
        return edit;
    };
    const auto addButton = [this](int id, const QString& text, QRect rect,
                                  void (CDlgRecoverToDatabase::*handler)()) {
        auto* button = new QPushButton(text, this);
        button->setGeometry(rect);
        connect(button, &QPushButton::clicked, this, handler);
        m_buttons.emplace_back(id, button);
        return button;
    };

    // Created in the order that Tab follows.
    addLabel(QStringLiteral("待恢复文件:"), dluRect(7, 9, 44, 8));
    m_textFile = addBox(dluRect(56, 7, 183, 14));
    addButton(kBrowseTextFileButton, QStringLiteral("浏览"), dluRect(245, 7, 32, 14),
              &CDlgRecoverToDatabase::browseTextFile);
    addButton(kCheckFormatButton, QStringLiteral("检查格式"), dluRect(280, 7, 50, 14),
              &CDlgRecoverToDatabase::checkFormat);
    addLabel(QStringLiteral("数据库文件:"), dluRect(7, 32, 44, 8));
    m_database = addBox(dluRect(55, 29, 183, 14));
    addButton(kBrowseDatabaseButton, QStringLiteral("浏览"), dluRect(245, 28, 32, 14),
              &CDlgRecoverToDatabase::browseDatabase);
    addLabel(QStringLiteral("好友微信号或表名称:"), dluRect(7, 54, 76, 8));
    m_idOrTableName = addBox(dluRect(91, 52, 239, 14));
    addLabel(QStringLiteral("MesSvrID起始值(递减)"), dluRect(7, 74, 77, 8));
    m_startValue = addBox(dluRect(91, 72, 239, 14));
    addButton(kRecoverButton, QStringLiteral("恢复"), dluRect(7, 102, 156, 19),
              &CDlgRecoverToDatabase::recover);
    addButton(kCloseButton, QStringLiteral("关闭窗口"), dluRect(196, 102, 134, 19),
              &CDlgRecoverToDatabase::accept)
        ->setDefault(true);

    writeBoxes();
}

QLineEdit* CDlgRecoverToDatabase::box(int id) const {
    switch (id) {
        case kTextFileBox:
            return m_textFile;
        case kDatabaseBox:
            return m_database;
        case kIdOrTableNameBox:
            return m_idOrTableName;
        case kStartValueBox:
            return m_startValue;
        default:
            return nullptr;
    }
}

QPushButton* CDlgRecoverToDatabase::button(int id) const {
    for (const auto& [buttonId, button] : m_buttons) {
        if (buttonId == id)
            return button;
    }
    return nullptr;
}

bool CDlgRecoverToDatabase::readBoxes() {
    m_members.textFilePath = m_textFile->text().toStdString();
    m_members.databasePath = m_database->text().toStdString();
    m_members.idOrTableName = m_idOrTableName->text().toStdString();
    const std::optional<std::int64_t> value = parseStartValue(m_startValue->text().toStdString());
    if (!value) {
        tell({kNotAnIntegerText, {}});
        m_startValue->setFocus();
        m_startValue->selectAll();
        return false;
    }
    m_members.startValue = *value;
    return true;
}

void CDlgRecoverToDatabase::writeBoxes() {
    m_textFile->setText(QString::fromStdString(m_members.textFilePath));
    m_database->setText(QString::fromStdString(m_members.databasePath));
    m_idOrTableName->setText(QString::fromStdString(m_members.idOrTableName));
    m_startValue->setText(QString::number(static_cast<qlonglong>(m_members.startValue)));
}

// The browse buttons write every member back without reading the boxes first, so text typed into
// another box since they were last read gives way to the member's value.
void CDlgRecoverToDatabase::browseTextFile() {
    const QString picked =
        platform::desktop().pickOpenFile(this, QString(), qtFileFilter(kTextFileFilter), QString());
    if (picked.isEmpty())
        return;
    m_members.textFilePath = picked.toStdString();
    writeBoxes();
}

void CDlgRecoverToDatabase::browseDatabase() {
    const QString picked =
        platform::desktop().pickOpenFile(this, QString(), qtFileFilter(kDatabaseFileFilter), QString());
    if (picked.isEmpty())
        return;
    if (!isWeChatDatabasePath(picked.toStdString())) {
        tell({kWrongDatabaseText, {}});
        return;
    }
    m_members.databasePath = picked.toStdString();
    writeBoxes();
}

void CDlgRecoverToDatabase::checkFormat() {
    readBoxes();
    tell(formatCheckNotice(checkRecoverFile(m_members.textFilePath)));
}

void CDlgRecoverToDatabase::recover() {
    // An unreadable start value has been reported; the recovery goes on from the previous one.
    readBoxes();
    const std::vector<Notice> notices = runRecovery(m_members, standardTimeZoneBias()).notices();
    const auto failures = static_cast<int>(std::count_if(
        notices.begin(), notices.end(), [](const Notice& n) { return n.caption == kInsertFailedCaption; }));
    // Each failed group has a box of its own; a file with thousands of them must not hold the
    // user in front of thousands of boxes.
    int shownFailures = 0;
    bool showFailures = true;
    for (const Notice& notice : notices) {
        if (notice.caption == kInsertFailedCaption) {
            if (!showFailures)
                continue;
            if (shownFailures == kFailuresBeforeAsking && failures > kFailuresBeforeAsking) {
                const QString question =
                    QStringLiteral("%1 more groups could not be added. Show each of them?")
                        .arg(failures - kFailuresBeforeAsking);
                showFailures =
                    platform::desktop().message(this, question, QString(), platform::Buttons::YesNo,
                                                platform::Icon::Question) == platform::Answer::Yes;
                if (!showFailures)
                    continue;
            }
            ++shownFailures;
        }
        tell(notice);
    }
}

void CDlgRecoverToDatabase::accept() {
    if (readBoxes())
        QDialog::accept();
}

void CDlgRecoverToDatabase::tell(const Notice& notice) {
    platform::desktop().message(this, QString::fromStdString(notice.text),
                                QString::fromStdString(notice.caption), platform::Buttons::Ok);
}

void runRecoverTool(QWidget* owner) {
    CDlgRecoverToDatabase dialog(owner);
    dialog.exec();
}

}  // namespace talvio::recover
