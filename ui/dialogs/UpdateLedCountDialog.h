#pragma once

#include "ui/dialogs/GeometryNumberDialog.h"

// Asks for the LED count along the blade (1 to 500).
class UpdateLedCountDialog : public GeometryNumberDialog
{
    Q_OBJECT
public:
    explicit UpdateLedCountDialog(QWidget *parent = nullptr);
};
