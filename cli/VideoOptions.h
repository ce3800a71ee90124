#pragma once

#include "model/SamplingMode.h"

#include <QCommandLineOption>
#include <QPoint>
#include <QString>

class MediaObject;
class QCommandLineParser;

// The build command's video options: --start and --length in seconds (converted to frames
// as the import dialog's sliders do), --zoom in steps of 10 % and --at X,Y, the square's
// top-left on the zoomed frame. Without them a whole video is cut, centred at zoom 0.
class VideoOptions
{
public:
    VideoOptions();

    void addTo(QCommandLineParser &parser) const;
    // False with error set when an option is not a valid value.
    bool read(const QCommandLineParser &parser, QString *error);

    // Cuts the video at path into a clip numbered number; null with error set when the file
    // cannot be decoded, the options do not fit what can be read of it, or no frame can be
    // read. notice (when given) tells when the file claims more than can be read.
    MediaObject *cutClip(const QString &path, int number, int loops, QString *error,
                         QString *notice = nullptr) const;
    // How the frames of the clips cut from now on are sampled.
    void setSampling(SamplingMode mode) { sampling = mode; }

private:
    QCommandLineOption start;
    QCommandLineOption length;
    QCommandLineOption zoom;
    QCommandLineOption at;

    double startSeconds = 0.0;
    double lengthSeconds = -1.0;  // to the end
    int zoomSteps = 0;
    bool atGiven = false;
    QPoint topLeft;
    SamplingMode sampling = SamplingMode::Sharp;
};
