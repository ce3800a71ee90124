#include "ui/import/LoadMediaDialog.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "effect/EffectFormat.h"
#include "ui/dialogs/FileFilters.h"
#include "import/CutRegion.h"
#include "import/FrameHandOver.h"
#include "import/FrameSchedule.h"
#include "ui/import/GetImgeLocationDialog.h"
#include "import/ImportLog.h"
#include "import/LoadMediaHandler.h"
#include "import/VideoClipCutter.h"
#include "import/VideoModule.h"
#include "loop/HandlerThread.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/RoundSquare.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/import/ClipCutRun.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <climits>

namespace {

constexpr int kSeekDelayMs = 200;

QLabel *label(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QSlider *slider(const QString &name, const QString &style, QWidget *parent)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setStyleSheet(style);
    return s;
}

} // namespace

LoadMediaDialog::LoadMediaDialog(QWidget *parent) : QDialog(parent)
{
    buildForm();
    handler = new LoadMediaHandler(HandlerThread::shared());
    connect(okBut, &QPushButton::clicked, this, &LoadMediaDialog::onBtnStart);
    connect(cancelBut, &QPushButton::clicked, this, &LoadMediaDialog::onCancelClick);
    connect(sliderStartTime, &QSlider::valueChanged, this, &LoadMediaDialog::changeStartPosition);
    connect(sliderEndTime, &QSlider::valueChanged, this, &LoadMediaDialog::changeEndPosition);
    connect(handler, &LoadMediaHandler::vlcPlaying, this, &LoadMediaDialog::vlcPlaying);
    connect(handler, &LoadMediaHandler::vlcOpenFileError, this,
            &LoadMediaDialog::vlcOpenFileError);
    // A dialog closed while the length is checked stops the check; its answer is ignored.
    connect(this, &QDialog::finished, this, [this] {
        ended = true;
        handler->stopPreviews();
    });
    connect(handler, &LoadMediaHandler::signalSeekMediaPosition, this,
            &LoadMediaDialog::seekMediaToPosition);
    setWindowTitle(tr("loadvideo_tip"));
    okBut->setEnabled(false);
    showTimes();
}

LoadMediaDialog::~LoadMediaDialog()
{
    qCDebug(lcImport) << "~LoadMediaDialog";
    cutting = false;
    cutRun.reset();
    // No finished() may reach the handler once it is gone.
    disconnect(this, &QDialog::finished, this, nullptr);
    // Its destructor withdraws codes 5 and 17 and waits for one being handled.
    delete handler;
    for (ImageObject *item : std::as_const(frames))
        FrameHandOver::dispose(item);
}

void LoadMediaDialog::buildForm()
{
    resize(668, 425);
    videoWidget = label(QStringLiteral("videoWidget"), QString(), this);
    videoWidget->setAlignment(Qt::AlignCenter);
    videoWidget->setMinimumSize(320, 180);
    videoWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    lblStartTime = label(QStringLiteral("lblStartTime"), QString(), this);
    lblEndTime = label(QStringLiteral("lblEndTime"), QString(), this);
    sliderStartTime = slider(QStringLiteral("sliderStartTime"),
                             QStringLiteral("background-color: rgb(0, 255, 0);"), this);
    sliderEndTime = slider(QStringLiteral("sliderEndTime"),
                           QStringLiteral("background-color: rgb(0, 170, 255);"), this);
    sliderStartTime->setMaximum(0);
    sliderEndTime->setMaximum(0);
    auto *times = new QGridLayout;
    times->addWidget(label(QStringLiteral("label_7"), tr("开始时间："), this), 0, 0);
    times->addWidget(lblStartTime, 0, 1);
    times->addWidget(sliderStartTime, 0, 2);
    times->addWidget(label(QStringLiteral("label_3"), tr("结束时间："), this), 1, 0);
    times->addWidget(lblEndTime, 1, 1);
    times->addWidget(sliderEndTime, 1, 2);
    times->setColumnStretch(2, 1);
    auto *groupBox = new QGroupBox(this);
    auto *buttons = new QHBoxLayout(groupBox);
    okBut = new QPushButton(tr("开始截图"), groupBox);
    okBut->setObjectName(QStringLiteral("okBut"));
    cancelBut = new QPushButton(tr("取消"), groupBox);
    cancelBut->setObjectName(QStringLiteral("cancelBut"));
    buttons->addStretch();
    buttons->addWidget(okBut);
    buttons->addWidget(cancelBut);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(videoWidget, 1);
    layout->addWidget(label(QStringLiteral("label_2"),
                            tr("拖动时间进度条可以设定截图的开始时间和结束时间："), this));
    layout->addLayout(times);
    layout->addWidget(groupBox);
}

bool LoadMediaDialog::openMediaFile()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, tr("loadvideo_select_file"),
        AppSettings().lastFolder(AppSettings::Folder::Video, lastBrowseDirectory),
        FileFilters::withAllFiles(tr("Medias (*.avi *.rmvb *.mp4 *.mkv)"),
                                  FileFilters::videoSuffixes()));
    if (chosen.isEmpty() || !QFileInfo(chosen).isFile())
        return false;
    AppSettings().setLastFolder(AppSettings::Folder::Video, chosen);
    return openMediaPath(chosen);
}

bool LoadMediaDialog::openMediaPath(const QString &chosen)
{
    if (!QFileInfo(chosen).isFile())
        return false;
    lastBrowseDirectory = QFileInfo(chosen).absolutePath();
    // The path stays as chosen: separators are only made native for display.
    path = chosen;
    if (!handler->openVideo(path)) {
        qCDebug(lcImport) << "#LoadMediaDialog# open media file fail! " << path
                          << handler->errorString();
        vlcOpenFileError();
        return false;
    }
    fps = handler->fps();
    frameCount = handler->frameCount();
    setWindowTitle(tr("loadvideo_tip2") + QDir::toNativeSeparators(path));
    okBut->setEnabled(false);
    // The handler reads how much of the file can be cut before the sliders are offered.
    videoWidget->setText(tr("loadvideo_checking"));
    handler->sendCode(LoadMediaHandler::CodePlaying);
    return true;
}

void LoadMediaDialog::tip(const QString &text, const QString &reason)
{
    // A file refused at opening is told before this dialog is shown: the message then
    // stands over the window the user chose the file from, not at the screen's corner.
    QMessageBox box(QMessageBox::Information, tr("dialog_title_tip"), text, QMessageBox::Ok,
                    isVisible() || !parentWidget() ? this : parentWidget());
    // The reason comes from the reading code as a phrase.
    box.setInformativeText(reason.left(1).toUpper() + reason.mid(1));
    box.exec();
}

void LoadMediaDialog::vlcOpenFileError()
{
    if (ended)
        return;
    qCDebug(lcImport) << "############ vlc open file error.";
    // Without the video module no video opens: that is said, not left as a bad file.
    QString reason = handler->errorString();
    if (QString missing; !VideoModule::backend(&missing))
        reason = missing;
    tip(tr("loadvideo_player_error"), reason);
    if (isVisible())
        reject();
}

QString LoadMediaDialog::secondsText(qint64 frames) const
{
    return QString::number(double(frames) / fps, 'f', 1);
}

void LoadMediaDialog::vlcPlaying()
{
    if (ended)
        return;
    frameCount = handler->frameCount();
    const qint64 last = frameCount - 1;
    // A seek may fail where reading in order does not.
    QImage frame = handler->frameAt(last / 2);
    if (frame.isNull())
        frame = handler->frameAt(0);
    QSignalBlocker blockStart(sliderStartTime);
    QSignalBlocker blockEnd(sliderEndTime);
    sliderStartTime->setMaximum(int(qMin<qint64>(last, INT_MAX)));
    sliderStartTime->setValue(0);
    sliderEndTime->setMaximum(sliderStartTime->maximum());
    sliderEndTime->setValue(sliderEndTime->maximum());
    blockStart.unblock();
    blockEnd.unblock();
    changeStartPosition(0);
    // The first frame's file is written as the program always has; its result is checked.
    const QString file = workFilePath(QStringLiteral("loadMedia_%1.png").arg(loadMediaCounter.fetch_add(1)));
    const bool saved = !frame.isNull() && ensureWorkDirectory() && frame.save(file, "PNG");
    QFile::remove(file);
    if (!saved) {
        tip(tr("loadvideo_init_player_error"));
        reject();
        return;
    }
    showPreview(frame);
    if (handler->claimsMore()) {
        qCDebug(lcImport) << "#LoadMediaDialog# readable frames" << frameCount << "of"
                          << handler->claimedFrameCount();
        tip(tr("loadvideo_shorter")
                .arg(secondsText(handler->claimedFrameCount()), secondsText(frameCount)));
        // Closed while the box was up.
        if (ended)
            return;
    }
    if (!chooseRegion(frame)) {
        reject();
        return;
    }
    regionChosen = true;
    seekMediaToPosition(frame, int(last / 2));
    okBut->setEnabled(true);
    cutting = false;
}

bool LoadMediaDialog::chooseRegion(const QImage &frame)
{
    GetImgeLocationDialog region(this);
    region.setWindowTitle(tr("loadvideo_tip"));
    region.setImage(frame);
    const bool chosen = region.exec() == QDialog::Accepted;
    shown = region.shownImageSize();
    topLeft = region.frameTopLeft();
    zoomSteps = region.zoom();
    qCDebug(lcImport) << "#LoadMediaDialog# vlcPlaying() " << shown << topLeft << chosen;
    return chosen && CutRegion::coversPicture(topLeft, shown);
}

QString LoadMediaDialog::timeText(qint64 ms) const
{
    const qint64 s = ms / 1000;
    const qint64 m = s / 60;
    return tr("%1hour%2minute%3second").arg(m / 60).arg(m % 60).arg(s % 60);
}

void LoadMediaDialog::showTimes()
{
    const bool known = fps > 0.0;
    lblStartTime->setText(timeText(known ? FrameSchedule::msOfFrame(firstFrame, fps) : 0));
    lblEndTime->setText(timeText(known ? FrameSchedule::msOfFrame(lastFrame, fps) : 0));
}

void LoadMediaDialog::changeStartPosition(int a)
{
    // The end keeps its place unless the start passes it; then it goes along.
    firstFrame = a;
    if (sliderEndTime->value() < a) {
        QSignalBlocker block(sliderEndTime);
        sliderEndTime->setValue(a);
    }
    lastFrame = sliderEndTime->value();
    showTimes();
    if (!cutting && fps > 0.0)
        handler->requestSeek(firstFrame, kSeekDelayMs);
}

void LoadMediaDialog::changeEndPosition(int a)
{
    // The end never lies before the start.
    if (a < firstFrame) {
        QSignalBlocker block(sliderEndTime);
        sliderEndTime->setValue(int(firstFrame));
        a = int(firstFrame);
    }
    lastFrame = a;
    showTimes();
    if (!cutting && fps > 0.0)
        handler->requestSeek(lastFrame, kSeekDelayMs);
}

void LoadMediaDialog::seekMediaToPosition(const QImage &image, int)
{
    if (image.isNull())
        return;
    // Once the region is chosen a frame is shown as the display will get it: its square.
    showPreview(regionChosen ? RoundSquare::cutShownFrame(image, shown, topLeft) : image);
}

void LoadMediaDialog::showPreview(const QImage &image)
{
    if (image.isNull())
        return;
    videoWidget->setPixmap(QPixmap::fromImage(
        image.scaled(videoWidget->size(), Qt::KeepAspectRatio, Qt::FastTransformation)));
}

void LoadMediaDialog::onBtnStart()
{
    if (cutting || fps <= 0.0)
        return;
    const qint64 samples = FrameSchedule(firstFrame, lastFrame, fps).sampleCount();
    if (samples > EffectFormat::kMaxClipFrames) {
        tip(tr("loadvideo_too_long").arg(samples).arg(EffectFormat::kMaxClipFrames));
        return;
    }
    // The cutter reads with a capture of its own; no preview decodes beside it.
    handler->stopPreviews();
    for (ImageObject *item : std::as_const(frames))
        FrameHandOver::dispose(item);
    frames.clear();
    okBut->setEnabled(false);
    cutting = true;
    cutOk = false;

    VideoCut cut;
    cut.path = path;
    cut.startFrame = firstFrame;
    cut.endFrame = lastFrame;
    cut.shownSize = shown;
    cut.topLeft = topLeft;
    cut.previewSize = videoWidget->size();
    cut.sampling = sampling;
    progressDialog = new ProgressDialog(tr("loadvideo_loading_tip"), this);
    progressDialog->setWindowTitle(tr("loadvideo_cutting_title"));
    cutRun = std::make_unique<ClipCutRun>(std::make_unique<VideoClipCutter>(cut), progressDialog);
    VideoClipCutter *cutter = cutRun->cutter();
    connect(cutter, &VideoClipCutter::progress, this, &LoadMediaDialog::onCurrentCutPos);
    connect(cutter, &VideoClipCutter::previewReady, this,
            [this, cutter] { showPreview(cutter->takePreview()); });
    connect(cutRun.get(), &ClipCutRun::ended, this, &LoadMediaDialog::cutMediaOver);
    cutRun->start();
    progressDialog->exec();

    // A cut the busy dialog's Cancel ended was cancelled by the run.
    const bool cancelled = cutRun->wasCancelled();
    cutting = false;
    if (cancelled)
        qCDebug(lcImport) << "cancel progress dialog!";
    else if (cutOk)
        frames = cutter->takeFrames();
    else if (cutter->madeNoFrame())
        tip(tr("loadvideo_no_frames"));
    else
        tip(tr("loadvideo_save_error"), cutter->errorString());
    cutRun.reset();
    delete progressDialog;
    qCDebug(lcImport) << "#LoadMediaDialog# onBtnStart() end!";
    if (cancelled) {
        returnToSliders();
        return;
    }
    if (cutOk)
        accept();
    else
        reject();
}

void LoadMediaDialog::returnToSliders()
{
    // The previews' capture was closed for the run; the length found at opening stands.
    if (!handler->openVideo(path)) {
        vlcOpenFileError();
        return;
    }
    okBut->setEnabled(true);
    handler->requestSeek(firstFrame, 0);
}

void LoadMediaDialog::onCurrentCutPos(qint64 pos)
{
    if (!progressDialog)
        return;
    progressDialog->setText(tr("loadvideo_loading_tip") + timeText(pos));
    // Frames are cut every 100 ms of the stretch: that many of all.
    if (fps > 0.0) {
        const qint64 startMs = qint64(firstFrame * 1000.0 / fps);
        const qint64 endMs = qint64(lastFrame * 1000.0 / fps);
        progressDialog->setProgress((pos - startMs) / 100 + 1, (endMs - startMs) / 100 + 1);
    }
}

void LoadMediaDialog::cutMediaOver(bool ok)
{
    // Reported once by the run, after all three converters are done, and never after a
    // cancel.
    cutting = false;
    cutOk = ok;
    ProgressDialog::finish(progressDialog);
}

void LoadMediaDialog::onCancelClick()
{
    reject();
}

QList<ImageObject *> LoadMediaDialog::takeFrames()
{
    return std::exchange(frames, {});
}

MediaObject *LoadMediaDialog::importClip(QWidget *parent, int number, SamplingMode sampling)
{
    return importClip(parent, QString(), number, sampling);
}

MediaObject *LoadMediaDialog::importClip(QWidget *parent, const QString &chosen, int number,
                                         SamplingMode sampling)
{
    LoadMediaDialog dialog(parent);
    dialog.sampling = sampling;
    const bool opened = chosen.isEmpty() ? dialog.openMediaFile() : dialog.openMediaPath(chosen);
    if (!opened || dialog.exec() != QDialog::Accepted)
        return nullptr;
    auto *clip = new MediaObject(number, dialog.mediaPath());
    clip->origin = dialog.origin();
    clip->frames = dialog.takeFrames();
    return clip;
}

ClipOrigin LoadMediaDialog::origin() const
{
    ClipOrigin o;
    o.source = ClipOrigin::Source::Video;
    o.path = path;
    if (fps > 0.0) {
        o.startMs = FrameSchedule::msOfFrame(firstFrame, fps);
        o.lengthMs = FrameSchedule::msOfFrame(lastFrame, fps) - o.startMs;
    }
    o.zoomSteps = zoomSteps;
    o.shownSize = shown;
    o.regionTopLeft = topLeft;
    return o;
}
