#pragma once

// Complete type, so the signal's item argument has a meta type (queued calls, spies).
#include "model/MediaObject.h"

#include "effect/PlayMediaHandler.h"
#include "ui/playlist/RowEditorWidget.h"

#include <QPointer>

class HandlerMessage;
class BoundedNumberValidator;
class QLineEdit;

// Row editor of the clip list: first-frame thumbnail, frame count and loop count with
// press-and-hold plus and minus buttons (codes 11 and 12, answered by the main window with
// repeatStep(), which steps the loop count by one).
class MediaObjectWidget : public RowEditorWidget
{
    Q_OBJECT
public:
    static constexpr int CodeLoopAdd = PlayMediaHandler::ClipLoopUpCode;
    static constexpr int CodeLoopDel = PlayMediaHandler::ClipLoopDownCode;
    static constexpr int MinLoopCount = 1;
    static constexpr int MaxLoopCount = 255;

    MediaObjectWidget(HandlerMessage *handler, MediaObject *item, const QModelIndex &index,
                      QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(MediaObjectWidget)

    // True while obj is a live clip row editor (GUI thread only).
    static bool isLive(const QObject *obj);

    MediaObject *mediaItem() const;
    QLabel *textLabel() const { return lblText; }
    QLabel *loopLabel() const { return lblLoop; }
    QLineEdit *loopField() const { return loopEdit; }

signals:
    void mediaIndexChanged(MediaObject *item, int oldIndex, int newIndex);

public slots:
    void onTimeEdit(const QString &value);
    void onCurrentIndexChanged(int index);

protected:
    bool step(bool up) override;
    // An open editor follows a new language.
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    // Sets the texts and places the controls, whose places depend on the texts' widths.
    void layOutTexts();

    QPointer<MediaObject> item;
    QLabel *lblText = nullptr;
    QLabel *lblLoop = nullptr;
    QLineEdit *loopEdit = nullptr;
    int thumbnailWidth = 0;
    BoundedNumberValidator *loopValidator = nullptr;
    // The stored count before the current typing began.
    int typedFrom = MinLoopCount;
};
