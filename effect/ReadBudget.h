#pragma once

#include <QList>
#include <QString>

// What reading an effect will cost before any item is made. Every picture and clip frame read
// becomes an item that keeps its LED data, round preview and thumbnail in the work directory,
// so a header that claims tens of thousands of frames would fill the disk for many minutes.
// A read is refused when a clip is longer than the writer accepts, when all clips together
// hold more frames than one read makes, or when the items' files would not fit the free
// space of the work directory.
class ReadBudget
{
public:
    int pictures = 0;      // picture items the read makes
    QList<int> clipFrames; // frame items of each clip the read makes

    // Bytes one read-back item keeps on disk at most for the geometry.
    static qint64 bytesPerItem(int ledCount, int lineNumber);
    qint64 bytesNeeded(int ledCount, int lineNumber) const;

    // Empty when the read may go ahead, else why not. available < 0 means unknown and
    // skips the space check.
    QString refusal(int ledCount, int lineNumber, qint64 available) const;

    // Free bytes of the file system that holds directory, or of its nearest existing parent
    // when it is not made yet; -1 when unknown.
    static qint64 bytesAvailable(const QString &directory);
};
