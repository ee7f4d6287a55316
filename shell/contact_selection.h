// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

namespace talvio {

class CChatSoftware;
class CMireloDlg;

// Makes the row the current contact, renders its chat, shows its picture and details.
void ShowContact(CMireloDlg& window, CChatSoftware& source, int row);
// Opens the current contact's picture in the desktop's image viewer, or says "No Image!".
void PictureClick(CMireloDlg& window);

}  // namespace talvio
