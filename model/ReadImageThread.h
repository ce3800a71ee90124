#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QThread>

#include <atomic>

class DataBitCalculation;
class ImageObject;

// Sampler of one conversion: reads the picture along the display's radial lines, corrects
// each channel through the colour table, feeds the lines to a DataBitCalculation coder
// running beside it, draws the sampling preview (unless told not to), then pads the LED
// data and writes the item's ".buf".
class ReadImageThread : public QThread
{
    Q_OBJECT
public:
    // Whether a conversion also draws and saves the item's sampling preview "%1_2.png". The
    // LED data is the same either way; skipping it saves most of a one-shot conversion's time.
    enum class SamplingPreview { Write, Skip };

    // stop: optional flag of an owner that may cut the conversion short (a video frame
    // converter being torn down). When it is set while the coder still works, queued lines
    // are dropped and the data is padded and written as far as it was coded.
    // geometry: LEDs x lines to convert for; invalid: the process-wide ledCount and
    // lineNumber when the thread starts.
    ReadImageThread(const QImage &picture, ImageObject *item, QObject *parent = nullptr,
                    const std::atomic<bool> *stop = nullptr,
                    SamplingPreview preview = SamplingPreview::Write,
                    QSize geometry = QSize());
    ~ReadImageThread() override;
    Q_DISABLE_COPY_MOVE(ReadImageThread)

    bool isConverting() const { return running; }

protected:
    void run() override;

private:
    DataBitCalculation *coder = nullptr;
    const QImage image;
    ImageObject *const item;
    std::atomic<bool> running{true};
    const std::atomic<bool> *const stop;
    const SamplingPreview previewMode;
    const QSize geometry;
};

// Converts one picture into the item's LED data, ".buf" and "%1_2.png", blocking until
// both are written. The geometry is the process-wide ledCount and lineNumber at the start.
// With a stop flag (video frames) the conversion also writes the trace line
// "### getImageByteArray() byte length = ..., numC = ..." and ends early when the flag is
// set (see ReadImageThread). With SamplingPreview::Skip no "%1_2.png" is drawn or written.
// A valid geometry (LEDs x lines) is converted for instead of the process-wide one: a
// playlist is converted for a new geometry before that geometry takes effect.
void convertPicture(const QImage &image, ImageObject *item,
                    const std::atomic<bool> *stop = nullptr,
                    ReadImageThread::SamplingPreview preview =
                        ReadImageThread::SamplingPreview::Write,
                    QSize geometry = QSize());
