// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/profile_picture.h"

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QString>

#include <cstdint>

namespace talvio::fixture {

namespace {

std::uint32_t fnv1a(std::string_view text) {
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

}  // namespace

bool ProfilePicture::available() {
    return true;
}

Failure ProfilePicture::write(const std::filesystem::path& file, std::string_view seed) {
    const std::uint32_t hash = fnv1a(seed);
    const int hue = static_cast<int>(hash % 360);
    const int accent = static_cast<int>((hash >> 9) % 360);
    const qreal shift = static_cast<qreal>((hash >> 18) % 32) / 100.0;

    // Raster painting of shapes needs no QGuiApplication; only text would (fonts).
    QImage image(kSize, kSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, kSize, kSize);
    background.setColorAt(0, QColor::fromHsv(hue, 160, 230));
    background.setColorAt(1, QColor::fromHsv((hue + 60) % 360, 200, 120));
    painter.fillRect(image.rect(), background);

    QRadialGradient face(kSize * (0.45 + shift / 4), kSize * 0.35, kSize * 0.25);
    face.setColorAt(0, QColor::fromHsv(accent, 40, 255));
    face.setColorAt(1, QColor::fromHsv(accent, 120, 200));
    painter.setPen(Qt::NoPen);
    painter.setBrush(face);
    painter.drawEllipse(QPointF(kSize * 0.5, kSize * 0.38), kSize * 0.2, kSize * 0.22);
    painter.setBrush(QColor::fromHsv(accent, 150, 170));
    painter.drawEllipse(QPointF(kSize * 0.5, kSize * (1.05 - shift / 4)), kSize * 0.38, kSize * 0.36);
    painter.end();

    if (!image.save(QString::fromStdString(file.string()), "JPG", 85)) {
        return "cannot write " + file.string() + " (is Qt's JPEG plugin installed?)";
    }
    return std::nullopt;
}

}  // namespace talvio::fixture
