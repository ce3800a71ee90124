#include "import/VideoFile.h"

#include "import/VideoFrameImage.h"
#include "model/PictureFile.h"

#include <QFile>

#include <opencv2/videoio.hpp>

#include <cmath>
#include <new>

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
    const QSize frameSize(int(capture->get(cv::CAP_PROP_FRAME_WIDTH)),
                          int(capture->get(cv::CAP_PROP_FRAME_HEIGHT)));
    // The decoder takes some text files for a stream without pictures.
    if (frameSize.isEmpty()) {
        error = QStringLiteral("cannot be decoded as a video");
        close();
        return false;
    }
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
    size = frameSize;
    return true;
}

void VideoFile::close()
{
    if (capture)
        capture->release();
    capture.reset();
    rate = 0.0;
    count = 0;
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
        const QRect part = region.intersected(QRect(0, 0, frame.cols, frame.rows));
        if (part.isEmpty())
            return false;
        *origin = part.topLeft();
        image = converted(frame(cv::Rect(part.x(), part.y(), part.width(), part.height())));
        return !image.isNull();
    });
    return image;
}

QImage VideoFile::converted(const cv::Mat &frame)
{
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
