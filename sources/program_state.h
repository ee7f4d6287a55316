// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include "sources/phone_folder.h"

#include <optional>
#include <string>

namespace talvio {

// The open progress dialog, as the loaders see it: ReportProgress asks it to refresh from
// ProgressPercent before returning.
class ProgressTarget {
public:
    virtual ~ProgressTarget() = default;
    virtual void onProgress() = 0;
    // Asked again and again while a query of the load runs, however long one takes: the dialog
    // can answer its window meanwhile. False stops the load's queries (the user cancelled, or it
    // went too long without progress), and goes on being false for the rest of the load.
    virtual bool stillWanted() { return true; }
};

// Values that the parts of the program hand to one another. One instance, reached through
// programState(), so that tests can reset it.
struct ProgramState {
    int sourceKind = kSourceNone;
    std::string messageDbPath;
    std::string contactDbPath;
    std::string dataFolder;      // ends in '/' once set
    std::string resourceFolder;  // ends in '/' unless empty
    // Set while media decrypted from a backup are shown: where what is made of them (a voice note
    // decoded for playing) must go instead of the cache, so that it goes with them.
    std::string privateMediaFolder;
    int currentContactIndex = -1;
    std::string currentContactName;
    bool exportMode = false;
    std::string exportFolder;  // without a trailing '/'
    int progressPercent = 0;
    ProgressTarget* progressWindow = nullptr;
    // Minutes west of UTC of local standard time (UTC = local + bias). Unset: the C library's.
    std::optional<int> timeZoneBias;
};

ProgramState& programState();
void resetProgramState();

// Refreshes the progress dialog, if one is open, from ProgressPercent.
void ReportProgress();
// Sets ProgressPercent to the value truncated toward zero and reports it, if a dialog is open.
void reportPercent(double percent);
// Whether a query of the load may go on: true unless the open progress dialog says otherwise.
bool loadStillWanted();

}  // namespace talvio
