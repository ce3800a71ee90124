#include "ui/main/SamplingChoice.h"

#include "app/AppSettings.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

SamplingChoice::SamplingChoice(QMenu *menu, QObject *parent)
    : QObject(parent)
{
    menu->addSeparator();
    smoothAction = menu->addAction(QString());
    smoothAction->setObjectName(QStringLiteral("actionSmoothSampling"));
    smoothAction->setCheckable(true);
    smoothAction->setChecked(stored() == SamplingMode::Smooth);
    connect(smoothAction, &QAction::toggled, this, [this](bool smooth) {
        const SamplingMode mode = smooth ? SamplingMode::Smooth : SamplingMode::Sharp;
        store(mode);
        emit switched(mode);
    });
    retranslate();
}

void SamplingChoice::retranslate()
{
    smoothAction->setText(tr("action_title_smooth_sampling"));
    smoothAction->setStatusTip(tr("action_tip_smooth_sampling"));
    smoothAction->setToolTip(tr("action_tip_smooth_sampling"));
}

void SamplingChoice::restore(SamplingMode mode)
{
    const QSignalBlocker quiet(smoothAction);
    smoothAction->setChecked(mode == SamplingMode::Smooth);
    store(mode);
}

SamplingMode SamplingChoice::stored()
{
    return AppSettings().smoothSampling() ? SamplingMode::Smooth : SamplingMode::Sharp;
}

void SamplingChoice::store(SamplingMode mode)
{
    AppSettings().setSmoothSampling(mode == SamplingMode::Smooth);
}
