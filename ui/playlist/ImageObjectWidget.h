#pragma once

// Complete type, so the signal's item argument has a meta type (queued calls, spies).
#include "model/ImageObject.h"

#include "effect/PlayMediaHandler.h"
#include "ui/playlist/RowEditorWidget.h"

#include <QPointer>

class BoundedNumberValidator;
class HandlerMessage;
class QComboBox;
class QLineEdit;

// Row editor of the picture list: thumbnail, play position, display time with press-and-hold
// plus and minus buttons. Holding a button sends code 9 (plus) or 10 (minus) to the handler;
// the main window answers every echo with repeatStep(), which steps the display time by 0.2 s.
class ImageObjectWidget : public RowEditorWidget
{
    Q_OBJECT
public:
    static constexpr int CodeTimeAdd = PlayMediaHandler::PictureTimeUpCode;
    static constexpr int CodeTimeDel = PlayMediaHandler::PictureTimeDownCode;
    static constexpr int OrderEntries = 50;

    ImageObjectWidget(HandlerMessage *handler, ImageObject *item, const QModelIndex &index,
                      QWidget *parent = nullptr);
    ~ImageObjectWidget() override;
    Q_DISABLE_COPY_MOVE(ImageObjectWidget)

    // True while obj is a live picture row editor (GUI thread only).
    static bool isLive(const QObject *obj);

    ImageObject *imageItem() const;
    QComboBox *orderBox() const { return orderCombo; }
    QLineEdit *timeField() const { return timeEdit; }
    void showNumber() override;
    // Reads the item's thumbnail again: the editor keeps what it read when it was made.
    void showThumbnail();

signals:
    void imageIndexChanged(ImageObject *item, int oldIndex, int newIndex);

public slots:
    void onTimeEdit(const QString &value);
    void onCurrentIndexChanged(int index);
    void onImageContractChanged(ImageObjectWidget *widget);

protected:
    bool step(bool up) override;
    // An open editor follows a new language.
    void changeEvent(QEvent *event) override;

private:
    void buildControls();
    void retranslate();
    QLabel *makeLabel(const QRect &rect);

    QPointer<ImageObject> item;
    QLabel *lblSpacer = nullptr;
    QLabel *lblUnit = nullptr;
    QComboBox *orderCombo = nullptr;
    QLineEdit *timeEdit = nullptr;
    BoundedNumberValidator *timeValidator = nullptr;
    // The stored time before the current typing began.
    double typedFrom = 0.0;
};
