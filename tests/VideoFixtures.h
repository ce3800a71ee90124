#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// Small test videos written by OpenCV: frame i shows i as ten black or white stripes
// (bit 0 on the left), which survive lossy codecs, so a test can tell which frames were cut.
namespace VideoFixtures {

enum class Codec { Mjpeg, Mpeg4, H264 };

// Writes frames of size 160 x 120 at fps into dir/name; empty path when the codec is missing.
QString write(const QString &dir, const QString &name, Codec codec, double fps, int frames,
              const QSize &size = QSize(160, 120));
// A copy of the AVI at path whose stream header claims rate / scale frames per second.
QString withFrameRate(const QString &path, const QString &copy, quint32 scale, quint32 rate);
// A copy of the MJPEG AVI at path whose headers and pictures all claim frames of size:
// the decoder reports that size, though no frame of it can be decoded.
QString withFrameSize(const QString &path, const QString &copy, const QSize &size);
// The index shown by the frame drawn at rect inside picture; -1 when the stripes are unclear.
int indexIn(const QImage &picture, const QRect &rect);

// Cuts the file at path to half its bytes: its header still claims every frame. False when
// it cannot be changed.
bool cutShort(const QString &path);
// The frames a cut from the start gets: read in order until one fails.
qint64 readableInOrder(const QString &path);

// Made by ffmpeg, which a test skips without (empty path or null picture):
// a 2 s MPEG-4 video of size whose picture tells every turn and mirror apart (a red block in
// its top-left corner, a green one along its bottom edge, on blue);
QString writeWithFfmpeg(const QString &dir, const QString &name, const QSize &size);
// a copy of the video at path whose stream carries the rotation tag degrees, as phones write;
QString withRotationTag(const QString &path, const QString &copy, int degrees);
// its first frame as ffmpeg shows it (the rotation tag applied), in RGB32.
QImage ffmpegFirstFrame(const QString &path);

} // namespace VideoFixtures
