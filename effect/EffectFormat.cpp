#include "effect/EffectFormat.h"

#include "app/LanguageTable.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr int kMaxByte = 255;
constexpr qint64 kMaxStorableTenths = qint64(kMaxByte) * kMaxByte;
} // namespace

QByteArray EffectFormat::startMagic()
{
    return QByteArray("\x11\x22\x33\x44\x55\x66\x77", 7);
}

QByteArray EffectFormat::endMagic()
{
    return QByteArray("\x77\x66\x55\x44\x33\x22\x11\x00", 8);
}

quint8 EffectFormat::languageByte(int languageCode)
{
    return LanguageTable::fileByte(languageCode);
}

qint64 EffectFormat::tenthsOf(double seconds)
{
    if (!(seconds > 0.0)) // also catches NaN
        return 0;
    const double tenths = seconds * 10.0;
    if (tenths >= double(kMaxStorableTenths))
        return kMaxStorableTenths;
    return qRound64(tenths);
}

EffectFormat::PictureTiming EffectFormat::pictureTiming(qint64 tenths)
{
    if (tenths <= kMinPictureTimeByte)
        return {kMinPictureTimeByte, 1};
    if (tenths <= kMaxByte)
        return {int(tenths), 1};
    tenths = qMin(tenths, kMaxStorableTenths);

    // Fewest repeats first: the first exact product wins, otherwise the closest one.
    PictureTiming best{kMaxByte, kMaxByte};
    qint64 bestDiff = std::llabs(best.tenths() - tenths);
    const int firstRepeat = int((tenths + kMaxByte - 1) / kMaxByte);
    for (int repeat = firstRepeat; repeat <= kMaxByte && bestDiff > 0; ++repeat) {
        const qint64 time = qBound(qint64(kMinPictureTimeByte),
                                   (tenths + repeat / 2) / repeat, qint64(kMaxByte));
        for (qint64 t : {time - 1, time, time + 1}) {
            if (t < kMinPictureTimeByte || t > kMaxByte)
                continue;
            const qint64 diff = std::llabs(t * repeat - tenths);
            if (diff < bestDiff) {
                bestDiff = diff;
                best = {int(t), repeat};
            }
        }
    }
    return best;
}

int EffectFormat::loopByte(int loopCount)
{
    return qBound(1, loopCount, kMaxByte);
}

qint64 EffectFormat::tripleRecordLength(int ledCount, int lineNumber)
{
    return 3 * qint64(qMax(0, ledCount)) * qMax(0, lineNumber);
}
