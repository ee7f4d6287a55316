// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include <QImage>

#include <gtest/gtest.h>

#include <array>

#include "media/spectrum_view.h"
#include "platform/dialog_units.h"
#include "ui_test_support.h"

namespace talvio::media {
namespace {

QRgb expectedPixel(const SpectrumBars& bars, int x, int y) {
    for (const SpectrumBar& bar : bars) {
        if (x >= bar.left && x < bar.right && y >= bar.top && y < bar.bottom) {
            return qRgb(bar.red, bar.green, bar.blue);
        }
    }
    return qRgb(0, 0, 0);
}

// What is on screen is what the bar geometry says, pixel for pixel: each bar in its colour,
// black everywhere else, and a later quiet block wipes the earlier bars.
TEST(SpectrumView, PaintsEachBarInItsColourOverBlack) {
    SpectrumView view;
    view.resize(dluSize(213, 48));
    const SoundRecord tone = test::toneSound(0.5, 16000);
    std::array<std::uint8_t, kBlockBytes> block{};
    std::copy_n(tone.samples.begin(), kBlockBytes, block.begin());

    for (int round = 0; round < 2; ++round) {
        view.showBlock(block);
        const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(image.size(), view.size());
        int wrong = 0;
        int coloured = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb want = expectedPixel(view.bars(), x, y);
                wrong += (image.pixel(x, y) & 0xFFFFFF) != (want & 0xFFFFFF);
                coloured += want != qRgb(0, 0, 0);
            }
        }
        EXPECT_EQ(wrong, 0) << "round " << round;
        if (round == 0) {
            EXPECT_GT(coloured, 0) << "a loud block drew no bars";
        }
        block.fill(0);
    }
}

}  // namespace
}  // namespace talvio::media
