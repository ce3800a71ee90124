#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// Name filters for the file dialogs, made from what the program reads. Qt on Linux matches
// the patterns by letter case, so every suffix is offered in lower and upper case ("*.jpg
// *.JPG"); the open dialogs end with "All files" for anything named otherwise. A filter's
// name is a translated text whose own "(...)" is replaced by the patterns made here.
class FileFilters
{
    Q_DECLARE_TR_FUNCTIONS(FileFilters)

public:
    // Every suffix of every picture format the picture reader takes and Qt can decode here.
    static QStringList pictureSuffixes();
    // Containers the video import reads through FFmpeg.
    static QStringList videoSuffixes();

    // "*.png", "*.PNG", ... for the suffixes given, each once.
    static QStringList patterns(const QStringList &suffixes);
    // "Name (*.png *.PNG ...)": the name without a trailing "(...)" it carries.
    static QString filter(const QString &name, const QStringList &suffixes);
    // "All files (*)", translated.
    static QString allFiles();
    // filter(name, suffixes) and "All files", as one argument for QFileDialog.
    static QString withAllFiles(const QString &name, const QStringList &suffixes);
};
