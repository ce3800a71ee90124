#include "ui/main/TransitionControls.h"

#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/TransitionDescription.h"
#include "motion/TransitionLinks.h"
#include "ui/main/TransitionCommand.h"
#include "ui/playlist/CustomTableModel.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

#include <memory>

namespace {

using Kind = TransitionDescription::Kind;

const Kind kKinds[] = {Kind::CrossFade, Kind::ClockWipe, Kind::IrisIn, Kind::IrisOut, Kind::SpinIn};
const double kLengths[] = {0.2, 0.5, 1.0, 1.5, 2.0, 3.0};
// The rows' thumbnail, and a button low enough to pass between two rows' controls.
constexpr int kThumbnailSide = 60;
constexpr int kButtonHeight = 18;

QString kindText(Kind kind)
{
    switch (kind) {
    case Kind::CrossFade:
        return TransitionControls::tr("transition_fade");
    case Kind::ClockWipe:
        return TransitionControls::tr("transition_clock");
    case Kind::IrisIn:
        return TransitionControls::tr("transition_iris_in");
    case Kind::IrisOut:
        return TransitionControls::tr("transition_iris_out");
    case Kind::SpinIn:
        return TransitionControls::tr("transition_spin");
    }
    return {};
}

} // namespace

TransitionControls::TransitionControls(TransitionLinks *links, CustomTableModel *pictures,
                                       CustomTableModel *clips, QTableView *pictureView,
                                       QTableView *clipView, QObject *parent)
    : QObject(parent), links(links), pictures(pictures), clips(clips), pictureView(pictureView),
      clipView(clipView)
{
    watch(pictures, pictureView);
    watch(clips, clipView);
    connect(links, &TransitionLinks::changed, this, &TransitionControls::placeButtons);
    follow();
}

TransitionControls::~TransitionControls()
{
    for (const QPointer<QToolButton> &button : std::as_const(buttons))
        delete button.data();
}

void TransitionControls::watch(CustomTableModel *model, QTableView *view)
{
    // Every change of what the show holds or plays; the links tell stale pairs themselves.
    connect(model, &QAbstractItemModel::rowsInserted, this, &TransitionControls::follow);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TransitionControls::follow);
    connect(model, &QAbstractItemModel::rowsMoved, this, &TransitionControls::follow);
    connect(model, &QAbstractItemModel::modelReset, this, &TransitionControls::follow);
    connect(model, &QAbstractItemModel::layoutChanged, this, &TransitionControls::follow);
    connect(model, &QAbstractItemModel::dataChanged, this, &TransitionControls::follow);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TransitionControls::placeButtons);
    view->viewport()->installEventFilter(this);
}

bool TransitionControls::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::LanguageChange)
        QTimer::singleShot(0, this, &TransitionControls::placeButtons);
    return QObject::eventFilter(watched, event);
}

void TransitionControls::follow()
{
    // A change made while following (a row editor refreshed) needs no second pass.
    if (following)
        return;
    following = true;
    links->follow(pictures->itemsAs<ImageObject>(), clips->itemsAs<MediaObject>());
    following = false;
    placeButtons();
}

QString TransitionControls::textOf(const QObject *item) const
{
    const std::optional<TransitionDescription> wanted = links->find(item);
    if (!wanted)
        return tr("transition_add");
    const QString text = tr("transition_label")
                             .arg(TransitionDescription::kindName(wanted->kind))
                             .arg(wanted->seconds);
    if (!links->failure(item).isEmpty())
        return text + QStringLiteral(" ⚠");
    if (!links->madeClip(item))
        return text + QStringLiteral(" …");
    return text;
}

QToolButton *TransitionControls::buttonOf(const QObject *item) const
{
    return buttons.value(item).data();
}

void TransitionControls::placeButtons()
{
    const QList<QObject *> pictureItems = pictures->itemList();
    const QList<QObject *> clipItems = clips->itemList();
    QList<QObject *> sequence = pictureItems + clipItems;
    // The last item of the show has nothing to give way to.
    QList<QObject *> withNext = sequence;
    if (!withNext.isEmpty())
        withNext.removeLast();
    // Buttons of items gone from the show, or now last, go.
    for (auto it = buttons.begin(); it != buttons.end();) {
        if (!it.value() || !withNext.contains(const_cast<QObject *>(it.key()))) {
            delete it.value().data();
            it = buttons.erase(it);
        } else {
            ++it;
        }
    }
    placeIn(pictureView, pictures, withNext);
    placeIn(clipView, clips, withNext);
}

void TransitionControls::placeIn(QTableView *view, CustomTableModel *model,
                                 const QList<QObject *> &withNext)
{
    for (int row = 0; row < model->itemCount(); ++row) {
        QObject *item = model->itemAt(row);
        if (!withNext.contains(item))
            continue;
        QPointer<QToolButton> &button = buttons[item];
        if (!button) {
            button = new QToolButton(view->viewport());
            button->setObjectName(QStringLiteral("transitionButton"));
            button->setAutoRaise(true);
            button->setPopupMode(QToolButton::InstantPopup);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            // Filled each time it opens, so it shows the choice as it is then.
            auto *menu = new QMenu(button);
            QPointer<QObject> guarded = item;
            connect(menu, &QMenu::aboutToShow, this, [this, guarded, menu] {
                menu->clear();
                if (guarded)
                    fill(menu, guarded);
            });
            button->setMenu(menu);
        }
        button->setText(textOf(item));
        button->setToolTip(links->failure(item));
        button->adjustSize();
        const QRect rect = view->visualRect(model->index(row, 0));
        // Astride the line between the row and the next, beside the thumbnails, where the
        // row editors leave room: it belongs to the pair, and stays in sight however wide
        // the list is.
        button->setFixedHeight(kButtonHeight);
        button->move(rect.left() + kThumbnailSide + 4, rect.bottom() + 1 - kButtonHeight / 2);
        button->setVisible(rect.isValid() && button->geometry().bottom() >= 0 &&
                           button->y() < view->viewport()->height());
        button->raise();
    }
}

QMenu *TransitionControls::menuFor(QObject *item, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    fill(menu, item);
    return menu;
}

void TransitionControls::fill(QMenu *menu, QObject *item)
{
    const std::optional<TransitionDescription> now = links->find(item);
    QPointer<QObject> guarded = item;
    auto *kinds = new QActionGroup(menu);
    QAction *none = menu->addAction(tr("transition_none"));
    none->setCheckable(true);
    none->setChecked(!now);
    kinds->addAction(none);
    connect(none, &QAction::triggered, this, [this, guarded] {
        if (guarded)
            choose(guarded, std::nullopt);
    });
    for (const Kind kind : kKinds) {
        QAction *action = menu->addAction(kindText(kind));
        action->setCheckable(true);
        action->setChecked(now && now->kind == kind);
        kinds->addAction(action);
        connect(action, &QAction::triggered, this, [this, guarded, kind] {
            if (!guarded)
                return;
            TransitionDescription wanted = links->find(guarded).value_or(TransitionDescription());
            wanted.kind = kind;
            choose(guarded, wanted);
        });
    }
    menu->addSeparator();
    QMenu *lengths = menu->addMenu(tr("transition_length"));
    auto *seconds = new QActionGroup(lengths);
    for (const double length : kLengths) {
        QAction *action = lengths->addAction(tr("transition_seconds").arg(length));
        action->setCheckable(true);
        action->setChecked(now && qFuzzyCompare(now->seconds, length));
        seconds->addAction(action);
        connect(action, &QAction::triggered, this, [this, guarded, length] {
            if (!guarded)
                return;
            TransitionDescription wanted = links->find(guarded).value_or(TransitionDescription());
            wanted.seconds = length;
            choose(guarded, wanted);
        });
    }
}

void TransitionControls::setHistory(QUndoStack *edits)
{
    history = edits;
}

void TransitionControls::choose(QObject *item, const std::optional<TransitionDescription> &wanted)
{
    if (refusal && refusal())
        return;
    // Nothing changes, or the links would refuse it: no step to undo.
    const std::optional<TransitionDescription> was = links->find(item);
    if (was == wanted || (wanted && !wanted->check()))
        return;
    auto command = std::make_unique<TransitionCommand>(links, item, was, wanted);
    if (history)
        history->push(command.release());
    else
        command->redo();
}
