// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <string>
#include <string_view>

namespace talvio {

// The files of a phone folder that lives inside a computer backup, where no folder tree exists:
// each file is found by the path WhatsApp's database gives. The backup reader implements this;
// the sources only ask. Calls may come from more than one thread.
class BackupFiles {
public:
    virtual ~BackupFiles() = default;

    // A regular file on this computer holding the media file at localPath (ZMEDIALOCALPATH);
    // empty when the backup does not hold it. An encrypted backup decrypts it now, privately.
    virtual std::string mediaFile(std::string_view localPath) = 0;
    // The same for a profile picture path as the contact table gives it (picturePath).
    virtual std::string pictureFile(std::string_view picturePath) = 0;
    // Whether files taken out of this backup are decrypted copies, gone when the backup closes:
    // nothing may copy them anywhere lasting but an export the user asked for.
    virtual bool decrypted() const = 0;
};

}  // namespace talvio
