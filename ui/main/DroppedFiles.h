#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// What a file dropped or pasted onto the window is. The content decides where it can:
// a show is an SQLite database with the show's id, a picture or a GIF is what the picture
// reader recognises, an effect file is one whose length fits a known display geometry.
// The name decides the rest: a video container (only the video module reads those, on
// first use), a show or an effect file that is damaged or made for another geometry (its
// open or read then says why). Widget-free, so that tests feed it paths.
class DroppedFiles
{
public:
    enum Kind { Picture, Gif, Video, Effect, Show, Unsupported };

    static Kind classify(const QString &path);

    // The local files data names, in its order; every other address (a web page, a file of
    // another machine) goes to *others as shown to the user.
    static QStringList localFiles(const QMimeData &data, QStringList *others = nullptr);
    // True when data names files or addresses (a drop or a copy of files).
    static bool carriesUrls(const QMimeData *data);

private:
    // The file's length fits its header for the current, the factory or the default geometry.
    static bool fitsAnEffectGeometry(const QString &path);
};
