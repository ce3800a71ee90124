#pragma once

#include "import/GifCut.h"
#include "import/GifCutEnd.h"
#include "model/ClipOrigin.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <memory>

class ClipCutRun;
class ImageObject;
class MediaObject;
class ProgressLine;
class QCheckBox;
class QLabel;

// Turns every frame of an animated GIF into a clip frame: the region is chosen once on the
// first frame, then the frames are cut and converted on worker threads, in frame order,
// while this small busy window shows the newest one. Accepted with the frames made (a
// damaged GIF keeps those before the damage, and says so); rejected, with every frame made
// deleted, on cancel, on a file that is no readable GIF, or when no frame could be saved.
class LoadGifDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int ThumbSide = 72;

    explicit LoadGifDialog(const QString &gifPath, QWidget *parent = nullptr);
    // Stops a run; deletes, with their files, the frames of a dialog not accepted.
    ~LoadGifDialog() override;
    Q_DISABLE_COPY_MOVE(LoadGifDialog)

    // One clip frame per 100 ms of the GIF's timeline: the check box the region dialog shows.
    bool keepsSpeed() const { return cut.keepSpeed; }
    // Where the clip comes from: the GIF, its region and timing choice.
    ClipOrigin origin() const;
    // The frames in clip order (numbers 1..n); the caller owns them.
    QList<ImageObject *> takeFrames();

    // The whole import from the window: asks for a GIF, runs the dialog and returns the
    // clip numbered number, or null.
    static MediaObject *importClip(QWidget *parent, int number,
                                   SamplingMode sampling = SamplingMode::Sharp);
    // The same for a GIF already chosen.
    static MediaObject *importClip(QWidget *parent, const QString &path, int number,
                                   SamplingMode sampling = SamplingMode::Sharp);

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    // Reads the first frame, lets the region be chosen and starts the run.
    void getGifImage();
    void showNewestFrame();
    // The run's place (ms on the GIF's timeline) as GIF frames done of all.
    void showProgress(qint64 posMs);
    void cutOver(bool ok);

private:
    void buildForm();
    bool chooseRegion(const QImage &firstFrame);
    // A message box with text as its headline and reason below it.
    void tip(const QString &text, const QString &reason = QString());
    void disposeFrames();

    GifCut cut;
    GifCutEnd end;
    std::unique_ptr<ClipCutRun> cutRun;
    QList<ImageObject *> gifFrames;
    int zoomSteps = 0;
    bool begun = false;
    QLabel *thumbLabel = nullptr;
    QLabel *textLabel = nullptr;
    ProgressLine *progress = nullptr;
    QList<qint64> frameStarts;
};
