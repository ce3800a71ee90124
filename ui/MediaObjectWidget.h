#pragma once

// Complete type, so the signal's item argument has a meta type (queued calls, spies).
#include "model/MediaObject.h"

#include <QMutex>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWidget>

class HandlerMessage;
class QLabel;
class QLineEdit;
class QPushButton;

// Row editor of the clip list: first-frame thumbnail, frame count and loop count with
// press-and-hold plus and minus buttons (codes 11 and 12, answered by the main window with
// applyStep() and a new message 200 ms later).
class MediaObjectWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int CodeLoopAdd = 11;
    static constexpr int CodeLoopDel = 12;
    static constexpr int MinLoopCount = 1;
    static constexpr int MaxLoopCount = 255;

    MediaObjectWidget(HandlerMessage *handler, MediaObject *item, const QModelIndex &index,
                      QWidget *parent = nullptr);
    ~MediaObjectWidget() override;
    Q_DISABLE_COPY_MOVE(MediaObjectWidget)

    // Performs one step of code 11 or 12 under the widget's mutex and writes the new loop
    // count into the loop field. Returns true when the step's button is still held (send the
    // code again after 200 ms); false for a late echo after release, a foreign code or an
    // item that no longer exists.
    bool applyStep(int code);
    // applyStep() and, while the button is held, the next message 200 ms later.
    void repeatStep(int code);

    // True while obj is a live clip row editor (GUI thread only).
    static bool isLive(const QObject *obj);

    MediaObject *mediaItem() const;
    QModelIndex modelIndex() const { return index; }
    QLabel *textLabel() const { return lblText; }
    QLabel *loopLabel() const { return lblLoop; }
    QLineEdit *loopField() const { return loopEdit; }
    QPushButton *plusButton() const { return btnPlus; }
    QPushButton *minusButton() const { return btnMinus; }
    int heldButtonCode() const { return heldCode; }

signals:
    void mediaIndexChanged(MediaObject *item, int oldIndex, int newIndex);

public slots:
    void onBtnTimeAddPreseed();
    void onBtnTimeAddReleased();
    void onBtnTimeDelPreseed();
    void onBtnTimeDelReleased();
    void onTimeEdit(const QString &value);
    void onCurrentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void press(int code);
    void release(int code);
    bool stepLocked(int code);
    void withdrawLateRepeat();

    QPointer<HandlerMessage> handler;
    QPointer<MediaObject> item;
    QPersistentModelIndex index;
    QMutex mutex;
    QLabel *lblThumbnail = nullptr;
    QLabel *lblText = nullptr;
    QLabel *lblLoop = nullptr;
    QLineEdit *loopEdit = nullptr;
    QPushButton *btnPlus = nullptr;
    QPushButton *btnMinus = nullptr;
    int heldCode = 0;
};
