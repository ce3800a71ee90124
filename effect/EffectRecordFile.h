#pragma once

#include "effect/EffectFileInfo.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

// Random access to the records of one effect file of either layout, as LED colour triples
// (green, red, blue, the order the round preview draws), for playing the file back without
// making playlist items. The file is refused whole unless its header is sound and its length
// is exactly what the header promises for the geometry: a damaged or foreign file would
// otherwise play as noise.
class EffectRecordFile
{
public:
    // nullptr with *error set (one line naming the file and the reason) when refused.
    static std::unique_ptr<EffectRecordFile> open(const QString &path, int ledCount,
                                                  int lineNumber, QString *error);

    const EffectFileInfo &info() const { return fileInfo; }
    int recordCount() const { return fileInfo.recordCount(); }

    // Record index (0-based, file order) as triples; empty when it cannot be read.
    QByteArray triples(int index);
    // The same in two steps, the second free of the file, so it can run on another thread.
    QByteArray record(int index);
    static QByteArray triplesOf(const QByteArray &record, const EffectFileInfo &info);

private:
    EffectRecordFile() = default;

    EffectFileInfo fileInfo;
    QFile file;
    qint64 dataOffset = 0;
    qint64 recordLength = 0;
};
