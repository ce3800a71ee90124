#include "ui/main/PreviewPane.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "ui/main/MainWindowForm.h"
#include "ui/main/RoundPreviewWidget.h"

#include <QPushButton>
#include <QShortcut>

PreviewPane::PreviewPane(const MainWindowForm &form, PlayMediaHandler *handler,
                         CustomTableModel *pictures, CustomTableModel *clips, QObject *parent)
    : QObject(parent), area(form.previewWidget), btnPlay(form.btnPlay), btnStop(form.btnStop),
      player(handler, clips, this),
      show(pictures, clips, form.showPositionBar, form.showLengthLabel, this),
      escape(new QShortcut(QKeySequence(Qt::Key_Escape), form.previewWidget->window()))
{
    // Only while something plays, so that Esc keeps its meaning everywhere else.
    escape->setEnabled(false);
    connect(escape, &QShortcut::activated, this, &PreviewPane::stopIfPlaying);
    setButtons(Buttons::None);
    area->showOutline();
    connect(&player, &ClipPlayer::frameShown, this, &PreviewPane::showItem);
    connect(&show, &ShowPlayer::frameShown, this, &PreviewPane::showItem);
    connect(&show, &ShowPlayer::started, this, [this] { setButtons(Buttons::Stop); });
    // The show's end puts the buttons back as the selection wants them.
    connect(&show, &ShowPlayer::stopped, this, [this] {
        setButtons(player.clip() ? Buttons::Play : Buttons::None);
        showSelected();
    });
}

void PreviewPane::setButtons(Buttons shown)
{
    btnPlay->setVisible(shown == Buttons::Play);
    btnStop->setVisible(shown == Buttons::Stop);
    escape->setEnabled(shown == Buttons::Stop);
}

void PreviewPane::showSelected()
{
    if (selectionMade)
        showItem(selected);
    else
        area->showOutline();
}

void PreviewPane::showItem(ImageObject *item)
{
    if (item)
        area->showPicture(item->loadSamplingPreview());
    else
        area->showBlank();
}

void PreviewPane::selectPicture(ImageObject *item)
{
    stopIfPlaying();
    setButtons(Buttons::None);
    selectionMade = true;
    selected = item;
    showItem(item);
}

void PreviewPane::selectClip(MediaObject *clip)
{
    stopIfPlaying();
    if (!clip) {
        selectionMade = true;
        selected = nullptr;
        player.setClip(nullptr);
        showItem(nullptr);
        setButtons(Buttons::None);
    } else if (!clip->frames.isEmpty()) {
        player.setClip(clip);
        selectionMade = true;
        selected = clip->frames.first();
        showItem(clip->frames.first());
        setButtons(Buttons::Play);
    }
}

void PreviewPane::play()
{
    if (player.play())
        setButtons(Buttons::Stop);
}

void PreviewPane::stop()
{
    if (show.isPlaying()) {
        show.stop();
        return;
    }
    player.stop();
    setButtons(Buttons::Play);
}

void PreviewPane::playShow()
{
    stopIfPlaying();
    show.play();
}

void PreviewPane::toggleShow()
{
    if (show.isPlaying())
        show.stop();
    else
        playShow();
}

void PreviewPane::stopIfPlaying()
{
    show.stop();
    if (player.isPlaying())
        stop();
}

void PreviewPane::forget(MediaObject *clip)
{
    player.forget(clip);
}

void PreviewPane::release()
{
    stopIfPlaying();
    player.setClip(nullptr);
}
