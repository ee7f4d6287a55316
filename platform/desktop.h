// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QString>

class QWidget;

namespace talvio::platform {

enum class Buttons { Ok, YesNo };
enum class Icon { None, Information, Exclamation, Error, Question };
enum class Answer { Ok, Yes, No };

// Every step that waits for a person or hands over to the desktop goes through here, so that the
// windows can be driven by tests with scripted answers.
class Desktop {
public:
    virtual ~Desktop() = default;

    // A message box; an empty caption shows the program's name, as the platform does.
    virtual Answer message(QWidget* owner, const QString& text, const QString& caption,
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // Pickers answer an empty text when the person cancels.
    virtual QString pickFolder(QWidget* owner, const QString& title, const QString& start) = 0;
    virtual QString pickOpenFile(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& start) = 0;
    virtual QString pickSaveFile(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& suggested) = 0;
    // Opens an address (or a local file) with the desktop's default program, detached. Returns a
    // code above 32 on success; otherwise one of the classic shell failure codes (2 file not found,
    // 3 path not found, 5 access denied, 31 no associated program).
    virtual int openAddress(const QString& address) = 0;
    // Opens a picture in the desktop's image viewer, detached; false when nothing could start.
    virtual bool openImage(const QString& path) = 0;
    virtual void beep() = 0;
};

// The desktop in use: the Qt one unless a test has installed another.
Desktop& desktop();
// Installs a desktop (tests); nullptr restores the Qt one. The caller keeps ownership.
void setDesktop(Desktop* replacement);

// The base name of the program's executable, the caption of messages that name the program.
QString programName();

}  // namespace talvio::platform
