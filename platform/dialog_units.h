// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#pragma once

#include <QRect>
#include <QSize>

namespace talvio {

// Dialog units of an 8 pt Tahoma-like font at 96 dpi: a horizontal unit is a quarter of the
// average character width (6 px), a vertical one an eighth of the character height (13 px).
constexpr int dluX(int units) {
    return units * 6 / 4;
}
constexpr int dluY(int units) {
    return units * 13 / 8;
}
inline QSize dluSize(int w, int h) {
    return {dluX(w), dluY(h)};
}
inline QRect dluRect(int x, int y, int w, int h) {
    return {dluX(x), dluY(y), dluX(w), dluY(h)};
}

}  // namespace talvio
