// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "load_workflow.h"

#include "chatexport/chat_export_source.h"
#include "export/export_dialog.h"
#include "platform/desktop.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "recover/recover_dialog.h"
#include "shell/chat_export_owner.h"
#include "shell/main_window.h"
#include "shell/open_dialog.h"
#include "shell/progress_dialog.h"
#include "shell/settings_file.h"
#include "sources/contact_table.h"
#include "sources/file_names.h"
#include "sources/folder_boundary.h"
#include "sources/iphone_backup_opening.h"
#include "sources/message_time.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"
#include "sources/storage_opening.h"
#include "sources/whatsapp_storage.h"

#include <QFileInfo>
#include <QTreeWidget>

#include <memory>

namespace talvio {
namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The open dialog, then the load of what it opened; `androidFolder`, when given, is put in its data
// path first. Whether a folder was loaded.
bool runOpenDialog(CMireloDlg& window, const QString* androidFolder, const QString* iphoneBackup = nullptr) {
    COpenWeiXinDataDlg dialog(&window);
    if (androidFolder != nullptr)
        dialog.prefillAndroidFolder(*androidFolder);
    if (iphoneBackup != nullptr)
        dialog.prefillIphoneFolder(*iphoneBackup);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (!dialog.openedFolder()) {
        loadChosenFolder(window);
        return true;
    }
    loadPhoneFolder(window, *dialog.openedFolder());
    if (!dialog.contactsNote().isEmpty())
        platform::desktop().message(&window, dialog.contactsNote(), QString());
    return true;
}

// After exports were read: their remembered owners, and a word about every export that could not
// be read.
void finishChatExportLoad(CMireloDlg& window, chatexport::ChatExportSource& source) {
    applyRememberedOwners(source, ChatExportMemory(platform::settingsFolder()));
    if (source.problems().empty())
        return;
    QString text = source.chats().empty() ? QStringLiteral("No exported chat could be read.")
                                          : QStringLiteral("Some exports could not be read:");
    for (const std::string& problem : source.problems())
        text += QStringLiteral("\n") + fromUtf8(problem);
    platform::desktop().message(&window, text, platform::programName(), platform::Buttons::Ok,
                                platform::Icon::Exclamation);
}

}  // namespace

void loadSettingsAtStartUp() {
    // What an earlier run that crashed decrypted from an iPhone backup goes now.
    sweepLeftoverBackupFolders();
    LoadSettings(platform::settingsFolder().toStdString());
}

void runLoadWorkflow(CMireloDlg& window) {
    runOpenDialog(window, nullptr);
}

bool loadFolderDirectly(CMireloDlg& window, const QString& folder, const QString& resourceFolder) {
    const std::string data = folder.toStdString();
    const int kind = detectSourceKind(data);
    // An iPhone backup may need its password, asked for in the open dialog.
    if (kind == kSourceNone && looksLikeIphoneBackup(data))
        return runOpenDialog(window, nullptr, &folder);
    if (kind == kSourceNone) {
        if (const std::optional<WhatsAppStorage> storage = findWhatsAppStorage(data)) {
            // A folder another tool decrypted opens at once; backups need their key, asked for in
            // the open dialog.
            if (!storage->plainMessageDb.empty()) {
                loadPhoneFolder(window, plainStorageFolder(*storage, standardTimeZoneBias()));
                return true;
            }
            if (!storage->backups.empty())
                return runOpenDialog(window, &folder);
        }
        if (chatexport::looksLikeChatExport(data)) {
            loadChatExport(window, data);
            return true;
        }
        platform::desktop().message(
            &window,
            QStringLiteral("\"%1\" is not a WhatsApp folder. Choose the \"com.whatsapp\" "
                           "folder of an Android phone, the phone's WhatsApp folder with its "
                           "Databases folder, the "
                           "\"group.net.whatsapp.WhatsApp.shared\" folder or the computer backup of an "
                           "iPhone, or a chat "
                           "that WhatsApp exported (its .txt or .zip).")
                .arg(folder),
            platform::programName(), platform::Buttons::Ok, platform::Icon::Exclamation);
        return false;
    }
    setLoadPaths(kind, data, resourceFolder.toStdString());
    loadChosenFolder(window);
    return true;
}

void loadChatExport(CMireloDlg& window, const std::string& path) {
    PhoneFolder folder;
    folder.kind = kSourceChatExport;
    folder.dataFolder = path;
    loadPhoneFolder(window, std::move(folder));
}

void loadChosenFolder(CMireloDlg& window) {
    loadPhoneFolder(window, chosenPhoneFolder());
}

void loadPhoneFolder(CMireloDlg& window, PhoneFolder folder) {
    setLoadPaths(folder);
    ProgramState& state = programState();
    CChatSoftware& source = window.chooseSource(state.sourceKind);
    // The Android message database is read alone, without its write-ahead log: it is opened
    // immutable, so nothing beside it needs moving and the phone folder stays as it was.
    if (state.sourceKind == kSourceIPhone && state.resourceFolder.empty()) {
        platform::desktop().message(&window,
                                    QStringLiteral("Because you didn't set resource path, so you can't see "
                                                   "the images and play voice and video."),
                                    QString());
    }
    contactTable().destroy();
    state.progressPercent = 0;
    auto progress = std::make_unique<CDlgProgress>(&window);
    state.progressWindow = progress.get();
    progress->setWindowTitle(QStringLiteral("Reading database file..."));
    progress->show();
    progress->move(window.geometry().center() - progress->rect().center());
    source.setFolder(std::move(folder));
    source.LoadContacts(contactTable());
    // A cancelled load leaves no half-read list behind.
    if (progress->cancelled())
        contactTable().destroy();
    PopulateContactList(window, source);
    state.progressWindow = nullptr;
    progress.reset();
    if (auto* exports = dynamic_cast<chatexport::ChatExportSource*>(&source))
        finishChatExportLoad(window, *exports);
    emit window.contactsLoaded();
}

QString profilePictureCopyPath(const QString& userDataFolder, const std::string& jid) {
    return userDataFolder + QStringLiteral("images/") + fromUtf8(safeFileName(jid)) + QStringLiteral(".jpg");
}

void PopulateContactList(CMireloDlg& window, const CChatSoftware& source) {
    QTreeWidget* list = window.contactList();
    const QSignalBlocker quiet(list->selectionModel());
    list->clear();
    const ContactTable& table = contactTable();
    ProgramState& state = programState();
    const MessageTimeFormatter times(state.sourceKind, standardTimeZoneBias());
    const QString userData = platform::userDataFolder();
    // Made at start-up too; made again in case it was removed while the program ran.
    if (table.count() > 0)
        EnsureDirectory(userData.toStdString() + "images");
    const int count = table.count();
    // Picture paths come from the databases: only files inside the phone folder are copied.
    const FolderBoundary phoneFolder(state.dataFolder);
    QList<QTreeWidgetItem*> items;
    items.reserve(count);
    for (int i = 0; i < count; ++i) {
        const ContactEntry& entry = table.row(i);
        auto* item = new QTreeWidgetItem;
        item->setText(0, fromUtf8(entry.displayName.empty() ? entry.jid : entry.displayName));
        item->setText(1, fromUtf8(times.format(entry.lastMessageTime)));
        item->setText(2, QString::number(entry.messageCount));
        items.append(item);
        // A backup's pictures are found through it when a contact is shown (see ShowContact).
        if (!entry.picturePath.empty() && !source.folder().backupFiles) {
            const std::string picture = state.dataFolder + entry.picturePath;
            if (phoneFolder.holdsFile(picture))
                platform::copyFileIfMissing(picture,
                                            profilePictureCopyPath(userData, entry.jid).toStdString());
        }
        if (i % 50 == 25) {
            reportPercent(source.listFillUpperHalf() ? static_cast<double>(i) / count * 50 + 50
                                                     : static_cast<double>(i) / count * 100);
        }
    }
    list->addTopLevelItems(items);
    state.currentContactIndex = -1;
    window.showNoContact();
}

void runExportCommand(CMireloDlg& window) {
    runExportDialog(&window, window.currentSource());
}

void runRecoverCommand(CMireloDlg& window) {
    recover::runRecoverTool(&window);
}

}  // namespace talvio
