#include "ui/main/ToolBarFit.h"

#include <QEvent>
#include <QResizeEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

ToolBarFit::ToolBarFit(QToolBar *bar) : QObject(bar), bar(bar)
{
    bar->installEventFilter(this);
    // Buttons added as widgets follow the toolbar's style as its own buttons do.
    connect(bar, &QToolBar::toolButtonStyleChanged, this, [this](Qt::ToolButtonStyle style) {
        for (QToolButton *button : this->bar->findChildren<QToolButton *>()) {
            if (button->objectName() != QLatin1String("qt_toolbar_ext_button"))
                button->setToolButtonStyle(style);
        }
    });
}

bool ToolBarFit::eventFilter(QObject *watched, QEvent *event)
{
    // New texts are set after the language change reaches the window: measured afterwards.
    // Only a change of width matters; a new style changes the height alone.
    const bool wider = event->type() == QEvent::Resize
                       && static_cast<QResizeEvent *>(event)->oldSize().width()
                              != static_cast<QResizeEvent *>(event)->size().width();
    if (watched == bar && !pending
        && (wider || event->type() == QEvent::LanguageChange || event->type() == QEvent::Show)) {
        pending = true;
        QTimer::singleShot(0, this, [this] {
            pending = false;
            fit();
        });
    }
    return QObject::eventFilter(watched, event);
}

void ToolBarFit::fit()
{
    if (fitting || !bar->isVisible())
        return;
    fitting = true;
    // The room the texts need is measured with the texts shown.
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const int needed = bar->sizeHint().width();
    if (bar->width() < needed)
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    fitting = false;
}
