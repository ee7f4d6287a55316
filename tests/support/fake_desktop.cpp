// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "fake_desktop.h"

namespace talvio::test {
namespace {

template <typename T>
T takeFront(std::deque<T>& queue, T otherwise) {
    if (queue.empty())
        return otherwise;
    T front = std::move(queue.front());
    queue.pop_front();
    return front;
}

}  // namespace

FakeDesktop::FakeDesktop() {
    platform::setDesktop(this);
}

FakeDesktop::~FakeDesktop() {
    platform::setDesktop(nullptr);
}

QStringList FakeDesktop::messageTexts() const {
    QStringList texts;
    for (const Message& shown : messages)
        texts.append(shown.text);
    return texts;
}

platform::Answer FakeDesktop::message(QWidget* owner, const QString& text, const QString& caption,
                                      platform::Buttons buttons, platform::Icon icon) {
    messages.push_back({owner, text, caption, buttons, icon});
    log.append(QStringLiteral("message: ") + text);
    if (onMessage)
        onMessage(messages.back());
    const platform::Answer otherwise =
        buttons == platform::Buttons::Ok ? platform::Answer::Ok : platform::Answer::No;
    return takeFront(answers, otherwise);
}

QString FakeDesktop::pickFolder(QWidget* owner, const QString& title, const QString& start) {
    pickers.push_back({PickerKind::Folder, owner, title, QString(), start});
    log.append(QStringLiteral("pickFolder: ") + start);
    return takeFront(folders, QString());
}

QString FakeDesktop::pickOpenFile(QWidget* owner, const QString& title, const QString& filter,
                                  const QString& start) {
    pickers.push_back({PickerKind::OpenFile, owner, title, filter, start});
    log.append(QStringLiteral("pickOpenFile: ") + start);
    return takeFront(openFiles, QString());
}

QString FakeDesktop::pickSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                  const QString& suggested) {
    pickers.push_back({PickerKind::SaveFile, owner, title, filter, suggested});
    log.append(QStringLiteral("pickSaveFile: ") + suggested);
    return takeFront(saveFiles, QString());
}

int FakeDesktop::openAddress(const QString& address) {
    openedAddresses.append(address);
    log.append(QStringLiteral("openAddress: ") + address);
    return takeFront(openAddressResults, openAddressResult);
}

bool FakeDesktop::openImage(const QString& path) {
    openedImages.append(path);
    log.append(QStringLiteral("openImage: ") + path);
    return openImageResult;
}

void FakeDesktop::beep() {
    ++beeps;
    log.append(QStringLiteral("beep"));
}

}  // namespace talvio::test
