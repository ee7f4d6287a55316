// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 The Talvio developers
#include "tools/iphone_picture.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdint>

#include "tools/random.h"

namespace talvio::fixture {

namespace {

std::uint64_t seedOf(std::string_view text) {
    std::uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : text)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

}  // namespace

bool IphonePicture::available() {
    return true;
}

namespace {

QImage draw(int width, int height, std::string_view seed) {
    Random random(seedOf(seed));
    const int hue = static_cast<int>(random.below(360));

    // Raster painting of shapes needs no QGuiApplication; only text would (fonts).
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor::fromHsv(hue, 120, 250));
    sky.setColorAt(1, QColor::fromHsv((hue + 30) % 360, 60, 255));
    painter.fillRect(image.rect(), sky);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromHsv(static_cast<int>(random.below(60)), 200, 255));
    const qreal sun = height * (0.08 + random.unit() * 0.08);
    painter.drawEllipse(QPointF(width * (0.15 + random.unit() * 0.7), height * (0.15 + random.unit() * 0.2)),
                        sun, sun);

    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath hills;
        const qreal base = height * (0.55 + layer * 0.13);
        hills.moveTo(0, height);
        hills.lineTo(0, base);
        const int peaks = 3 + static_cast<int>(random.below(4));
        for (int p = 1; p <= peaks; ++p) {
            const qreal x = width * p / static_cast<qreal>(peaks);
            const qreal lift = height * (0.05 + random.unit() * 0.2);
            hills.quadTo(x - width / (2.0 * peaks), base - lift, x, base);
        }
        hills.lineTo(width, height);
        hills.closeSubpath();
        painter.setBrush(QColor::fromHsv((hue + 90 + layer * 25) % 360, 140 + layer * 30, 180 - layer * 40));
        painter.drawPath(hills);
    }
    painter.end();
    return image;
}

Failure checkSize(const std::string& what, int width, int height) {
    if (width < 8 || height < 8 || width > 4096 || height > 4096) {
        return what + ": picture size " + std::to_string(width) + "x" + std::to_string(height) +
               " is out of range";
    }
    return std::nullopt;
}

}  // namespace

Failure IphonePicture::write(const std::filesystem::path& file, int width, int height, std::string_view seed,
                             const char* format) {
    if (auto failure = checkSize(file.string(), width, height))
        return failure;
    if (!draw(width, height, seed).save(QString::fromStdString(file.string()), format, 85)) {
        return "cannot write " + file.string() + " (is Qt's " + format +
               " plugin installed? WEBP comes with qt6-image-formats-plugins)";
    }
    return std::nullopt;
}

Failure IphonePicture::encode(std::string& bytes, int width, int height, std::string_view seed) {
    if (auto failure = checkSize("preview", width, height))
        return failure;
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!draw(width, height, seed).save(&buffer, "JPG", 60))
        return std::string("cannot encode a preview JPEG (is Qt's JPEG plugin installed?)");
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return std::nullopt;
}

}  // namespace talvio::fixture
