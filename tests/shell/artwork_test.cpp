// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "shell/artwork.h"

#include <QImage>

#include <gtest/gtest.h>

namespace talvio {
namespace {

// Whether a picture shows anything: more than one colour in it.
bool hasContent(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != first)
                return true;
        }
    }
    return false;
}

TEST(Artwork, DefaultPictureAndIconHaveContent) {
    const QPixmap picture = defaultPicture();
    EXPECT_EQ(picture.size(), QSize(96, 96));
    EXPECT_TRUE(hasContent(picture.toImage()));
    const QIcon icon = applicationIcon();
    for (const int size : {16, 48, 256}) {
        const QPixmap shown = icon.pixmap(size, size);
        EXPECT_EQ(shown.size(), QSize(size, size)) << size;
        EXPECT_TRUE(hasContent(shown.toImage())) << size;
    }
}

}  // namespace
}  // namespace talvio
