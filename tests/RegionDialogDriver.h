#pragma once

#include "ui/import/GetImgeLocationDialog.h"

#include <QObject>
#include <QTimer>

// Confirms a region dialog as it opens. OK is pressed until it takes: before the dialog's
// first layout the marker is not yet placed, and OK then only centres it. The timer goes
// with the dialog. False when modal is not a region dialog.
inline bool confirmRegionDialog(QWidget *modal)
{
    auto *region = qobject_cast<GetImgeLocationDialog *>(modal);
    if (!region)
        return false;
    auto *press = new QTimer(region);
    QObject::connect(press, &QTimer::timeout, region, [region] { region->onBtnOk(); });
    press->start(20);
    return true;
}
