// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "open_dialog.h"

#include "backup/key_parser.h"
#include "chatexport/chat_export_source.h"
#include "platform/desktop.h"
#include "platform/dialog_units.h"
#include "platform/paths.h"
#include "shell/backup_opening.h"
#include "shell/backup_rows.h"
#include "shell/chat_export_owner.h"
#include "shell/hyperlink.h"
#include "shell/iphone_backup_unlock.h"
#include "shell/password_row.h"
#include "shell/settings_file.h"
#include "sources/message_time.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "sources/storage_opening.h"
#include "sources/vcard.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace talvio {
namespace {

const char* const kUsageAddress = "https://talvio.app/usage";

enum ControlId {
    kAndroidDataLabel = 1039,
    kAndroidDataEdit = 1010,
    kAndroidDataBrowse = 1012,
    kAndroidResourceLabel = 1038,
    kAndroidResourceEdit = 1011,
    kAndroidResourceBrowse = 1013,
    kIPhoneDataLabel = 1040,
    kIPhoneDataEdit = 1014,
    kIPhoneDataBrowse = 1018,
    kIPhoneResourceLabel = 1041,
    kIPhoneResourceEdit = 1019,
    kIPhoneResourceBrowse = 1020,
    kExportLabel = 1042,
    kExportEdit = 1043,
    kExportBrowse = 1044,
    kExportFile = 1045,
};

bool isExportRow(int id) {
    return id == kExportLabel || id == kExportEdit || id == kExportBrowse || id == kExportFile;
}

const QString kAndroidHint = QStringLiteral(
    "Android WhatsApp data path is the \"com.whatsapp\" folder exported from android, or the phone's "
    "WhatsApp folder (Android/media/com.whatsapp/WhatsApp) with its Databases folder; that folder's Media "
    "also shows pictures, voice notes and videos. \r\nYou can get more information by clicking \"Usage\" "
    "link above.");
const QString kIPhoneHint = QStringLiteral(
    "Hint: Data path is required. It is the iPhone's computer backup (its folder in MobileSync/Backup, "
    "with Manifest.db), or the \"group.net.whatsapp.WhatsApp.shared\" folder exported from iPhone. A "
    "backup brings its media; for the exported folder the resource path is the \"net.whatsapp.WhatsApp\" "
    "folder exported from iPhone.\r\nYou can get more information by clicking \"Usage\" link above.");
const QString kChatExportHint = QStringLiteral(
    "A chat exported by WhatsApp (in the chat: More > Export chat): the .txt file, or the .zip that "
    "holds it with its media, or a folder that holds such exports; each export is one chat. Exports "
    "do not mark your own messages: when a chat is first shown you are asked which sender is you.");
const QString kShortHint =
    QStringLiteral("Hint: Data path is required, resource path is not absolute required.");

// The settings file keeps each path in 260 bytes with its terminating zero.
constexpr int kLongestPath = 259;

int pathIndex(int editId) {
    switch (editId) {
        case kAndroidDataEdit:
            return 0;
        case kAndroidResourceEdit:
            return 1;
        case kIPhoneDataEdit:
            return 2;
        default:
            return 3;
    }
}

// Where the backup rows begin: in the place of the resource row that Android never shows.
constexpr int kBackupRowsTop = 114;

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The phone's WhatsApp folder at the path, unless the path is a "com.whatsapp" data folder, which
// keeps the meaning it always had.
std::optional<WhatsAppStorage> storageFolderAt(const QString& path) {
    if (path.isEmpty() || hasDatabaseFiles(kSourceAndroid, localPath(path)))
        return std::nullopt;
    return findWhatsAppStorage(localPath(path));
}

QString tooLongMessage() {
    return QStringLiteral(
               "The folder path is too long to be remembered: a path may hold at most %1 "
               "bytes. Please move the folder to a shorter path.")
        .arg(kLongestPath);
}

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Shown text for a label: the label text itself, without the control-line breaks.
QString shownText(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

OpenChoice checkOpenChoice(int kind, const QString& dataPath, const QString& resourcePath) {
    OpenChoice choice;
    if (kind < 0) {
        choice.message = QStringLiteral("Please set WhatsApp type at first.");
        return choice;
    }
    if (dataPath.isEmpty()) {
        choice.message = QStringLiteral("Please set WhatsApp data folder.");
        return choice;
    }
    const std::string data = withTrailingSlash(dataPath.toStdString());
    const std::string resource = withTrailingSlash(resourcePath.toStdString());
    if (data.size() > kLongestPath || resource.size() > kLongestPath) {
        choice.message = tooLongMessage();
        choice.caption = platform::programName();
        return choice;
    }
    if (!hasDatabaseFiles(kind == kSourceAndroid ? kSourceAndroid : kSourceIPhone, data)) {
        choice.message = kind == kSourceAndroid
                             ? QStringLiteral(
                                   "Couldn't find the database file. \rData path must be set to "
                                   "\"com.whatsapp\" folder exported from android phone.")
                             : QStringLiteral(
                                   "Couldn't find the database file. \rData path must be set to "
                                   "\"group.net.whatsapp.WhatsApp.shared\" folder.");
        choice.caption = platform::programName();
        return choice;
    }
    choice.accepted = true;
    choice.dataFolder = data;
    choice.resourceFolder = resource;
    return choice;
}

COpenWeiXinDataDlg::COpenWeiXinDataDlg(QWidget* parent)
    : QDialog(parent),
      m_kindGroup(new QButtonGroup(this)),
      m_android(new QRadioButton(QStringLiteral("Android Phone"), this)),
      m_iphone(new QRadioButton(QStringLiteral("iPhone"), this)),
      m_chatExport(new QRadioButton(QStringLiteral("Chat export"), this)),
      m_usage(new CHyperLink(this)),
      m_hint(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Open WhatsApp Database - Talvio"));

    auto* upper = new QGroupBox(this);
    upper->setGeometry(dluRect(7, 4, 319, 48));
    auto* step1 = new QLabel(QStringLiteral("Step1: Set WhatsApp Type"), this);
    step1->setGeometry(dluRect(14, 12, 200, 10));
    m_android->setGeometry(dluRect(30, 30, 90, 12));
    m_iphone->setGeometry(dluRect(130, 30, 80, 12));
    m_chatExport->setGeometry(dluRect(220, 30, 100, 12));
    m_kindGroup->addButton(m_android, kSourceAndroid);
    m_kindGroup->addButton(m_iphone, kSourceIPhone);
    m_kindGroup->addButton(m_chatExport, kSourceChatExport);
    connect(m_kindGroup, &QButtonGroup::idClicked, this, &COpenWeiXinDataDlg::applyLayout);

    m_lower = new QGroupBox(this);
    auto* step2 = new QLabel(QStringLiteral("Step2: Set WhatsApp Database Folder"), this);
    step2->setGeometry(dluRect(14, 64, 200, 10));
    m_usage->setText(QStringLiteral("Usage"));
    m_usage->move(dluX(290), dluY(64));
    m_usage->SetURL(QString::fromLatin1(kUsageAddress));
    // A frame made after the controls it frames would lie on top of them and take their clicks.
    upper->lower();
    m_lower->lower();

    // Both kinds' rows lie in the same place; a layout shows one set at a time.
    const auto addRow = [this](int labelId, const QString& label, int editId, int browseId, int top) {
        auto* text = new QLabel(label, this);
        text->setGeometry(dluRect(14, top, 300, 10));
        auto* edit = new QLineEdit(this);
        edit->setGeometry(dluRect(14, top + 12, 250, 14));
        auto* button = new QPushButton(QStringLiteral("Browser"), this);
        button->setGeometry(dluRect(270, top + 12, 50, 14));
        connect(button, &QPushButton::clicked, this, [this, editId] { browse(editId); });
        m_rows.append({labelId, text});
        m_rows.append({editId, edit});
        m_rows.append({browseId, button});
    };
    addRow(kAndroidDataLabel, QStringLiteral("Data Path:"), kAndroidDataEdit, kAndroidDataBrowse, 82);
    addRow(kAndroidResourceLabel,
           QStringLiteral("Media path (the phone's \"WhatsApp\" folder, which holds Media; optional):"),
           kAndroidResourceEdit, kAndroidResourceBrowse, 114);
    addRow(kIPhoneDataLabel,
           QStringLiteral("Data Path (iPhone backup or \"group.net.whatsapp.WhatsApp.shared\"):"),
           kIPhoneDataEdit, kIPhoneDataBrowse, 82);
    addRow(kIPhoneResourceLabel, QStringLiteral("Resource path (\"net.whatsapp.WhatsApp\" folder):"),
           kIPhoneResourceEdit, kIPhoneResourceBrowse, 114);
    // The export's row: a file (.txt, .zip) or a folder of exports, each with its own picker.
    addRow(kExportLabel, QStringLiteral("Exported chat (.txt or .zip file, or a folder of them):"),
           kExportEdit, kExportBrowse, 82);
    pathEdit(kExportEdit)->setGeometry(dluRect(14, 94, 196, 14));
    browseButton(kExportBrowse)->setGeometry(dluRect(216, 94, 50, 14));
    browseButton(kExportBrowse)->setText(QStringLiteral("Folder..."));
    auto* file = new QPushButton(QStringLiteral("File..."), this);
    file->setGeometry(dluRect(270, 94, 50, 14));
    connect(file, &QPushButton::clicked, this, &COpenWeiXinDataDlg::browseExportFile);
    m_rows.append({kExportFile, file});

    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_backupRows = new BackupRows(this, kBackupRowsTop);
    // In the place of the resource row, which a backup does not need.
    m_passwordRow = new PasswordRow(this, kBackupRowsTop);
    m_passwordRow->hide();

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    connect(m_ok, &QPushButton::clicked, this, &COpenWeiXinDataDlg::accept);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    placeControls(false);
    // Typed, pasted or browsed: the backup rows follow what the data path is.
    connect(pathEdit(kAndroidDataEdit), &QLineEdit::textChanged, this, [this] { checkStorage(kind()); });
    connect(pathEdit(kIPhoneDataEdit), &QLineEdit::textChanged, this, [this] { checkIphoneBackup(kind()); });

    const SettingsRecord& settings = settingsRecord();
    m_paths[0] = QString::fromStdString(settings.androidDataPath);
    m_paths[1] = QString::fromStdString(settings.androidResourcePath);
    m_paths[2] = QString::fromStdString(settings.iphoneDataPath);
    m_paths[3] = QString::fromStdString(settings.iphoneResourcePath);
    m_choices = OpenMemory(platform::settingsFolder()).restore();
    m_exportPath = ChatExportMemory(platform::settingsFolder()).lastPath();
    m_backupRows->setKeyFile(m_choices.keyFile);
    m_backupRows->setContactsFile(m_choices.contactsFile);
    setKind(settings.sourceKind);
    writeControls();
}

void COpenWeiXinDataDlg::prefillAndroidFolder(const QString& folder) {
    setKind(kSourceAndroid);
    pathEdit(kAndroidDataEdit)->setText(folder);
}

void COpenWeiXinDataDlg::prefillIphoneFolder(const QString& folder) {
    setKind(kSourceIPhone);
    pathEdit(kIPhoneDataEdit)->setText(folder);
}

int COpenWeiXinDataDlg::kind() const {
    return m_kindGroup->checkedId();
}

void COpenWeiXinDataDlg::setKind(int kind) {
    if (QAbstractButton* button = m_kindGroup->button(kind))
        button->setChecked(true);
    applyLayout(kind);
}

QLineEdit* COpenWeiXinDataDlg::pathEdit(int id) const {
    for (const Row& row : m_rows) {
        if (row.id == id)
            return qobject_cast<QLineEdit*>(row.widget);
    }
    return nullptr;
}

QPushButton* COpenWeiXinDataDlg::browseButton(int id) const {
    for (const Row& row : m_rows) {
        if (row.id == id)
            return qobject_cast<QPushButton*>(row.widget);
    }
    return nullptr;
}

QList<int> COpenWeiXinDataDlg::visibleControls() const {
    QList<int> ids;
    for (const Row& row : m_rows) {
        if (!row.widget->isHidden())
            ids.append(row.id);
    }
    return ids;
}

void COpenWeiXinDataDlg::applyLayout(int kind) {
    // The Android media row shows for a "com.whatsapp" folder only (see checkStorage): the
    // phone's WhatsApp folder brings its own Media/.
    const bool iphone = kind == kSourceIPhone;
    const bool chatExport = kind == kSourceChatExport;
    for (const Row& row : m_rows) {
        const bool androidData =
            row.id == kAndroidDataLabel || row.id == kAndroidDataEdit || row.id == kAndroidDataBrowse;
        const bool iphoneRow = row.id == kIPhoneDataLabel || row.id == kIPhoneDataEdit ||
                               row.id == kIPhoneDataBrowse || row.id == kIPhoneResourceLabel ||
                               row.id == kIPhoneResourceEdit || row.id == kIPhoneResourceBrowse;
        row.widget->setVisible(chatExport ? isExportRow(row.id) : iphone ? iphoneRow : androidData);
    }
    m_hint->setText(shownText(kind == kSourceAndroid ? kAndroidHint
                              : iphone               ? kIPhoneHint
                              : chatExport           ? kChatExportHint
                                                     : kShortHint));
    checkStorage(kind);
    checkIphoneBackup(kind);
}

void COpenWeiXinDataDlg::checkIphoneBackup(int kind) {
    m_iphoneBackup.reset();
    const QString path = pathEdit(kIPhoneDataEdit)->text();
    if (kind == kSourceIPhone && looksLikeIphoneBackup(localPath(path)))
        m_iphoneBackup = probeIphoneBackup(localPath(path));
    for (const Row& row : m_rows) {
        if (row.id == kIPhoneResourceLabel || row.id == kIPhoneResourceEdit ||
            row.id == kIPhoneResourceBrowse)
            row.widget->setVisible(kind == kSourceIPhone && !m_iphoneBackup);
    }
    const bool encrypted = m_iphoneBackup && !m_iphoneBackup->error.failed() && m_iphoneBackup->encrypted;
    m_passwordRow->setVisible(encrypted);
    if (!encrypted)
        m_passwordRow->forget();
}

void COpenWeiXinDataDlg::checkStorage(int kind) {
    m_storage.reset();
    if (kind == kSourceAndroid)
        m_storage = storageFolderAt(pathEdit(kAndroidDataEdit)->text());
    if (m_storage)
        m_backupRows->setStorage(*m_storage, m_choices.backupName);
    const bool mediaRow = kind == kSourceAndroid && !m_storage;
    for (const Row& row : m_rows) {
        if (row.id == kAndroidResourceLabel || row.id == kAndroidResourceEdit ||
            row.id == kAndroidResourceBrowse)
            row.widget->setVisible(mediaRow);
    }
    placeControls(m_storage && !m_storage->backups.empty());
}

void COpenWeiXinDataDlg::placeControls(bool withBackupRows) {
    // Without the rows the dialog keeps its classic size; with them it grows below them.
    const int extra = withBackupRows ? BackupRows::kExtraHeight : 0;
    setFixedSize(dluSize(333, 232 + extra));
    m_lower->setGeometry(dluRect(7, 56, 319, 146 + extra));
    m_hint->setGeometry(dluRect(14, 146 + extra, 305, 52));
    m_ok->setGeometry(dluRect(196, 209 + extra, 60, 16));
    m_cancel->setGeometry(dluRect(264, 209 + extra, 60, 16));
    m_backupRows->setVisible(withBackupRows);
}

void COpenWeiXinDataDlg::readControls() {
    for (int id : {kAndroidDataEdit, kAndroidResourceEdit, kIPhoneDataEdit, kIPhoneResourceEdit}) {
        m_paths[pathIndex(id)] = pathEdit(id)->text();
    }
    m_exportPath = pathEdit(kExportEdit)->text();
}

void COpenWeiXinDataDlg::writeControls() {
    for (int id : {kAndroidDataEdit, kAndroidResourceEdit, kIPhoneDataEdit, kIPhoneResourceEdit}) {
        pathEdit(id)->setText(m_paths[pathIndex(id)]);
    }
    pathEdit(kExportEdit)->setText(m_exportPath);
}

void COpenWeiXinDataDlg::browse(int editId) {
    // Text typed into the other boxes survives the picker.
    readControls();
    if (editId == kExportEdit) {
        const QString folder = platform::desktop().pickFolder(this, QString(), m_exportPath);
        if (!folder.isEmpty()) {
            m_exportPath = folder;
            writeControls();
        }
        return;
    }
    QString folder = platform::desktop().pickFolder(this, QString(), m_paths[pathIndex(editId)]);
    if (folder.isEmpty())
        return;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    m_paths[pathIndex(editId)] = folder;
    writeControls();
}

void COpenWeiXinDataDlg::browseExportFile() {
    readControls();
    const QString file = platform::desktop().pickOpenFile(
        this, QString(), QStringLiteral("Exported chats (*.txt *.zip);;All files (*)"), m_exportPath);
    if (file.isEmpty())
        return;
    m_exportPath = file;
    writeControls();
}

void COpenWeiXinDataDlg::accept() {
    readControls();
    const int chosen = kind();
    if (chosen == kSourceChatExport) {
        acceptChatExport();
        return;
    }
    const bool android = chosen == kSourceAndroid;
    if (chosen == kSourceIPhone) {
        checkIphoneBackup(chosen);
        if (m_iphoneBackup) {
            acceptIphoneBackup();
            return;
        }
    }
    if (android) {
        // Looked at again: the folder may have changed since the path was typed.
        checkStorage(chosen);
        if (m_storage) {
            // A copy: the windows answer while a backup is decrypted, and m_storage follows the path.
            const WhatsAppStorage storage = *m_storage;
            acceptStorage(storage);
            return;
        }
    }
    const OpenChoice choice =
        checkOpenChoice(chosen, m_paths[android ? 0 : 2], chosen < 0 ? QString() : m_paths[android ? 1 : 3]);
    if (!choice.accepted) {
        platform::desktop().message(this, choice.message, choice.caption);
        return;
    }
    setLoadPaths(android ? kSourceAndroid : kSourceIPhone, choice.dataFolder, choice.resourceFolder);
    SettingsRecord& settings = settingsRecord();
    settings.sourceKind = chosen;
    (android ? settings.androidDataPath : settings.iphoneDataPath) = choice.dataFolder;
    (android ? settings.androidResourcePath : settings.iphoneResourcePath) = choice.resourceFolder;
    if (const auto failure = SaveSettings(platform::settingsFolder().toStdString())) {
        platform::desktop().message(nullptr, QString::fromStdString(*failure), QString());
    }
    if (android)
        rememberChoices(QStringLiteral("data"));
    QDialog::accept();
}

void COpenWeiXinDataDlg::acceptStorage(const WhatsAppStorage& storage) {
    const QString caption = platform::programName();
    if (!storage.hasMessages()) {
        QString text =
            QStringLiteral("\"%1Databases\" holds no backup that can be read.").arg(fromUtf8(storage.folder));
        for (const std::string& refusal : storage.refusals)
            text += QStringLiteral("\n") + fromUtf8(refusal);
        if (storage.refusals.empty())
            text += QStringLiteral(
                " Copy the phone's whole WhatsApp folder, with Databases/msgstore.db.crypt15 in it.");
        platform::desktop().message(this, text, caption);
        return;
    }
    if (storage.folder.size() > kLongestPath) {
        platform::desktop().message(this, tooLongMessage(), caption);
        return;
    }
    // A contacts file that cannot name anything is said before a long decryption, not after.
    if (const QString contacts = m_backupRows->contactsFile(); !contacts.isEmpty()) {
        if (const VCardFile cards = loadVCardFile(localPath(contacts)); !cards.error.empty()) {
            platform::desktop().message(this, fromUtf8(cards.error), caption);
            return;
        }
    }
    const std::string backupPath = storage.backups.empty() ? std::string() : m_backupRows->chosenBackup();
    std::optional<PhoneFolder> folder;
    QString contactsNote;
    if (backupPath.empty()) {
        folder = plainStorageFolder(storage, standardTimeZoneBias());
    } else {
        const backup::KeyResult key = m_backupRows->readKey();
        if (!key.ok()) {
            platform::desktop().message(this, fromUtf8(key.error), caption);
            return;
        }
        StorageOpening opening = openBackupWithProgress(this, storage, backupPath, *key.key);
        // Wrong key, damaged, cancelled: the dialog stays as it was, and so does the main window.
        if (!opening.folder) {
            platform::desktop().message(this, fromUtf8(opening.outcome.message), caption);
            return;
        }
        m_backupRows->forgetTypedKey();
        folder = std::move(opening.folder);
        contactsNote = fromUtf8(opening.contactsNote);
    }
    folder->addressBookPath = localPath(m_backupRows->contactsFile());
    setLoadPaths(*folder);
    m_opened = std::move(folder);
    m_contactsNote = contactsNote;

    SettingsRecord& settings = settingsRecord();
    settings.sourceKind = kSourceAndroid;
    settings.androidDataPath = storage.folder;
    settings.androidResourcePath = withTrailingSlash(m_paths[1].toStdString());
    if (const auto failure = SaveSettings(platform::settingsFolder().toStdString())) {
        platform::desktop().message(nullptr, QString::fromStdString(*failure), QString());
    }
    rememberChoices(QStringLiteral("storage"));
    QDialog::accept();
}

void COpenWeiXinDataDlg::acceptIphoneBackup() {
    const QString caption = platform::programName();
    const std::string folder = withTrailingSlash(localPath(m_paths[2]));
    if (folder.size() > kLongestPath) {
        platform::desktop().message(this, tooLongMessage(), caption);
        return;
    }
    if (m_iphoneBackup->error.failed()) {
        platform::desktop().message(this, fromUtf8(m_iphoneBackup->error.message), caption);
        return;
    }
    ios::Secret password;
    if (m_iphoneBackup->encrypted) {
        password = m_passwordRow->password();
        if (password.empty()) {
            platform::desktop().message(
                this,
                QStringLiteral("This backup is encrypted. Please enter the password that was chosen for "
                               "the iPhone's backups."),
                caption);
            return;
        }
    }
    IphoneBackupOpening opening = openIphoneBackupWithProgress(this, folder, std::move(password));
    // Wrong password, damaged, cancelled: the dialog stays as it was, and so does the main window.
    if (!opening.folder) {
        if (opening.error.problem != ios::BackupProblem::Cancelled)
            platform::desktop().message(this, fromUtf8(opening.error.message), caption);
        return;
    }
    m_passwordRow->forget();
    setLoadPaths(*opening.folder);
    m_opened = std::move(opening.folder);
    m_contactsNote = fromUtf8(opening.note);

    SettingsRecord& settings = settingsRecord();
    settings.sourceKind = kSourceIPhone;
    settings.iphoneDataPath = folder;
    if (const auto failure = SaveSettings(platform::settingsFolder().toStdString())) {
        platform::desktop().message(nullptr, QString::fromStdString(*failure), QString());
    }
    QDialog::accept();
}

void COpenWeiXinDataDlg::acceptChatExport() {
    const QString caption = platform::programName();
    if (m_exportPath.isEmpty()) {
        platform::desktop().message(
            this,
            QStringLiteral(
                "Please choose the chat that WhatsApp exported: its .txt or .zip file, or a folder of them."),
            caption);
        return;
    }
    const std::string path = localPath(m_exportPath);
    if (!chatexport::looksLikeChatExport(path)) {
        platform::desktop().message(
            this,
            QStringLiteral("\"%1\" is no chat that WhatsApp exported. Choose the .txt or .zip file that "
                           "\"Export chat\" made, or a folder that holds such files.")
                .arg(m_exportPath),
            caption);
        return;
    }
    PhoneFolder folder;
    folder.kind = kSourceChatExport;
    folder.dataFolder = path;
    setLoadPaths(folder);
    m_opened = std::move(folder);
    // The settings file keeps the kind; the path goes into our own file, which has no length limit.
    settingsRecord().sourceKind = kSourceChatExport;
    if (const auto failure = SaveSettings(platform::settingsFolder().toStdString())) {
        platform::desktop().message(nullptr, QString::fromStdString(*failure), QString());
    }
    ChatExportMemory(platform::settingsFolder()).setLastPath(m_exportPath);
    QDialog::accept();
}

void COpenWeiXinDataDlg::rememberChoices(const QString& androidFolderKind) {
    m_choices.androidFolderKind = androidFolderKind;
    m_choices.keyFile = m_backupRows->keyFile();
    m_choices.contactsFile = m_backupRows->contactsFile();
    if (androidFolderKind == QLatin1String("storage"))
        m_choices.backupName = m_backupRows->chosenBackupName();
    // Only convenience is lost when this file cannot be written; the settings file said so already.
    OpenMemory(platform::settingsFolder()).save(m_choices);
}

void COpenWeiXinDataDlg::keyPressEvent(QKeyEvent* event) {
    // Neither key closes the dialog; only its buttons and close box do.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

}  // namespace talvio
