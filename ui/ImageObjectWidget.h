#pragma once

// Complete type, so the signal's item argument has a meta type (queued calls, spies).
#include "model/ImageObject.h"

#include <QMutex>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWidget>

class HandlerMessage;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Row editor of the picture list: thumbnail, play position, display time with press-and-hold
// plus and minus buttons. Holding a button sends code 9 (plus) or 10 (minus) to the handler;
// the main window answers every echo with applyStep() and sends the code again 200 ms later.
class ImageObjectWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int CodeTimeAdd = 9;
    static constexpr int CodeTimeDel = 10;
    static constexpr int OrderEntries = 50;

    ImageObjectWidget(HandlerMessage *handler, ImageObject *item, const QModelIndex &index,
                      QWidget *parent = nullptr);
    ~ImageObjectWidget() override;
    Q_DISABLE_COPY_MOVE(ImageObjectWidget)

    // Performs one step of code 9 or 10 under the widget's mutex and writes the new time
    // into the time field. Returns true when the step's button is still held, i.e. when the
    // caller should send the code again after 200 ms; false for a late echo after release,
    // a foreign code or an item that no longer exists.
    bool applyStep(int code);
    // applyStep() and, while the button is held, the next message 200 ms later, all under
    // the mutex: the whole answer to an echo of code 9 or 10.
    void repeatStep(int code);

    // True while obj is a live picture row editor (GUI thread only). An echo that names an
    // editor destroyed meanwhile must not be used.
    static bool isLive(const QObject *obj);

    ImageObject *imageItem() const;
    QModelIndex modelIndex() const { return index; }
    QComboBox *orderBox() const { return orderCombo; }
    QLineEdit *timeField() const { return timeEdit; }
    QPushButton *plusButton() const { return btnPlus; }
    QPushButton *minusButton() const { return btnMinus; }
    QLabel *thumbnailLabel() const { return lblThumbnail; }
    // Code of the button being held, 0 when none.
    int heldButtonCode() const { return heldCode; }

signals:
    void imageIndexChanged(ImageObject *item, int oldIndex, int newIndex);

public slots:
    void onBtnTimeAddPreseed();
    void onBtnTimeAddReleased();
    void onBtnTimeDelPreseed();
    void onBtnTimeDelReleased();
    void onTimeEdit(const QString &value);
    void onCurrentIndexChanged(int index);
    void onImageContractChanged(ImageObjectWidget *widget);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void buildControls();
    void press(int code);
    void release(int code);
    bool stepLocked(int code);
    void withdrawLateRepeat();

    QPointer<HandlerMessage> handler;
    QPointer<ImageObject> item;
    QPersistentModelIndex index;
    QLabel *lblThumbnail = nullptr;
    QLabel *lblSpacer = nullptr;
    QLabel *lblUnit = nullptr;
    QComboBox *orderCombo = nullptr;
    QLineEdit *timeEdit = nullptr;
    QPushButton *btnPlus = nullptr;
    QPushButton *btnMinus = nullptr;
    QMutex mutex;
    int heldCode = 0;
};
