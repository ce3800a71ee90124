#include "model/OpaquePngFile.h"

#include <QFile>
#include <QSaveFile>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

bool OpaquePngFile::save(const QImage &picture, const QString &path, Content content)
{
    if (picture.isNull())
        return false;
    const QImage rgb32 = picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32
                             ? picture
                             : picture.convertToFormat(QImage::Format_RGB32);
    const cv::Mat bgra(rgb32.height(), rgb32.width(), CV_8UC4, const_cast<uchar *>(rgb32.constBits()),
                       size_t(rgb32.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    std::vector<uchar> png;
    const int strategy = content == Content::Photo ? cv::IMWRITE_PNG_STRATEGY_HUFFMAN_ONLY
                                                   : cv::IMWRITE_PNG_STRATEGY_RLE;
    const std::vector<int> options{cv::IMWRITE_PNG_COMPRESSION, 1, cv::IMWRITE_PNG_STRATEGY, strategy};
    // Encoded in memory and written through Qt: any path Qt can open, on every platform.
    if (!cv::imencode(".png", bgr, png, options))
        return false;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char *>(png.data()), qint64(png.size())) == qint64(png.size())
        && file.commit())
        return true;
    QFile::remove(path);
    return false;
}
