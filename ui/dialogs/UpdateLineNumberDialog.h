#pragma once

#include "ui/dialogs/GeometryNumberDialog.h"

// Asks for the number of lines drawn per turn (1 to 600).
class UpdateLineNumberDialog : public GeometryNumberDialog
{
    Q_OBJECT
public:
    explicit UpdateLineNumberDialog(QWidget *parent = nullptr);
};
