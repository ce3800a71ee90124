#include "ui/main/ShowPlayer.h"

#include "effect/EffectPlaylist.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/playlist/CustomTableModel.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>

ShowPlayer::ShowPlayer(CustomTableModel *pictures, CustomTableModel *clips, QProgressBar *bar,
                       QLabel *lengthLabel, QObject *parent)
    : QObject(parent), pictures(pictures), clips(clips), bar(bar), lengthLabel(lengthLabel)
{
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    connect(&ticker, &QTimer::timeout, this, [this] { showAt(clock.elapsed()); });
    watch(pictures);
    watch(clips);
    bar->hide();
    lengthLabel->installEventFilter(this);
    updateLength();
}

bool ShowPlayer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lengthLabel && event->type() == QEvent::LanguageChange)
        updateLength();
    return QObject::eventFilter(watched, event);
}

void ShowPlayer::watch(CustomTableModel *model)
{
    // Rows added, removed, reordered or changed change the show's length.
    connect(model, &QAbstractItemModel::rowsInserted, this, &ShowPlayer::updateLength);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ShowPlayer::updateLength);
    connect(model, &QAbstractItemModel::modelReset, this, &ShowPlayer::updateLength);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ShowPlayer::updateLength);
    connect(model, &QAbstractItemModel::dataChanged, this, &ShowPlayer::updateLength);
    // Before a row's item is destroyed, or the rows are put in another order.
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &ShowPlayer::stop);
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &ShowPlayer::stop);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &ShowPlayer::stop);
}

void ShowPlayer::setPlaylistSource(
    std::function<EffectPlaylist(const QList<ImageObject *> &, const QList<MediaObject *> &)> given)
{
    stop();
    source = std::move(given);
    updateLength();
}

EffectPlaylist ShowPlayer::currentPlaylist() const
{
    const QList<ImageObject *> pictureItems = pictures->itemsAs<ImageObject>();
    const QList<MediaObject *> clipItems = clips->itemsAs<MediaObject>();
    return source ? source(pictureItems, clipItems)
                  : EffectPlaylist::capture(pictureItems, clipItems);
}

ShowTimeline ShowPlayer::currentTimeline() const
{
    return ShowTimeline::fromPlaylist(currentPlaylist());
}

bool ShowPlayer::play()
{
    stop();
    const EffectPlaylist playlist = currentPlaylist();
    timeline = ShowTimeline::fromPlaylist(playlist);
    if (timeline.isEmpty())
        return false;
    // Record numbers follow the file: its play order (every picture, then every clip's
    // frames, unless transitions stand between them).
    records.clear();
    for (const EffectPlaylist::Entry &entry : playlist.playOrder()) {
        if (entry.isClip)
            records.append(playlist.clips[entry.index].records());
        else
            records.append(playlist.pictures[entry.index].item);
    }
    shownRecord = -1;
    playing = true;
    bar->setRange(0, int(qMin<qint64>(timeline.totalMs(), INT_MAX)));
    bar->show();
    clock.start();
    ticker.start();
    emit started();
    showAt(0);
    return true;
}

void ShowPlayer::stop()
{
    if (!playing)
        return;
    ticker.stop();
    playing = false;
    bar->hide();
    records.clear();
    emit stopped();
}

qint64 ShowPlayer::positionMs() const
{
    return playing ? qMin(clock.elapsed(), timeline.totalMs()) : 0;
}

void ShowPlayer::showAt(qint64 now)
{
    if (!playing)
        return;
    if (now >= timeline.totalMs()) {
        stop();
        return;
    }
    const int record = timeline.recordAt(now);
    if (record != shownRecord && record >= 0 && record < records.size()) {
        shownRecord = record;
        emit frameShown(records[record]);
    }
    bar->setValue(int(qMin<qint64>(now, INT_MAX)));
    bar->setFormat(tr("show_position")
                       .arg(ShowTimeline::lengthText(now),
                            ShowTimeline::lengthText(timeline.totalMs())));
}

void ShowPlayer::updateLength()
{
    // The window is built before its first catalogue is loaded; until then the bare key has
    // no place for the length, and the label waits for the language change to fill it.
    const QString format = tr("show_length");
    if (!format.contains(QLatin1String("%1"))) {
        lengthLabel->clear();
        return;
    }
    lengthLabel->setText(format.arg(ShowTimeline::lengthText(currentTimeline().totalMs())));
}
