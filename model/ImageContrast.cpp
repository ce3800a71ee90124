#include "model/ImageContrast.h"

#include "model/ImageObject.h"
#include "model/ModelLog.h"
#include "model/ReadImageThread.h"
#include "model/RoundSquare.h"

#include <QDebug>

#include <array>
#include <cmath>

namespace {

// One channel byte times factor for every possible byte.
std::array<uchar, 256> scaleTable(float factor)
{
    std::array<uchar, 256> table{};
    for (int c = 0; c < 256; ++c) {
        const float scaled = std::nearbyint(float(c) * factor);
        table[c] = uchar(qBound(0.0f, scaled, 255.0f));
    }
    return table;
}

} // namespace

QImage ImageContrast::scaled(const QImage &source, float factor)
{
    if (source.isNull())
        return {};
    QImage result = source.convertToFormat(QImage::Format_ARGB32);
    const std::array<uchar, 256> table = scaleTable(factor);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const QRgb pixel = line[x];
            line[x] = qRgba(table[qRed(pixel)], table[qGreen(pixel)], table[qBlue(pixel)],
                            qAlpha(pixel));
        }
    }
    return result;
}

bool ImageContrast::apply(const ContrastChange &change)
{
    const float factor = float(change.value) / 10.0f;
    qCDebug(lcModel) << "UpdateImageContract::addImageContract " << factor;
    if (!change.item || change.source.isNull()) {
        qCDebug(lcModel, "UpdateImageContract::addImageContract imageMat is NULL.");
        return false;
    }
    const QImage picture = scaled(change.source, factor);
    change.item->saveThumbnail(RoundSquare::thumbnailOf(RoundSquare::sampledSquare(picture)));
    change.item->ledData.clear();
    convertPicture(picture, change.item);
    return true;
}
