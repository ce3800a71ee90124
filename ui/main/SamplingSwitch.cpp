#include "ui/main/SamplingSwitch.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/PlaylistConversion.h"
#include "ui/main/ConversionRun.h"
#include "ui/main/PlaylistController.h"
#include "ui/main/SamplingChoice.h"
#include "ui/playlist/CustomTableModel.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
std::function<SamplingSwitch::Answer(const SamplingSwitch::Question &)> &answerer()
{
    static std::function<SamplingSwitch::Answer(const SamplingSwitch::Question &)> hook;
    return hook;
}
} // namespace

void SamplingSwitch::setAnswerer(std::function<Answer(const Question &)> hook)
{
    answerer() = std::move(hook);
}

bool SamplingSwitch::offer(SamplingMode mode, QWidget *window, PlaylistController &playlists,
                           SamplingChoice &choice)
{
    const QList<ImageObject *> pictures = playlists.pictures()->itemsAs<ImageObject>();
    const QList<MediaObject *> clips = playlists.clips()->itemsAs<MediaObject>();
    Question question;
    question.mode = mode;
    const auto count = [&](const ImageObject *item) {
        if (!PlaylistConversion::convertible(item))
            ++question.withoutSource;
        else if (item->sampling != mode)
            ++question.toConvert;
    };
    for (const ImageObject *picture : pictures)
        count(picture);
    for (const MediaObject *clip : clips)
        for (const ImageObject *frame : clip->frames)
            count(frame);
    // Everything already has this sampling, or nothing could change.
    if (question.toConvert == 0 || playlists.refuse(PlaylistController::Replace))
        return false;
    if (put(question, window) != Answer::Convert)
        return false;
    PlaylistConversion conversion(pictures, clips,
                                  {QSize(ledCount.load(), lineNumber.load()), mode});
    const ConversionRun::Result result = ConversionRun::run(conversion, window, playlists);
    if (result == ConversionRun::Result::Cancelled)
        choice.restore(mode == SamplingMode::Smooth ? SamplingMode::Sharp : SamplingMode::Smooth);
    return result == ConversionRun::Result::Converted;
}

SamplingSwitch::Answer SamplingSwitch::put(const Question &question, QWidget *window)
{
    if (answerer())
        return answerer()(question);
    QMessageBox box(QMessageBox::Question, tr("dialog_title_tip"),
                    question.mode == SamplingMode::Smooth ? tr("sampling_now_smooth")
                                                          : tr("sampling_now_sharp"),
                    QMessageBox::NoButton, window);
    QString text = tr("sampling_convert_question").arg(question.toConvert);
    if (question.withoutSource > 0)
        text += u'\n' + tr("sampling_no_source").arg(question.withoutSource);
    text += u'\n' + tr("conversion_clears_history");
    box.setInformativeText(text);
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::No);
    box.button(QMessageBox::Ok)->setText(tr("action_btn_convert"));
    box.button(QMessageBox::No)->setText(tr("action_btn_keep_items"));
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Ok ? Answer::Convert : Answer::Keep;
}
