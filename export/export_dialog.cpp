// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "export_dialog.h"

#include "export/export_progress.h"
#include "export/export_run.h"
#include "export/export_summary.h"
#include "platform/desktop.h"
#include "platform/dialog_units.h"
#include "sources/contact_table.h"
#include "sources/program_state.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

#include <algorithm>
#include <functional>

namespace talvio {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString listName(const ContactEntry& entry) {
    return fromUtf8(entry.displayName.empty() ? entry.jid : entry.displayName);
}

void tell(QWidget* owner, const QString& text, platform::Icon icon = platform::Icon::Exclamation) {
    platform::desktop().message(owner, text, QString(), platform::Buttons::Ok, icon);
}

}  // namespace

CDlgExport::CDlgExport(QWidget* parent, CChatSoftware* source)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint |
                          Qt::WindowSystemMenuHint),
      m_source(source) {
    setWindowTitle(QStringLiteral("Export Messages - Talvio"));
    // The dialog-unit geometry below is measured in this font.
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(dluSize(272, 259));

    // Created in the order that Tab follows; the group box first, so that it lies beneath.
    m_groupBox = new QGroupBox(this);  // control 1066
    m_groupBox->setGeometry(dluRect(7, 7, 258, 213));
    buildList();

    m_selectAllBox = new QCheckBox(QStringLiteral("Select All"), this);  // control 1034
    m_selectAllBox->setGeometry(dluRect(22, 203, 77, 10));
    connect(m_selectAllBox, &QCheckBox::clicked, this, &CDlgExport::toggleSelectAll);
    // control 1035
    m_withMessagesButton = new QPushButton(QStringLiteral("Selects all contacts who has messages"), this);
    m_withMessagesButton->setGeometry(dluRect(119, 199, 139, 16));
    connect(m_withMessagesButton, &QPushButton::clicked, this, &CDlgExport::selectWithMessages);
    // A substitute for Tahoma may need more room than Tahoma did: the button grows to the left, into
    // the space before it, rather than clip its caption.
    if (const int needed = m_withMessagesButton->sizeHint().width(); needed > m_withMessagesButton->width()) {
        QRect r = m_withMessagesButton->geometry();
        r.setLeft(std::max(r.right() + 1 - needed, m_selectAllBox->geometry().right() + dluX(4)));
        m_withMessagesButton->setGeometry(r);
    }
    m_exportButton = new QPushButton(QStringLiteral("Export"), this);  // control 1027
    m_exportButton->setGeometry(dluRect(79, 230, 108, 22));
    connect(m_exportButton, &QPushButton::clicked, this, &CDlgExport::exportChecked);
    // No button answers Enter on the dialog's behalf.
    for (QPushButton* button : {m_withMessagesButton, m_exportButton}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    fillList();
    // Enter and Escape are discarded wherever they are pressed, before any control sees them.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    m_list->setFocus();
}

// Control 1033: a report view with grid lines, check boxes, movable columns and whole-row
// selection, as the contact list of the main window.
void CDlgExport::buildList() {
    m_list = new QTableWidget(0, 3, this);
    m_list->setGeometry(dluRect(14, 21, 245, 174));
    m_list->setHorizontalHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("WhatsApp ID"), QStringLiteral("Quantity")});
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setSectionsMovable(true);
    m_list->horizontalHeader()->setStretchLastSection(false);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->setColumnWidth(0, 130);
    m_list->setColumnWidth(1, 132);
    m_list->setColumnWidth(2, 102);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 6);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setFrameShape(QFrame::Box);
}

void CDlgExport::fillList() {
    m_list->clearContents();
    const ContactTable& table = contactTable();
    m_list->setRowCount(table.count());
    for (int i = 0; i < table.count(); ++i) {
        const ContactEntry& entry = table.row(i);
        auto* name = new QTableWidgetItem(listName(entry));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        name->setCheckState(Qt::Unchecked);
        m_list->setItem(i, 0, name);
        auto* jid = new QTableWidgetItem(fromUtf8(entry.jid));
        jid->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_list->setItem(i, 1, jid);
        auto* count = new QTableWidgetItem(QString::number(entry.messageCount));
        count->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_list->setItem(i, 2, count);
    }
}

bool CDlgExport::isRowChecked(int row) const {
    const QTableWidgetItem* item = m_list->item(row, 0);
    return item != nullptr && item->checkState() == Qt::Checked;
}

void CDlgExport::setRowChecked(int row, bool checked) {
    if (QTableWidgetItem* item = m_list->item(row, 0))
        item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

std::vector<int> CDlgExport::checkedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < m_list->rowCount(); ++i) {
        if (isRowChecked(i))
            rows.push_back(i);
    }
    return rows;
}

// The box toggles from the dialog's own flag, not from what the rows show, so checks made by hand
// or by the other button in between do not change what the next click does.
void CDlgExport::toggleSelectAll() {
    m_selectAll = !m_selectAll;
    m_selectAllBox->setChecked(m_selectAll);
    for (int i = 0; i < m_list->rowCount(); ++i)
        setRowChecked(i, m_selectAll);
}

void CDlgExport::selectWithMessages() {
    const ContactTable& table = contactTable();
    for (int i = 0; i < m_list->rowCount(); ++i)
        setRowChecked(i, table.isRow(i) && table.row(i).messageCount > 0);
}

void CDlgExport::exportChecked() {
    const ContactTable& table = contactTable();
    if (m_source == nullptr || table.count() == 0) {
        tell(this, QStringLiteral("There are no chats to export. Open a WhatsApp database first."));
        return;
    }
    const std::vector<int> rows = checkedRows();
    if (rows.empty()) {
        tell(this, QStringLiteral("Check the contacts whose chats you want to export."));
        return;
    }
    const std::string previous = programState().exportFolder;
    const QString folder =
        platform::desktop().pickFolder(this, QStringLiteral("Choose the folder to export the chats into"),
                                       previous.empty() ? QDir::homePath() : fromUtf8(previous));
    if (folder.isEmpty())
        return;

    CDlgExportProgress progress(this, static_cast<int>(rows.size()));
    progress.show();
    // Painted before the run starts: preparing a large store takes a moment before the first chat.
    progress.pulse();
    ExportRun run(*m_source, folder.toStdString());
    run.setPulse([&progress] { progress.pulse(); });
    const ExportReport report = run.run(rows, [&](int done, int total) {
        const std::size_t k = static_cast<std::size_t>(done);
        return progress.step(done,
                             done < total && table.isRow(rows[k]) ? listName(table.row(rows[k])) : QString());
    });
    progress.hide();
    tellClosing(report);
}

void CDlgExport::tellClosing(const ExportReport& report) {
    const ExportSummary summary = exportSummary(report);
    const platform::Icon icon = summary.problem ? platform::Icon::Exclamation : platform::Icon::Information;
    const platform::Answer answer = platform::desktop().message(
        this, fromUtf8(summary.text), QString(),
        summary.offerOpen ? platform::Buttons::YesNo : platform::Buttons::Ok, icon);
    if (!summary.offerOpen || answer != platform::Answer::Yes)
        return;
    const int opened = platform::desktop().openAddress(fromUtf8(report.folder));
    if (opened <= 32) {
        tell(this,
             QStringLiteral("The folder %1 could not be opened (error %2). Open index.html in it with a web "
                            "browser.")
                 .arg(fromUtf8(report.folder))
                 .arg(opened));
    }
}

bool CDlgExport::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void runExportDialog(QWidget* owner, CChatSoftware* source) {
    ProgramState& state = programState();
    state.exportMode = true;
    {
        CDlgExport dialog(owner, source);
        dialog.exec();
    }
    state.exportMode = false;
}

}  // namespace talvio
