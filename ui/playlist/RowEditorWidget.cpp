#include "ui/playlist/RowEditorWidget.h"

#include "loop/HandlerMessage.h"
#include "loop/Message.h"
#include "ui/playlist/RowGeometry.h"
#include "ui/UiLog.h"

#include <QDebug>
#include <QLabel>
#include <QMutexLocker>
#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QPushButton>
#include <QSet>

namespace {

QSet<const QObject *> &liveEditors()
{
    static QSet<const QObject *> editors;
    return editors;
}

} // namespace

RowEditorWidget::RowEditorWidget(HandlerMessage *handler, const QModelIndex &index, int plusCode,
                                 int minusCode, QWidget *parent)
    : QWidget(parent), handler(handler), index(index), plusCode(plusCode), minusCode(minusCode)
{
    liveEditors().insert(this);
    // Inside the view the editor would take the viewport's Base role, and its labels would
    // then write in the Text colour, which paintEvent() does not switch on the highlight.
    setBackgroundRole(QPalette::Window);
    plainText = palette().color(QPalette::WindowText);
}

RowEditorWidget::~RowEditorWidget()
{
    liveEditors().remove(this);
    // A row editor can close while its button is still held (row deleted, list reset):
    // no queued repeat may name it afterwards.
    if (handler) {
        if (heldCode != 0)
            handler->removeQueued(heldCode);
        handler->removeQueuedFor(this);
    }
}

bool RowEditorWidget::isLive(const QObject *obj)
{
    return obj != nullptr && liveEditors().contains(obj);
}

void RowEditorWidget::createThumbnail(const QImage &thumbnail)
{
    lblThumbnail = new QLabel(this);
    lblThumbnail->move(0, 0);
    lblThumbnail->setFixedSize(RowGeometry::ThumbnailSide, RowGeometry::ThumbnailSide);
    lblThumbnail->setPixmap(QPixmap::fromImage(thumbnail));
    lblThumbnail->setMouseTracking(true);
}

void RowEditorWidget::createStepButtons()
{
    const auto makeButton = [this](const QString &iconPath) {
        auto *button = new QPushButton(this);
        button->setFlat(true);
        button->setIcon(QIcon(iconPath));
        button->resize(RowGeometry::StepButtonWidth, RowGeometry::ControlHeight);
        button->setMouseTracking(true);
        return button;
    };
    btnPlus = makeButton(QStringLiteral(":/images/plus.png"));
    btnMinus = makeButton(QStringLiteral(":/images/moins.png"));
    connect(btnPlus, &QPushButton::pressed, this, &RowEditorWidget::onBtnTimeAddPreseed);
    connect(btnPlus, &QPushButton::released, this, &RowEditorWidget::onBtnTimeAddReleased);
    connect(btnMinus, &QPushButton::pressed, this, &RowEditorWidget::onBtnTimeDelPreseed);
    connect(btnMinus, &QPushButton::released, this, &RowEditorWidget::onBtnTimeDelReleased);
}

void RowEditorWidget::press(int code)
{
    heldCode = code;
    {
        QMutexLocker lock(&mutex);
        steppedSincePress = false;
    }
    if (!handler)
        return;
    auto *msg = new Message(handler, code);
    msg->object = this;
    handler->sendHandlerMessage(msg);
}

void RowEditorWidget::release(int code)
{
    if (heldCode == code)
        heldCode = 0;
    if (!handler)
        return;
    // A click quicker than the loop's answer (the loop busy a moment) leaves its press
    // queued: withdrawn with the repeats, it makes its one step here instead of none.
    const int withdrawn = handler->removeQueued(code);
    QMutexLocker lock(&mutex);
    if (withdrawn > 0 && !steppedSincePress)
        steppedSincePress = step(code == plusCode);
}

void RowEditorWidget::onBtnTimeAddPreseed()
{
    if (traceButtonSlots)
        qCDebug(lcUi) << "onBtnTimeAddPreseed";
    press(plusCode);
}

void RowEditorWidget::onBtnTimeAddReleased()
{
    if (traceButtonSlots)
        qCDebug(lcUi) << "onBtnTimeAddReleased";
    release(plusCode);
}

void RowEditorWidget::onBtnTimeDelPreseed()
{
    if (traceButtonSlots)
        qCDebug(lcUi) << "onBtnTimeDelPreseed";
    press(minusCode);
}

void RowEditorWidget::onBtnTimeDelReleased()
{
    if (traceButtonSlots)
        qCDebug(lcUi) << "onBtnTimeDelReleased";
    release(minusCode);
}

bool RowEditorWidget::applyStep(int code)
{
    QMutexLocker lock(&mutex);
    return stepLocked(code);
}

void RowEditorWidget::repeatStep(int code)
{
    QMutexLocker lock(&mutex);
    if (!stepLocked(code) || !handler)
        return;
    auto *next = new Message(handler, code);
    next->object = this;
    handler->sendHandlerMessageAfter(next, 200);
}

bool RowEditorWidget::stepLocked(int code)
{
    if ((code != plusCode && code != minusCode) || !step(code == plusCode))
        return false;
    steppedSincePress = true;
    if (heldCode == code)
        return true;
    withdrawLateRepeat();
    return false;
}

void RowEditorWidget::withdrawLateRepeat()
{
    // An echo that crossed the release still makes its step; a caller that sends the code
    // again regardless would restart the repetition with no button held. Withdraw such a
    // message once the caller has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (heldCode == 0 && handler)
                handler->removeQueuedFor(this);
        },
        Qt::QueuedConnection);
}

void RowEditorWidget::showValidity(QWidget *field, bool acceptable)
{
    if (!field || field->property("invalid").toBool() == !acceptable)
        return;
    field->setProperty("invalid", !acceptable);
    // The palette keeps the style's own frame; the text and its background turn red.
    // An empty palette inherits the window's again.
    QPalette palette;
    if (!acceptable) {
        palette = field->palette();
        palette.setColor(QPalette::Base, QColor(255, 200, 200));
        palette.setColor(QPalette::Text, Qt::darkRed);
    }
    field->setPalette(palette);
}

void RowEditorWidget::paintEvent(QPaintEvent *)
{
    // Every row carries its editor, so the editor shows whether its row is the selected one.
    const auto *view = parentWidget() ? qobject_cast<const QAbstractItemView *>(
                                            parentWidget()->parentWidget())
                                      : nullptr;
    const bool selected = view && view->selectionModel() && index.isValid()
                          && view->selectionModel()->isRowSelected(index.row(), index.parent());
    // Its labels stay readable on what it is drawn on: the highlighted text colour on the
    // highlight. Set only on a change, so the repaint it asks for sets nothing.
    const QColor text = selected ? palette().color(QPalette::HighlightedText) : plainText;
    if (palette().color(QPalette::WindowText) != text) {
        QPalette shown = palette();
        shown.setColor(QPalette::WindowText, text);
        setPalette(shown);
    }
    QPainter painter(this);
    painter.fillRect(rect(), selected ? palette().color(QPalette::Highlight)
                                      : palette().color(QPalette::Base));
}
