#include "ui/main/GeometryChange.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "show/PlaylistConversion.h"
#include "ui/UiLog.h"
#include "ui/dialogs/UpdateLedCountDialog.h"
#include "ui/dialogs/UpdateLineNumberDialog.h"
#include "ui/main/ConversionRun.h"
#include "ui/main/PlaylistController.h"
#include "ui/playlist/CustomTableModel.h"

#include <QDebug>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

namespace {
std::function<GeometryChange::Answer(const GeometryChange::Question &)> &answerer()
{
    static std::function<GeometryChange::Answer(const GeometryChange::Question &)> hook;
    return hook;
}
} // namespace

void GeometryChange::setAnswerer(std::function<Answer(const Question &)> hook)
{
    answerer() = std::move(hook);
}

bool GeometryChange::ask(Dimension dimension, QWidget *window, PlaylistController &playlists)
{
    if (playlists.refuse(PlaylistController::Replace))
        return false;
    std::unique_ptr<GeometryNumberDialog> dialog;
    if (dimension == LedCount)
        dialog = std::make_unique<UpdateLedCountDialog>(window);
    else
        dialog = std::make_unique<UpdateLineNumberDialog>(window);
    dialog->setFixedSize(250, 100);
    if (dialog->exec() != QDialog::Accepted)
        return false;
    return change(dimension, dialog->value(), window, playlists);
}

bool GeometryChange::change(Dimension dimension, int value, QWidget *window,
                            PlaylistController &playlists)
{
    const bool leds = dimension == LedCount;
    std::atomic<int> &number = leds ? ledCount : lineNumber;
    if (value == number)
        return false;
    qCDebug(lcUi).noquote() << (leds ? "#MainWindow# onBtnLedCount() "
                                     : "#MainWindow# onBtnLineNumber() ")
                            << value;
    if (playlists.refuse(PlaylistController::Replace))
        return false;
    const int pictureCount = playlists.pictures()->itemCount();
    const int clipCount = playlists.clips()->itemCount();
    // Nothing was made for the old geometry: nothing to ask.
    if (pictureCount == 0 && clipCount == 0) {
        number = value;
        return true;
    }
    Question question{Question::Lists, dimension, number.load(), value, pictureCount, clipCount};
    const Answer answer = put(question, window);
    if (answer == Answer::Clear) {
        playlists.clear();
        number = value;
        return true;
    }
    if (answer != Answer::Convert)
        return false;

    const QSize geometry = leds ? QSize(value, lineNumber.load()) : QSize(ledCount.load(), value);
    PlaylistConversion conversion(playlists.pictures()->itemsAs<ImageObject>(),
                                  playlists.clips()->itemsAs<MediaObject>(), {geometry, {}});
    const int lostPictures = int(conversion.unconvertiblePictures().size());
    const int lostClips = int(conversion.unconvertibleClips().size());
    if (lostPictures + lostClips > 0) {
        question.kind = Question::Unconvertible;
        question.pictures = lostPictures;
        question.clips = lostClips;
        if (put(question, window) != Answer::RemoveUnconvertible)
            return false;
    }
    if (ConversionRun::run(conversion, window, playlists) != ConversionRun::Result::Converted)
        return false;
    number = value;
    return true;
}

GeometryChange::Answer GeometryChange::put(const Question &question, QWidget *window)
{
    if (answerer())
        return answerer()(question);
    const bool leds = question.dimension == LedCount;
    QMessageBox box(QMessageBox::Question, tr("dialog_title_tip"),
                    leds ? tr("LED数量被修改.") : tr("分辨率被修改."), QMessageBox::NoButton,
                    window);
    box.setInformativeText(tr("geometry_new_value").arg(question.from).arg(question.to) + u'\n'
                           + (question.kind == Question::Lists
                                  ? tr("geometry_convert_question")
                                  : tr("geometry_no_source")
                                        .arg(question.pictures)
                                        .arg(question.clips))
                           + u'\n' + tr("conversion_clears_history"));
    // Standard buttons under their own texts: Escape and the window's close cancel.
    if (question.kind == Question::Lists) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Discard | QMessageBox::Cancel);
        box.button(QMessageBox::Ok)->setText(tr("action_btn_convert"));
        box.button(QMessageBox::Discard)->setText(tr("action_btn_clear_lists"));
    } else {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.button(QMessageBox::Ok)->setText(tr("action_btn_remove_unconvertible"));
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return question.kind == Question::Lists ? Answer::Convert : Answer::RemoveUnconvertible;
    case QMessageBox::Discard:
        return Answer::Clear;
    default:
        break;
    }
    return Answer::Cancel;
}
