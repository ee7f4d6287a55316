// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// talvio: the viewer. talvio [--screenshot FILE] [FOLDER [RESOURCEFOLDER]]
#include "browser/explorer_content.h"
#include "browser/script_dispatch.h"
#include "browser/web_engine_setup.h"
#include "chatexport/attachment_files.h"
#include "media/players.h"
#include "media/spectrum_analyzer.h"
#include "shell/main_window.h"
#include "sources/contact_table.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

// Selects the newest chat, waits for it to be drawn, saves the window and ends the program.
void screenshotAndQuit(talvio::CMireloDlg& window, const QString& file) {
    QTreeWidget* list = window.contactList();
    if (list->topLevelItemCount() > 0)
        list->setCurrentItem(list->topLevelItem(0));
    QTimer::singleShot(1500, &window, [&window, file] {
        const bool saved = window.grab().save(file);
        std::fprintf(saved ? stdout : stderr,
                     saved ? "Screenshot of the window: %s\n" : "Could not save %s\n", qPrintable(file));
        QApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv) {
    // Qt WebEngine's scheme and attributes must be in place before the application object.
    talvio::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral("3.0"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Talvio shows WhatsApp chat histories copied off a phone. FOLDER is an Android \"com.whatsapp\" "
        "folder, the phone's \"WhatsApp\" folder with its backups, or an iPhone "
        "\"group.net.whatsapp.WhatsApp.shared\" folder; FOLDER may also be a chat that WhatsApp exported "
        "(its .txt or .zip, or a folder of them). RESOURCEFOLDER is where the media lie: the iPhone's "
        "\"net.whatsapp.WhatsApp\" folder, or for a \"com.whatsapp\" folder the phone's \"WhatsApp\" "
        "folder that holds Media. Without FOLDER the open dialog asks."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Show the newest chat, save the window to FILE and quit."), QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The phone folder to open."),
                                 QStringLiteral("[FOLDER"));
    parser.addPositionalArgument(QStringLiteral("RESOURCEFOLDER"),
                                 QStringLiteral("The folder with the media."),
                                 QStringLiteral("[RESOURCEFOLDER]]"));
    parser.process(app);
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 2)
        parser.showHelp(2);

    // Attachments that a run which crashed unpacked from chat exports go before anything else.
    talvio::chatexport::removeLeftoverAttachmentFolders();
    // The voice player's analyser tables are built once, before any window can need them.
    talvio::media::buildSpectrumTables();
    // The chat view starts its render process now, while the open dialog is on screen.
    talvio::CMireloDlg window(new talvio::CExplorer_content);
    talvio::restoreEnvironmentAfterWebEngineStart();
    talvio::scriptBridge().setPlayVoice([&window](const std::string& path) {
        talvio::media::PlayVoice(&window, QString::fromStdString(path));
    });
    talvio::scriptBridge().setPlayVideo([&window](const std::string& path) {
        talvio::media::PlayVideo(&window, QString::fromStdString(path));
    });
    if (!folders.isEmpty())
        window.setStartUpDialogEnabled(false);
    // A screenshot shows the window as it first comes up, whatever the last run left.
    if (!parser.isSet(screenshot))
        window.restoreWindowState();
    window.show();
    if (!parser.isSet(screenshot))
        window.startVersionCheck();
    if (!folders.isEmpty()) {
        QTimer::singleShot(0, &window, [&] {
            const bool opened = window.openFolder(folders[0], folders.value(1));
            if (parser.isSet(screenshot)) {
                if (opened) {
                    screenshotAndQuit(window, parser.value(screenshot));
                } else {
                    QApplication::exit(1);
                }
            }
        });
    }
    const int status = app.exec();
    talvio::media::releaseSpectrumTables();
    return status;
}
