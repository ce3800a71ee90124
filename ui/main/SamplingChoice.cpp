#include "ui/main/SamplingChoice.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSignalBlocker>

namespace {
const QString kKey = QStringLiteral("conversion/sampling");
const QString kSmooth = QStringLiteral("smooth");
const QString kSharp = QStringLiteral("sharp");
// The program sets no organisation name; its settings are named here.
const QString kOrganisation = QStringLiteral("HologramDisplay");
const QString kApplication = QStringLiteral("HologramDisplay");
} // namespace

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
    const QSettings settings(kOrganisation, kApplication);
    return settings.value(kKey, kSharp).toString() == kSmooth ? SamplingMode::Smooth
                                                               : SamplingMode::Sharp;
}

void SamplingChoice::store(SamplingMode mode)
{
    QSettings settings(kOrganisation, kApplication);
    settings.setValue(kKey, mode == SamplingMode::Smooth ? kSmooth : kSharp);
}
