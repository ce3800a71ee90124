#include "video/OpenCvVideoDecoder.h"

#include "video/VideoFrameImage.h"

#include <QTransform>

#include <opencv2/core.hpp>
#include <opencv2/core/version.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>
#include <new>

namespace {

// The clockwise turn a stream's rotation tag asks for, from the capture's orientation
// property. OpenCV 4.6 gives the display matrix's counterclockwise angle, and its own
// automatic turning therefore shows quarter-turned videos upside down; later versions give
// the clockwise angle.
int clockwiseTurn(double orientation)
{
    if (!std::isfinite(orientation))
        return 0;
    int degrees = int(std::lround(orientation)) % 360;
    if (degrees < 0)
        degrees += 360;
#if CV_VERSION_MAJOR == 4 && CV_VERSION_MINOR == 6
    degrees = (360 - degrees) % 360;
#endif
    return degrees % 90 == 0 ? degrees : 0;
}

// Maps stored frame coordinates onto the upright frame (pixel edges, so rectangles map
// exactly).
QTransform uprightFromStored(int turn, const QSize &stored)
{
    const qreal w = stored.width();
    const qreal h = stored.height();
    switch (turn) {
    case 90:
        return QTransform(0, 1, -1, 0, h, 0);
    case 180:
        return QTransform(-1, 0, 0, -1, w, h);
    case 270:
        return QTransform(0, -1, 1, 0, 0, w);
    default:
        return QTransform();
    }
}

} // namespace

OpenCvVideoDecoder::OpenCvVideoDecoder() : capture(std::make_unique<cv::VideoCapture>()) {}

OpenCvVideoDecoder::~OpenCvVideoDecoder()
{
    try {
        capture->release();
    } catch (...) {
    }
}

template<typename Call>
bool OpenCvVideoDecoder::guarded(Call call)
{
    try {
        return call();
    } catch (const cv::Exception &e) {
        failed = QString::fromStdString(e.err);
    } catch (const std::bad_alloc &) {
        failed = QStringLiteral("out of memory");
    } catch (const std::exception &e) {
        failed = QString::fromLocal8Bit(e.what());
    }
    return false;
}

bool OpenCvVideoDecoder::open(const QByteArray &nativePath)
{
    try {
        capture->open(nativePath.toStdString(), cv::CAP_FFMPEG);
        if (!capture->isOpened())
            return false;
        // Off before the size is read: with it on, OpenCV reports the turned size.
        capture->set(cv::CAP_PROP_ORIENTATION_AUTO, 0.0);
        stored = QSize(int(capture->get(cv::CAP_PROP_FRAME_WIDTH)),
                       int(capture->get(cv::CAP_PROP_FRAME_HEIGHT)));
        turn = clockwiseTurn(capture->get(cv::CAP_PROP_ORIENTATION_META));
    } catch (const cv::Exception &) {
        return false;
    }
    return true;
}

double OpenCvVideoDecoder::fps() const
{
    return capture->get(cv::CAP_PROP_FPS);
}

double OpenCvVideoDecoder::frameCount() const
{
    return capture->get(cv::CAP_PROP_FRAME_COUNT);
}

QSize OpenCvVideoDecoder::frameSize() const
{
    return turn % 180 == 0 ? stored : stored.transposed();
}

bool OpenCvVideoDecoder::seek(qint64 index)
{
    return guarded([&] { return capture->set(cv::CAP_PROP_POS_FRAMES, double(index)); });
}

QImage OpenCvVideoDecoder::read()
{
    QImage image;
    guarded([&] {
        cv::Mat frame;
        if (!capture->read(frame) || frame.empty())
            return false;
        image = converted(frame);
        return !image.isNull();
    });
    return image;
}

QImage OpenCvVideoDecoder::readRegion(const QRect &region, QPoint *origin)
{
    QImage image;
    guarded([&] {
        cv::Mat frame;
        if (!capture->read(frame) || frame.empty())
            return false;
        // Only the stored pixels under the region are turned and converted.
        const QTransform upright = uprightFromStored(turn, QSize(frame.cols, frame.rows));
        const QRect storedPart = upright.inverted().mapRect(QRectF(region)).toRect();
        const QRect part = storedPart.intersected(QRect(0, 0, frame.cols, frame.rows));
        if (part.isEmpty())
            return false;
        *origin = upright.mapRect(QRectF(part)).toRect().topLeft();
        image = converted(frame(cv::Rect(part.x(), part.y(), part.width(), part.height())));
        return !image.isNull();
    });
    return image;
}

QImage OpenCvVideoDecoder::converted(const cv::Mat &storedFrame) const
{
    cv::Mat frame = storedFrame;
    if (turn != 0 && !storedFrame.empty()) {
        const cv::RotateFlags flag = turn == 90    ? cv::ROTATE_90_CLOCKWISE
                                     : turn == 180 ? cv::ROTATE_180
                                                   : cv::ROTATE_90_COUNTERCLOCKWISE;
        cv::rotate(storedFrame, frame, flag);
    }
    QImage image = VideoFrameImage::fromMat(frame);
    // QImage does not throw: a picture it could not allocate is null.
    const int type = frame.type();
    if (image.isNull() && (type == CV_8UC1 || type == CV_8UC3 || type == CV_8UC4))
        throw std::bad_alloc();
    return image;
}

bool OpenCvVideoDecoder::skip()
{
    return guarded([&] { return capture->grab(); });
}
