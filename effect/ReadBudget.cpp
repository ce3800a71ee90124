#include "effect/ReadBudget.h"

#include "effect/EffectFormat.h"
#include "model/DataBitCalculation.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace {
// A 450 x 450 preview saved as PNG without alpha is at most its raw RGB rows plus a filter
// byte each; the 60 x 60 thumbnail at most its raw ARGB pixels. Deflate's overhead for
// incompressible data and the PNG chunks fit in the rounding up to whole blocks.
constexpr qint64 kBlock = 4096;
constexpr qint64 kPreviewBytes = 450 * (450 * 3 + 1);
constexpr qint64 kThumbnailBytes = 60 * 60 * 4;

qint64 roundUpToBlock(qint64 bytes)
{
    return (bytes + kBlock) / kBlock * kBlock;
}
} // namespace

qint64 ReadBudget::bytesPerItem(int ledCount, int lineNumber)
{
    return DataBitCalculation::ledDataLength(ledCount, lineNumber) + roundUpToBlock(kPreviewBytes)
           + roundUpToBlock(kThumbnailBytes);
}

qint64 ReadBudget::bytesNeeded(int ledCount, int lineNumber) const
{
    qint64 items = pictures;
    for (int frames : clipFrames)
        items += frames;
    return items * bytesPerItem(ledCount, lineNumber);
}

QString ReadBudget::refusal(int ledCount, int lineNumber, qint64 available) const
{
    qint64 allFrames = 0;
    for (int i = 0; i < clipFrames.size(); ++i) {
        if (clipFrames[i] > EffectFormat::kMaxClipFrames)
            return QStringLiteral("clip %1 claims %2 frames, more than the %3 a clip may hold")
                .arg(i + 1).arg(clipFrames[i]).arg(EffectFormat::kMaxClipFrames);
        allFrames += clipFrames[i];
    }
    if (allFrames > EffectFormat::kMaxReadClipFrames)
        return QStringLiteral("the clips claim %1 frames in all, more than the %2 one read makes")
            .arg(allFrames).arg(EffectFormat::kMaxReadClipFrames);
    const qint64 needed = bytesNeeded(ledCount, lineNumber);
    if (available >= 0 && needed > available)
        return QStringLiteral("not enough space in the work directory: reading needs up to %1 "
                              "bytes, %2 available")
            .arg(needed).arg(available);
    return {};
}

qint64 ReadBudget::bytesAvailable(const QString &directory)
{
    QFileInfo info(directory);
    while (!info.isDir()) {
        const QString parent = info.path();
        if (parent == info.filePath())
            return -1;
        info = QFileInfo(parent);
    }
    const QStorageInfo storage(info.absoluteFilePath());
    return storage.isValid() ? storage.bytesAvailable() : -1;
}
