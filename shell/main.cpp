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
#include <QCoreApplication>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <optional>

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

// The command line, read before any window: --help, --version and a wrong command line are
// answered without a display.
struct CommandLine {
    QStringList folders;
    QString screenshot;
};

void describe(QCommandLineParser& parser) {
    parser.setApplicationDescription(QStringLiteral(
        "Talvio shows WhatsApp chat histories copied off a phone. FOLDER is an Android \"com.whatsapp\" "
        "folder, the phone's \"WhatsApp\" folder with its backups, an iPhone computer backup (made by "
        "Finder, iTunes or idevicebackup2), or an iPhone \"group.net.whatsapp.WhatsApp.shared\" folder; "
        "FOLDER may also be a chat that WhatsApp exported "
        "(its .txt or .zip, or a folder of them). RESOURCEFOLDER is where the media lie: the iPhone's "
        "\"net.whatsapp.WhatsApp\" folder, or for a \"com.whatsapp\" folder the phone's \"WhatsApp\" "
        "folder that holds Media. Without FOLDER the open dialog asks."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("screenshot"),
        QStringLiteral("Show the newest chat, save the window to FILE and quit."), QStringLiteral("FILE")));
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("The phone folder to open."),
                                 QStringLiteral("[FOLDER"));
    parser.addPositionalArgument(QStringLiteral("RESOURCEFOLDER"),
                                 QStringLiteral("The folder with the media."),
                                 QStringLiteral("[RESOURCEFOLDER]]"));
}

// Reads the command line; returns an exit status when the program ends here: 0 after --help or
// --version, 2 after a wrong command line.
std::optional<int> readCommandLine(int argc, char** argv, CommandLine& out) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("talvio"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALVIO_VERSION));
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "talvio: %s\nTry 'talvio --help'.\n", qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("talvio %s\n", TALVIO_VERSION);
        return 0;
    }
    out.folders = parser.positionalArguments();
    out.screenshot = parser.value(QStringLiteral("screenshot"));
    if (out.folders.size() > 2) {
        std::fprintf(stderr, "talvio: at most FOLDER and RESOURCEFOLDER are taken.\nTry 'talvio --help'.\n");
        return 2;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine commandLine;
    if (const std::optional<int> status = readCommandLine(argc, argv, commandLine))
        return *status;
    const QStringList& folders = commandLine.folders;
    const bool screenshot = !commandLine.screenshot.isEmpty();
    // Qt WebEngine's scheme and attributes must be in place before the application object.
    talvio::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(TALVIO_VERSION));

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
    if (!screenshot)
        window.restoreWindowState();
    window.show();
    if (!screenshot)
        window.startVersionCheck();
    if (!folders.isEmpty()) {
        QTimer::singleShot(0, &window, [&] {
            const bool opened = window.openFolder(folders[0], folders.value(1));
            if (screenshot) {
                if (opened) {
                    screenshotAndQuit(window, commandLine.screenshot);
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
