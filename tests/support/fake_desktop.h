// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "platform/desktop.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

namespace talvio::test {

// A desktop that records what the program asks of it and answers as the test scripted. It installs
// itself on construction and restores the Qt desktop when destroyed.
class FakeDesktop final : public platform::Desktop {
public:
    struct Message {
        QWidget* owner = nullptr;
        QString text;
        QString caption;  // as passed: empty stays empty
        platform::Buttons buttons = platform::Buttons::Ok;
        platform::Icon icon = platform::Icon::None;
    };
    enum class PickerKind { Folder, OpenFile, SaveFile };
    struct Picker {
        PickerKind kind = PickerKind::Folder;
        QWidget* owner = nullptr;
        QString title;
        QString filter;  // empty for the folder picker
        QString start;   // the start folder, or the suggested name of a save picker
    };

    FakeDesktop();
    ~FakeDesktop() override;
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    // Scripted answers, taken from the front. Message boxes answer Ok, or No to a question, once the
    // queue is empty; pickers answer an empty text (cancelled).
    std::deque<platform::Answer> answers;
    std::deque<QString> folders;
    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;
    // openAddress answers from the queue, then openAddressResult.
    std::deque<int> openAddressResults;
    int openAddressResult = 42;
    bool openImageResult = true;
    // Called while a message box would be on screen, e.g. to look at the windows behind it.
    std::function<void(const Message&)> onMessage;

    // What happened, in order.
    std::vector<Message> messages;
    std::vector<Picker> pickers;
    QStringList openedAddresses;
    QStringList openedImages;
    int beeps = 0;
    // One line per call, e.g. "beep", "message: TEXT", "openAddress: ADDRESS", for checking order.
    QStringList log;

    QStringList messageTexts() const;

    platform::Answer message(QWidget* owner, const QString& text, const QString& caption,
                             platform::Buttons buttons, platform::Icon icon) override;
    QString pickFolder(QWidget* owner, const QString& title, const QString& start) override;
    QString pickOpenFile(QWidget* owner, const QString& title, const QString& filter,
                         const QString& start) override;
    QString pickSaveFile(QWidget* owner, const QString& title, const QString& filter,
                         const QString& suggested) override;
    int openAddress(const QString& address) override;
    bool openImage(const QString& path) override;
    void beep() override;
};

}  // namespace talvio::test
