// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "program_state.h"

namespace talvio {

ProgramState& programState() {
    static ProgramState state;
    return state;
}

void resetProgramState() {
    programState() = ProgramState{};
}

void ReportProgress() {
    if (ProgressTarget* target = programState().progressWindow)
        target->onProgress();
}

void reportPercent(double percent) {
    ProgramState& state = programState();
    if (state.progressWindow == nullptr)
        return;
    state.progressPercent = static_cast<int>(percent);
    ReportProgress();
}

bool loadStillWanted() {
    ProgressTarget* target = programState().progressWindow;
    return target == nullptr || target->stillWanted();
}

}  // namespace talvio
