#include "ui/import/LoadGifDialog.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "effect/EffectFormat.h"
#include "ui/dialogs/FileFilters.h"
#include "import/CutRegion.h"
#include "import/FrameHandOver.h"
#include "ui/dialogs/ProgressLine.h"
#include "ui/import/ClipCutRun.h"
#include "ui/import/GetImgeLocationDialog.h"
#include "import/GifCutThread.h"
#include "import/GifFrameReader.h"
#include "import/ImportLog.h"
#include "import/VideoClipCutter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kButtonRowHeight = 40;

} // namespace

LoadGifDialog::LoadGifDialog(const QString &gifPath, QWidget *parent) : QDialog(parent)
{
    cut.path = gifPath;
    cut.maxFrames = EffectFormat::kMaxClipFrames;
    cut.previewSize = QSize(ThumbSide, ThumbSide);
    buildForm();
}

LoadGifDialog::~LoadGifDialog()
{
    cutRun.reset();
    if (result() != Accepted)
        disposeFrames();
}

void LoadGifDialog::buildForm()
{
    // Named for what it does while it is up: the region dialog opens over it, then it cuts.
    setWindowTitle(tr("loadgif_cutting_title"));
    thumbLabel = new QLabel(this);
    thumbLabel->setObjectName(QStringLiteral("thumbLabel"));
    thumbLabel->setMinimumSize(ThumbSide, ThumbSide);
    thumbLabel->setMaximumSize(ThumbSide, ThumbSide);
    textLabel = new QLabel(tr("loadgif_loading_tip"), this);
    textLabel->setObjectName(QStringLiteral("textLabel"));
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(thumbLabel);
    row->addWidget(textLabel);
    row->addStretch();
    auto *group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(kButtonRowHeight);
    auto *buttons = new QDialogButtonBox(group);
    // In the reject role: a button without a role would never reach rejected().
    QPushButton *cancel = buttons->addButton(tr("action_btn_cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &LoadGifDialog::reject);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setContentsMargins(0, 0, 0, 0);
    groupLayout->addWidget(buttons);
    progress = new ProgressLine(this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(progress);
    layout->addWidget(group);
}

void LoadGifDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (begun)
        return;
    begun = true;
    // After the dialog is up: the region dialog opens over it.
    QMetaObject::invokeMethod(this, &LoadGifDialog::getGifImage, Qt::QueuedConnection);
}

void LoadGifDialog::tip(const QString &text, const QString &reason)
{
    QMessageBox box(QMessageBox::Information, tr("dialog_title_tip"), text, QMessageBox::Ok,
                    this);
    // The reason comes from the reading code as a phrase.
    box.setInformativeText(reason.left(1).toUpper() + reason.mid(1));
    box.exec();
}

void LoadGifDialog::getGifImage()
{
    if (!isVisible() || cutRun)
        return;
    GifFrameReader reader(cut.path);
    QImage first;
    int delayMs = 0;
    if (!reader.next(&first, &delayMs)) {
        qCDebug(lcImport) << "#LoadGifDialog# cannot read" << cut.path << reader.errorString();
        tip(tr("loadgif_read_error"), reader.errorString());
        reject();
        return;
    }
    if (!chooseRegion(first)) {
        reject();
        return;
    }
    // Where each GIF frame starts on the GIF's own timeline: the run reports its place there.
    frameStarts.clear();
    qint64 startMs = 0;
    for (const int delay : reader.delays()) {
        frameStarts.append(startMs);
        startMs += delay > 0 ? delay : 100;
    }
    progress->start();
    // This window is the busy one: its Cancel, or closing it, cancels the cut.
    cutRun = std::make_unique<ClipCutRun>(
        std::make_unique<VideoClipCutter>(GifCutThread::factory(cut, &end), cut.writeFiles), this);
    connect(cutRun->cutter(), &VideoClipCutter::previewReady, this, &LoadGifDialog::showNewestFrame);
    connect(cutRun->cutter(), &VideoClipCutter::progress, this, &LoadGifDialog::showProgress);
    connect(cutRun.get(), &ClipCutRun::ended, this, &LoadGifDialog::cutOver);
    cutRun->start();
}

bool LoadGifDialog::chooseRegion(const QImage &firstFrame)
{
    GetImgeLocationDialog region(this);
    region.setWindowTitle(QCoreApplication::translate("MainWindow", "dialog_title_load_gif"));
    region.setImage(firstFrame);
    auto *keepSpeed = new QCheckBox(tr("loadgif_keep_speed"));
    keepSpeed->setObjectName(QStringLiteral("chkKeepSpeed"));
    keepSpeed->setChecked(cut.keepSpeed);
    // Above the region dialog's buttons: chosen together with the region, before the run.
    if (auto *column = qobject_cast<QBoxLayout *>(region.layout()))
        column->insertWidget(column->count() - 1, keepSpeed);
    else
        keepSpeed->setParent(&region);
    const bool chosen = region.exec() == QDialog::Accepted;
    cut.keepSpeed = keepSpeed->isChecked();
    cut.shownSize = region.shownImageSize();
    cut.topLeft = region.frameTopLeft();
    zoomSteps = region.zoom();
    qCDebug(lcImport) << "#LoadGifDialog# getGifImage() " << cut.shownSize << cut.topLeft
                      << "keep speed" << cut.keepSpeed << "chosen" << chosen;
    return chosen && CutRegion::coversPicture(cut.topLeft, cut.shownSize);
}

void LoadGifDialog::showNewestFrame()
{
    const QImage frame = cutRun ? cutRun->cutter()->takePreview() : QImage();
    if (!frame.isNull())
        thumbLabel->setPixmap(QPixmap::fromImage(frame.scaled(
            thumbLabel->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)));
}

void LoadGifDialog::showProgress(qint64 posMs)
{
    const qint64 total = frameStarts.size();
    if (total <= 0)
        return;
    const qint64 done = std::upper_bound(frameStarts.cbegin(), frameStarts.cend(), posMs)
                        - frameStarts.cbegin();
    progress->setProgress(done, total);
}

void LoadGifDialog::cutOver(bool ok)
{
    qCDebug(lcImport) << "#LoadGifDialog# cutOver" << ok << "read" << end.framesRead << "made"
                      << end.framesMade << "damaged" << end.damaged;
    if (!ok) {
        tip(end.framesRead == 0 ? tr("loadgif_read_error") : tr("loadgif_save_error"),
            cutRun->cutter()->errorString());
        reject();
        return;
    }
    gifFrames = cutRun->cutter()->takeFrames();
    if (end.damaged)
        tip(tr("loadgif_damaged").arg(end.framesRead + 1).arg(gifFrames.size()));
    else if (end.tooLong)
        tip(tr("loadgif_too_long").arg(cut.maxFrames));
    accept();
}

void LoadGifDialog::reject()
{
    // QDialog::reject() tells the run, which cancels a cut still under way.
    disposeFrames();
    QDialog::reject();
}

void LoadGifDialog::disposeFrames()
{
    for (ImageObject *item : std::as_const(gifFrames))
        FrameHandOver::dispose(item);
    gifFrames.clear();
}

QList<ImageObject *> LoadGifDialog::takeFrames()
{
    return std::exchange(gifFrames, {});
}

MediaObject *LoadGifDialog::importClip(QWidget *parent, int number, SamplingMode sampling)
{
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("MainWindow", "dialog_title_load_gif"),
        AppSettings().lastFolder(AppSettings::Folder::Gif, lastBrowseDirectory),
        FileFilters::withAllFiles(QStringLiteral("gif"), {QStringLiteral("gif")}));
    if (chosen.isEmpty() || !QFileInfo(chosen).isFile())
        return nullptr;
    // The folder, as every other dialog keeps it: a file path here made the next picture
    // dialog open with the GIF preselected.
    lastBrowseDirectory = QFileInfo(chosen).absolutePath();
    AppSettings().setLastFolder(AppSettings::Folder::Gif, lastBrowseDirectory);
    return importClip(parent, chosen, number, sampling);
}

MediaObject *LoadGifDialog::importClip(QWidget *parent, const QString &path, int number,
                                       SamplingMode sampling)
{
    LoadGifDialog dialog(path, parent);
    dialog.cut.sampling = sampling;
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    auto *clip = new MediaObject(number, path);
    clip->isGif = true;
    clip->origin = dialog.origin();
    clip->frames = dialog.takeFrames();
    return clip;
}

ClipOrigin LoadGifDialog::origin() const
{
    ClipOrigin o;
    o.source = ClipOrigin::Source::Gif;
    o.path = cut.path;
    o.zoomSteps = zoomSteps;
    o.shownSize = cut.shownSize;
    o.regionTopLeft = cut.topLeft;
    o.keepSpeed = cut.keepSpeed;
    return o;
}
