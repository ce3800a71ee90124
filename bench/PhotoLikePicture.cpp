#include "PhotoLikePicture.h"

#include <QRandomGenerator>

QImage photoLikePicture(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int noise = int(random.bounded(24));
            line[x] = qRgb((x / 16 + noise) % 256, (y / 12 + noise) % 256, ((x + y) / 28) % 256);
        }
    }
    return image;
}
