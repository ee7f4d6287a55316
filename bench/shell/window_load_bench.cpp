// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
// A load through the window (progress dialog, list filled, pictures copied) against the load alone.
#include "bench/timing.h"
#include "platform/paths.h"
#include "shell/load_workflow.h"
#include "shell/main_window.h"
#include "sources/android_weixin.h"
#include "sources/contact_table.h"
#include "sources/phone_folder.h"
#include "sources/program_state.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

using namespace talvio;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    platform::setSettingsFolder(home.filePath(QStringLiteral("settings")));
    programState().timeZoneBias = 0;
    setLoadPaths(kSourceAndroid, TALVIO_BENCH_FOLDER, "");
    bench::printLoad();

    CMireloDlg window;
    window.setStartUpDialogEnabled(false);
    int run = 0;
    // Every run copies the pictures afresh into a folder of its own, as a first load does.
    const double throughWindow = bench::medianSeconds(5, [&] {
        platform::setUserDataFolder(home.filePath(QStringLiteral("documents-%1").arg(++run)));
        loadChosenFolder(window);
    });
    std::printf("rows in the list: %d\n", window.contactList()->topLevelItemCount());
    CAndroidWeiXin source(chosenPhoneFolder());
    const double alone = bench::medianSeconds(5, [&] { source.LoadContacts(contactTable()); });
    return bench::reportRatio("load through the window vs LoadContacts", throughWindow, alone, 1.3) ? 0 : 1;
}
