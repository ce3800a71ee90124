#include "effect/EffectRecordFile.h"

#include "effect/EffectFormat.h"
#include "effect/LedDataCodec.h"
#include "model/DataBitCalculation.h"

std::unique_ptr<EffectRecordFile> EffectRecordFile::open(const QString &path, int ledCount,
                                                         int lineNumber, QString *error)
{
    auto info = EffectFileInfo::inspect(path, ledCount, lineNumber, error);
    if (!info)
        return nullptr;
    if (!info->lengthAgrees()) {
        if (error)
            *error = QStringLiteral("%1: damaged or of another geometry: %2 bytes where %3 "
                                    "records of %4 LEDs x %5 lines take %6")
                         .arg(path)
                         .arg(info->fileSize)
                         .arg(info->recordCount())
                         .arg(ledCount)
                         .arg(lineNumber)
                         .arg(info->expectedSize);
        return nullptr;
    }
    std::unique_ptr<EffectRecordFile> records(new EffectRecordFile);
    records->fileInfo = *info;
    records->file.setFileName(path);
    if (!records->file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1: %2").arg(path, records->file.errorString());
        return nullptr;
    }
    const bool indexed = info->layout == EffectFileInfo::Layout::Indexed;
    records->dataOffset = indexed ? EffectFormat::kHeaderSize : EffectFormat::kSlottedHeaderSize;
    records->recordLength = indexed ? DataBitCalculation::ledDataLength(ledCount, lineNumber)
                                    : EffectFormat::tripleRecordLength(ledCount, lineNumber);
    return records;
}

QByteArray EffectRecordFile::record(int index)
{
    if (index < 0 || index >= recordCount()
        || !file.seek(dataOffset + qint64(index) * recordLength))
        return {};
    const QByteArray bytes = file.read(recordLength);
    return bytes.size() == recordLength ? bytes : QByteArray();
}

QByteArray EffectRecordFile::triplesOf(const QByteArray &record, const EffectFileInfo &info)
{
    if (info.layout == EffectFileInfo::Layout::Slotted || record.isEmpty())
        return record;
    return LedDataCodec::decodeToSlottedTriples(record, info.ledCount, info.lineNumber);
}

QByteArray EffectRecordFile::triples(int index)
{
    return triplesOf(record(index), fileInfo);
}
