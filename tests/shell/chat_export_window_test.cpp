// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "chatexport/export_fixture.h"
#include "shell/chat_export_owner.h"
#include "shell/load_workflow.h"
#include "shell/open_dialog.h"
#include "shell/search_field.h"
#include "shell/search_panel.h"
#include "shell/search_results_model.h"
#include "sources/chat_page.h"
#include "tests/support/wait.h"
#include "window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>

namespace talvio {
namespace {

using chatexport::fixture::ExportForm;
using test::WindowTest;

constexpr std::int64_t kStart = 1647639660;  // 2022-03-18 21:41:00 on the phone's clock

// Answers the owner question as scripted and records every time it was asked.
class ScriptedQuestion final : public OwnerQuestion {
public:
    ScriptedQuestion() { setOwnerQuestion(this); }
    ~ScriptedQuestion() override { setOwnerQuestion(nullptr); }
    QString ask(QWidget*, const QString& chatName, const QStringList& candidates) override {
        asked.append(chatName);
        lastCandidates = candidates;
        return answer;
    }
    QString answer;
    QStringList asked;
    QStringList lastCandidates;
};

class ChatExportWindow : public WindowTest {
protected:
    std::string writeExport(const std::string& layoutId, ExportForm form, const std::string& into) {
        const auto* layout = chatexport::fixture::findLayout(layoutId);
        return chatexport::fixture::writeExport(
            *layout, chatexport::fixture::makeConversation(*layout, 30, kStart, 600), form, into);
    }
    void select(CMireloDlg& window, int row) {
        window.contactList()->setCurrentItem(window.contactList()->topLevelItem(row));
    }
    static std::string contactJid(int row) { return contactTable().row(row).jid; }
    int rowNamed(CMireloDlg& window, const QString& name) {
        for (int i = 0; i < window.contactList()->topLevelItemCount(); ++i)
            if (window.contactList()->topLevelItem(i)->text(0) == name)
                return i;
        return -1;
    }
    ScriptedQuestion question;
};

TEST_F(ChatExportWindow, TheDialogOpensAnExportAndKeepsItsPathInAFileOfItsOwn) {
    const std::string zip = writeExport("en-iphone-12h", ExportForm::Zip, folder.path());
    settingsRecord().iphoneDataPath = "/phone/iphone/";
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(kSourceChatExport);
    EXPECT_EQ(dialog.visibleControls(), (QList<int>{1042, 1043, 1044, 1045}));
    EXPECT_TRUE(dialog.hintLabel()->text().contains("Export chat"));

    // The File... button offers .txt and .zip files.
    desktop.openFiles.push_back(QString::fromStdString(zip));
    QPushButton* file = nullptr;
    for (auto* b : dialog.findChildren<QPushButton*>())
        if (b->text() == QLatin1String("File..."))
            file = b;
    ASSERT_NE(file, nullptr);
    file->click();
    ASSERT_EQ(desktop.pickers.size(), 1u);
    EXPECT_TRUE(desktop.pickers[0].filter.contains("*.zip"));
    EXPECT_EQ(dialog.pathEdit(1043)->text(), QString::fromStdString(zip));

    okButton(dialog)->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << desktop.messageTexts().join("\n").toStdString();
    ASSERT_TRUE(dialog.openedFolder());
    EXPECT_EQ(dialog.openedFolder()->kind, kSourceChatExport);
    EXPECT_EQ(dialog.openedFolder()->dataFolder, zip);

    // The settings file keeps the kind and its four paths as they were; the export's path is ours.
    SettingsRecord saved;
    LoadSettings(home.path() + "settings/", saved);
    EXPECT_EQ(saved.sourceKind, kSourceChatExport);
    EXPECT_EQ(saved.iphoneDataPath, "/phone/iphone/");
    EXPECT_EQ(ChatExportMemory(platform::settingsFolder()).lastPath(), QString::fromStdString(zip));
    COpenWeiXinDataDlg again(nullptr);
    EXPECT_EQ(again.kind(), kSourceChatExport);
    EXPECT_EQ(again.pathEdit(1043)->text(), QString::fromStdString(zip));
}

TEST_F(ChatExportWindow, TheDialogRefusesWhatIsNoExport) {
    test::writeFile(folder.path() + "photo.jpg", "x");
    COpenWeiXinDataDlg dialog(nullptr);
    dialog.setKind(kSourceChatExport);
    okButton(dialog)->click();
    dialog.pathEdit(1043)->setText(QString::fromStdString(folder.path() + "photo.jpg"));
    okButton(dialog)->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(desktop.messages.size(), 2u);
    EXPECT_TRUE(desktop.messages[0].text.startsWith("Please choose the chat that WhatsApp exported"));
    EXPECT_TRUE(desktop.messages[1].text.contains("is no chat that WhatsApp exported"));
}

// The question comes once per export, before its chat is first shown; the answer is remembered
// for the next load and nobody is asked again.
TEST_F(ChatExportWindow, TheOwnerIsAskedOnceAndRemembered) {
    writeExport("en-android-12h", ExportForm::Folder, folder.path());
    writeExport("de-iphone-24h", ExportForm::Zip, folder.path());
    const auto before = test::folderSnapshot(folder.path());
    question.answer = QStringLiteral("Sam Lee");
    {
        CMireloDlg window;
        loadChatExport(window, folder.path());
        ASSERT_EQ(window.contactList()->topLevelItemCount(), 3);
        const int anna = rowNamed(window, "Anna Smith");
        ASSERT_GE(anna, 0);
        // The wall-clock time of the export, whatever the zone.
        EXPECT_EQ(window.contactList()->topLevelItem(anna)->text(1), "2022-03-19 02:31:00");
        // Search reads the exports as soon as they are listed, before anyone is known as "Me".
        SearchPanel& search = *window.searchPanel();
        ASSERT_TRUE(test::waitUntil([&] { return search.runner().hasIndex(); }));
        select(window, anna);
        EXPECT_EQ(question.asked, QStringList{"Anna Smith"});
        EXPECT_EQ(question.lastCandidates, (QStringList{"Anna Smith", "+1 555 0100", "Sam Lee"}));
        EXPECT_NE(chatPageBuffer().text().find(">Me </span>"), std::string::npos);
        // The answer reaches search: the owner's messages are found as "written by me".
        search.setWho(SearchWho::Me);
        search.field()->setText(QStringLiteral("a"));
        ASSERT_TRUE(
            test::waitUntil([&] { return !search.status()->text().contains(QStringLiteral("\u2026")); }));
        ASSERT_GT(search.model()->rowCount(), 0);
        for (int i = 0; i < search.model()->rowCount(); ++i)
            EXPECT_EQ(search.model()->hit(i).jid, contactJid(anna));
        search.field()->clear();

        // The other export is asked about; a chat without an answer shows nobody as "Me".
        question.answer.clear();
        const int familie = rowNamed(window, "Familie");
        select(window, familie);
        EXPECT_EQ(question.asked.size(), 2);
        EXPECT_EQ(chatPageBuffer().text().find(">Me </span>"), std::string::npos);
        select(window, anna);
        select(window, familie);
        EXPECT_EQ(question.asked.size(), 2);
        EXPECT_TRUE(desktop.messages.empty()) << desktop.messageTexts().join("\n").toStdString();
    }
    CMireloDlg window;
    loadChatExport(window, folder.path());
    select(window, rowNamed(window, "Anna Smith"));
    EXPECT_EQ(question.asked.size(), 2);
    EXPECT_NE(chatPageBuffer().text().find(">Me </span>"), std::string::npos);
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

TEST_F(ChatExportWindow, AnExportNamedOnTheCommandLineOpensAndBadOnesAreNamed) {
    const std::string zip = writeExport("en-iphone-12h", ExportForm::Zip, folder.path());
    test::writeFile(folder.path() + "notes.txt", "no chat in here\n");
    CMireloDlg window;
    ASSERT_TRUE(window.openFolder(QString::fromStdString(folder.path()), QString()));
    EXPECT_EQ(window.contactList()->topLevelItemCount(), 2);
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_TRUE(desktop.messages[0].text.startsWith("Some exports could not be read:"));
    EXPECT_TRUE(desktop.messages[0].text.contains("notes.txt"));
    EXPECT_EQ(programState().sourceKind, kSourceChatExport);

    desktop.messages.clear();
    ASSERT_TRUE(window.openFolder(QString::fromStdString(zip), QString()));
    EXPECT_EQ(window.contactList()->topLevelItemCount(), 2);
    EXPECT_TRUE(desktop.messages.empty());
}

}  // namespace
}  // namespace talvio
