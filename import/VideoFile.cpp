#include "import/VideoFile.h"

#include "import/FrameSchedule.h"
#include "import/VideoFrameImage.h"
#include "model/PictureFile.h"

#include <QFile>
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
// the clockwise angle. Frames are turned here, with OpenCV's turning off.
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

template<typename Call>
bool VideoFile::guarded(Call call)
{
    if (!isOpen())
        return false;
    QString why;
    try {
        return call();
    } catch (const cv::Exception &e) {
        why = QString::fromStdString(e.err);
    } catch (const std::bad_alloc &) {
        why = QStringLiteral("out of memory");
    } catch (const std::exception &e) {
        why = QString::fromLocal8Bit(e.what());
    }
    broken = true;
    error = QStringLiteral("the decoder failed on a frame of %1 x %2 pixels (%3)")
                .arg(size.width())
                .arg(size.height())
                .arg(why);
    return false;
}

VideoFile::VideoFile() = default;

VideoFile::~VideoFile() = default;

bool VideoFile::open(const QString &path)
{
    close();
    error.clear();
    broken = false;
    decodable = false;
    capture = std::make_unique<cv::VideoCapture>();
    // The encoded name reaches non-ASCII paths; the FFmpeg backend alone, so no image
    // sequence reader takes a picture for a one-frame video.
    try {
        capture->open(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG);
    } catch (const cv::Exception &) {
    }
    if (!capture->isOpened()) {
        close();
        error = QStringLiteral("cannot be decoded as a video");
        return false;
    }
    // Off before the size is read: with it on, OpenCV reports the turned size.
    capture->set(cv::CAP_PROP_ORIENTATION_AUTO, 0.0);
    const QSize frameSize(int(capture->get(cv::CAP_PROP_FRAME_WIDTH)),
                          int(capture->get(cv::CAP_PROP_FRAME_HEIGHT)));
    // The decoder takes some text files for a stream without pictures.
    if (frameSize.isEmpty()) {
        error = QStringLiteral("cannot be decoded as a video");
        close();
        return false;
    }
    decodable = true;
    // The stream's own size, before a frame is decoded: a small file can hold frames of
    // gigabytes each.
    if (const QString over = PictureFile::sizeRefusal(frameSize); !over.isEmpty()) {
        error = QStringLiteral("each frame of %1").arg(over);
        close();
        return false;
    }
    rate = capture->get(cv::CAP_PROP_FPS);
    const double frames = capture->get(cv::CAP_PROP_FRAME_COUNT);
    if (!std::isfinite(rate) || rate <= 0.0 || rate > MaxFps) {
        error = QStringLiteral("reports a frame rate of %1 frames per second").arg(rate);
        close();
        return false;
    }
    if (!std::isfinite(frames) || frames < 1.0 || frames > 1e9) {
        error = QStringLiteral("reports %1 frames").arg(frames);
        close();
        return false;
    }
    count = qint64(frames);
    claimed = count;
    turn = clockwiseTurn(capture->get(cv::CAP_PROP_ORIENTATION_META));
    size = turn % 180 == 0 ? frameSize : frameSize.transposed();
    return true;
}

void VideoFile::close()
{
    if (capture)
        capture->release();
    capture.reset();
    rate = 0.0;
    count = 0;
    claimed = 0;
    turn = 0;
    size = QSize();
}

bool VideoFile::isOpen() const
{
    return capture && capture->isOpened();
}

bool VideoFile::seek(qint64 index)
{
    return guarded([&] { return capture->set(cv::CAP_PROP_POS_FRAMES, double(index)); });
}

QImage VideoFile::read()
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

QImage VideoFile::readRegion(const QRect &region, QPoint *origin)
{
    QImage image;
    guarded([&] {
        cv::Mat frame;
        if (!capture->read(frame) || frame.empty())
            return false;
        // Only the stored pixels under the region are turned and converted.
        const QTransform upright = uprightFromStored(turn, QSize(frame.cols, frame.rows));
        const QRect stored = upright.inverted().mapRect(QRectF(region)).toRect();
        const QRect part = stored.intersected(QRect(0, 0, frame.cols, frame.rows));
        if (part.isEmpty())
            return false;
        *origin = upright.mapRect(QRectF(part)).toRect().topLeft();
        image = converted(frame(cv::Rect(part.x(), part.y(), part.width(), part.height())));
        return !image.isNull();
    });
    return image;
}

QImage VideoFile::converted(const cv::Mat &stored) const
{
    cv::Mat frame = stored;
    if (turn != 0 && !stored.empty()) {
        const cv::RotateFlags flag = turn == 90    ? cv::ROTATE_90_CLOCKWISE
                                     : turn == 180 ? cv::ROTATE_180
                                                   : cv::ROTATE_90_COUNTERCLOCKWISE;
        cv::rotate(stored, frame, flag);
    }
    QImage image = VideoFrameImage::fromMat(frame);
    // QImage does not throw: a picture it could not allocate is null.
    const int type = frame.type();
    if (image.isNull() && (type == CV_8UC1 || type == CV_8UC3 || type == CV_8UC4))
        throw std::bad_alloc();
    return image;
}

bool VideoFile::skip()
{
    return guarded([&] { return capture->grab(); });
}

bool VideoFile::probeLength(const std::function<bool()> &interrupted)
{
    if (!isOpen())
        return false;
    // A whole file is told by one seek. Past a damaged part, a seek may still land on a
    // frame while reading on from before it fails, so only reading in order from the start
    // tells what a cut gets.
    if (seek(claimed - 1) && skip()) {
        count = claimed;
        return true;
    }
    qint64 readable = 0;
    if (!broken && seek(0)) {
        while (readable < claimed && skip()) {
            ++readable;
            if (interrupted && interrupted())
                return false;
        }
    }
    if (broken)
        return false;
    if (readable == 0) {
        error = QStringLiteral("no frame can be read");
        return false;
    }
    count = readable;
    return true;
}

bool VideoFile::claimsMore() const
{
    // Short of that the claim is only the usual rounding of an estimate.
    return rate > 0.0 && double(claimed - count) * 1000.0 / rate >= FrameSchedule::SampleMs;
}
