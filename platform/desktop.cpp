// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>

namespace talvio::platform {
namespace {

// Any code above 32 means "opened"; the shell's own success values carry no further meaning.
constexpr int kOpened = 42;
constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;
constexpr int kNoAssociation = 31;

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The program's texts break lines the Windows way, some with a lone carriage return; a Qt label
// breaks only at line feeds.
QString shownText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// A file: address, or one without a scheme (a path, taken relative to the working folder as the
// shell does), as a local path; empty for every other address.
QString localPathOf(const QString& address) {
    if (address.startsWith(QLatin1Char('/')))
        return address;
    const QUrl url(address);
    if (url.isLocalFile())
        return url.toLocalFile();
    return url.scheme().isEmpty() ? address : QString();
}

// What the shell would answer for a local file it cannot open; 0 when it looks openable.
int localFailure(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return QFileInfo(file.absolutePath()).isDir() ? kFileNotFound : kPathNotFound;
    return file.isReadable() ? 0 : kAccessDenied;
}

// QDesktopServices first; xdg-open directly when that fails, as on a desktop without a portal or
// platform integration. Both start the opener detached.
bool openWithDesktop(const QUrl& url, const QString& argument) {
    if (QDesktopServices::openUrl(url))
        return true;
    return QProcess::startDetached(QStringLiteral("xdg-open"), {argument});
}

class QtDesktop final : public Desktop {
public:
    Answer message(QWidget* owner, const QString& text, const QString& caption, Buttons buttons,
                   Icon icon) override {
        QMessageBox box(boxIcon(icon), caption.isEmpty() ? programName() : caption, shownText(text),
                        buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                        owner);
        box.setTextFormat(Qt::PlainText);
        const int chosen = box.exec();
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        // The close box and Escape answer No: the question has no Cancel.
        return chosen == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }

    QString pickFolder(QWidget* owner, const QString& title, const QString& start) override {
        return QFileDialog::getExistingDirectory(owner, title, start, QFileDialog::ShowDirsOnly);
    }

    QString pickOpenFile(QWidget* owner, const QString& title, const QString& filter,
                         const QString& start) override {
        return QFileDialog::getOpenFileName(owner, title, start, filter);
    }

    QString pickSaveFile(QWidget* owner, const QString& title, const QString& filter,
                         const QString& suggested) override {
        return QFileDialog::getSaveFileName(owner, title, suggested, filter);
    }

    int openAddress(const QString& address) override {
        if (address.trimmed().isEmpty())
            return kFileNotFound;
        const QString path = localPathOf(address);
        if (!path.isEmpty()) {
            if (const int failure = localFailure(path))
                return failure;
            return openWithDesktop(QUrl::fromLocalFile(path), path) ? kOpened : kNoAssociation;
        }
        const QUrl url(address);
        if (!url.isValid())
            return kFileNotFound;
        return openWithDesktop(url, address) ? kOpened : kNoAssociation;
    }

    bool openImage(const QString& path) override {
        if (!QFileInfo(path).isFile())
            return false;
        return openWithDesktop(QUrl::fromLocalFile(path), path);
    }

    void beep() override { QApplication::beep(); }
};

Desktop*& installedDesktop() {
    static Desktop* replacement = nullptr;
    return replacement;
}

}  // namespace

Desktop& desktop() {
    static QtDesktop qtDesktop;
    Desktop* replacement = installedDesktop();
    return replacement != nullptr ? *replacement : qtDesktop;
}

void setDesktop(Desktop* replacement) {
    installedDesktop() = replacement;
}

QString programName() {
    // Qt knows the executable once the application object exists; before that the kernel does.
    const QString path = QCoreApplication::instance() != nullptr
                             ? QCoreApplication::applicationFilePath()
                             : QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? QStringLiteral("talvio") : name;
}

}  // namespace talvio::platform
