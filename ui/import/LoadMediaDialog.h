#pragma once

#include "model/ClipOrigin.h"
#include "model/SamplingMode.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QSize>

#include <memory>

class ClipCutRun;
class ImageObject;
class LoadMediaHandler;
class MediaObject;
class ProgressDialog;
class QLabel;
class QPushButton;
class QSlider;

// Turns a stretch of a video into clip frames: the file is chosen and opened, what can be
// read of it found out, the region chosen once on its middle frame, the first and the last
// frame set with two sliders while the preview shows the chosen square, and Start cuts and
// converts the frames under a busy dialog, whose Cancel returns to the sliders.
class LoadMediaDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoadMediaDialog(QWidget *parent = nullptr);
    // Withdraws the handler's messages and waits for one being handled; stops a run;
    // deletes the frames nobody took, with their files.
    ~LoadMediaDialog() override;
    Q_DISABLE_COPY_MOVE(LoadMediaDialog)

    // Asks for a video file and opens it; false when none was chosen or it cannot be played.
    bool openMediaFile();
    // Opens path (kept as given); false with the "cannot play" box when it is no video.
    bool openMediaPath(const QString &path);

    QString mediaPath() const { return path; }
    qint64 startFrame() const { return firstFrame; }
    qint64 endFrame() const { return lastFrame; }
    QPoint regionTopLeft() const { return topLeft; }
    QSize shownSize() const { return shown; }
    // Where the clip comes from: the video, the stretch, the zoom and the region.
    ClipOrigin origin() const;
    // The finished frames in video order; the caller owns them.
    QList<ImageObject *> takeFrames();

    // The whole import from the window: asks for a file, runs the dialog and returns the
    // clip numbered number, its frames sampled as sampling says, or null.
    static MediaObject *importClip(QWidget *parent, int number,
                                   SamplingMode sampling = SamplingMode::Sharp);
    // The same for a video already chosen (an empty path asks for one).
    static MediaObject *importClip(QWidget *parent, const QString &path, int number,
                                   SamplingMode sampling = SamplingMode::Sharp);

public slots:
    void seekMediaToPosition(const QImage &image, int pos);

private slots:
    void onBtnStart();
    void onCancelClick();
    void vlcOpenFileError();
    void vlcPlaying();
    void changeStartPosition(int a);
    void changeEndPosition(int a);
    void onCurrentCutPos(qint64 pos);
    void cutMediaOver(bool ok);

private:
    void buildForm();
    void showTimes();
    QString timeText(qint64 ms) const;
    // Seconds of a frame count, to a tenth.
    QString secondsText(qint64 frames) const;
    bool chooseRegion(const QImage &frame);
    void showPreview(const QImage &image);
    void returnToSliders();
    // A message box with text as its headline and reason below it.
    void tip(const QString &text, const QString &reason = QString());

    LoadMediaHandler *handler = nullptr;
    std::unique_ptr<ClipCutRun> cutRun;
    QPointer<ProgressDialog> progressDialog;
    QString path;
    double fps = 0.0;
    qint64 frameCount = 0;
    qint64 firstFrame = 0;
    qint64 lastFrame = 0;
    QSize shown;
    QPoint topLeft;
    int zoomSteps = 0;
    bool regionChosen = false;
    bool ended = false;
    bool cutting = false;
    bool cutOk = false;
    SamplingMode sampling = SamplingMode::Sharp;
    QList<ImageObject *> frames;

    QLabel *videoWidget = nullptr;
    QLabel *lblStartTime = nullptr;
    QLabel *lblEndTime = nullptr;
    QSlider *sliderStartTime = nullptr;
    QSlider *sliderEndTime = nullptr;
    QPushButton *okBut = nullptr;
    QPushButton *cancelBut = nullptr;
};
