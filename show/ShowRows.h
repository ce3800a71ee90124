#pragma once

#include "model/ClipOrigin.h"
#include "model/SamplingMode.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>

#include <memory>

class ShowDatabase;

// A show file's rows as read, every value checked against its range and every piece an item
// names known to be stored, before anything is made of them. The pieces themselves are not
// read here: their sizes and hashes are, so that a damaged or cut file is refused whole.
class ShowRows final
{
public:
    // SQLite's own limit on one value.
    static constexpr qint64 MaxSourceBytes = 1000 * 1000 * 1000;

    // The pieces one item refers to, by id; 0 for none.
    struct Pieces
    {
        qint64 source = 0;
        qint64 thumbnail = 0;
        qint64 led = 0;
        qint64 preview = 0;
    };

    struct Blob
    {
        qint64 size = 0;    // as its record says
        qint64 length = 0;  // as stored
        QByteArray hash;
    };

    struct Item
    {
        int kind = 0;
        int number = 0;
        double displayTime = 0.0;
        double frameTime = 0.0;
        double contrast = 1.0;
        SamplingMode sampling = SamplingMode::Sharp;
        QRect square;
        QString suffix;
        Pieces ids;
        QString label;
        // The transition after a picture, as the JSON its description writes; empty for none.
        QString transition;
    };

    struct Clip
    {
        qint64 id = 0;
        int number = 0;
        int loopCount = 1;
        int frameTenths = 1;
        bool isGif = false;
        ClipOrigin origin;
        QList<Item> frames;
        QString transition;
    };

    // Opens the file and reads every row, checking each; the reason when refused. On success
    // *opened holds the connection inside a read transaction, for reading the pieces.
    static QString read(const QString &path, std::unique_ptr<ShowDatabase> *opened,
                        ShowRows *rows);

    // How a refusal and a trace line name an item.
    static QString label(int clipIndex, int position);
    static QString damaged(const QString &what);

    int version = 0;
    int ledCount = 0;
    int lineNumber = 0;
    int languageCode = 0;
    SamplingMode sampling = SamplingMode::Sharp;
    QString savedAt;
    QList<Item> pictures;
    QList<Clip> clips;
    QHash<qint64, Blob> blobs;
};
