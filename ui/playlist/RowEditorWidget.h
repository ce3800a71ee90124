#pragma once

#include <QMutex>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QColor>
#include <QWidget>

class HandlerMessage;
class QLabel;
class QPushButton;

// Common part of the playlist row editors: a value changed step by step with press-and-hold
// plus and minus buttons. Pressing a button sends its code to the handler with the editor as
// object; the main window answers every echo with repeatStep(), which makes one step and, while
// the button is still held, sends the code again 200 ms later. Subclasses build their controls
// and make the step itself.
class RowEditorWidget : public QWidget
{
    Q_OBJECT
public:
    ~RowEditorWidget() override;
    Q_DISABLE_COPY_MOVE(RowEditorWidget)

    // Performs one step of the plus or minus code under the editor's mutex. Returns true when
    // the step's button is still held, i.e. when the caller should send the code again after
    // 200 ms; false for a late echo after release, a foreign code or an item that no longer
    // exists.
    bool applyStep(int code);
    // applyStep() and, while the button is held, the next message 200 ms later, all under
    // the mutex: the whole answer to an echo of the plus or minus code.
    void repeatStep(int code);

    // True while obj is any live row editor (GUI thread only). An echo that names an editor
    // destroyed meanwhile must not be used.
    static bool isLive(const QObject *obj);

    QModelIndex modelIndex() const { return index; }
    QLabel *thumbnailLabel() const { return lblThumbnail; }
    QPushButton *plusButton() const { return btnPlus; }
    QPushButton *minusButton() const { return btnMinus; }
    // Code of the button being held, 0 when none.
    int heldButtonCode() const { return heldCode; }
    // Shows the item's number again: rows before it came or went.
    virtual void showNumber() {}

signals:
    // The row's display time or loop count changed on its item (the models do not hear of
    // it), typed into its field or stepped by its buttons. May be sent from the thread that
    // answers the plus and minus codes.
    void valueChanged(bool typed);

public slots:
    void onBtnTimeAddPreseed();
    void onBtnTimeAddReleased();
    void onBtnTimeDelPreseed();
    void onBtnTimeDelReleased();

protected:

    // plusCode and minusCode are the handler codes the two buttons send.
    RowEditorWidget(HandlerMessage *handler, const QModelIndex &index, int plusCode,
                    int minusCode, QWidget *parent);

    // Changes the row's value by one step up or down and shows it; false (and no change) when
    // the item no longer exists. Called under the mutex.
    virtual bool step(bool up) = 0;

    // The 60 x 60 thumbnail label at the editor's top left corner.
    void createThumbnail(const QImage &thumbnail);
    // The flat plus and minus buttons, wired to the onBtnTime... slots, which the subclass
    // places.
    void createStepButtons();

    void paintEvent(QPaintEvent *event) override;

    // Frames a field red while its text is not a value the row can hold.
    static void showValidity(QWidget *field, bool acceptable);

    QPointer<HandlerMessage> handler;
    QPersistentModelIndex index;
    QLabel *lblThumbnail = nullptr;
    QPushButton *btnPlus = nullptr;
    QPushButton *btnMinus = nullptr;
    // The clip editor traces its button slots.
    bool traceButtonSlots = false;

private:
    void press(int code);
    void release(int code);
    bool stepLocked(int code);
    void withdrawLateRepeat();

    const int plusCode;
    const int minusCode;
    QMutex mutex;
    int heldCode = 0;
    // A step was made since the button was last pressed (under the mutex).
    bool steppedSincePress = false;
    // The labels' colour on an unselected row.
    QColor plainText;
};
