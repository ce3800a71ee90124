#pragma once

#include <QGroupBox>
#include <QHBoxLayout>

// The flat, 40-pixel-high strip that holds a dialog's buttons at its foot (import, busy and
// geometry dialogs alike).
inline QGroupBox *makeFlatButtonGroup(QWidget *parent, QWidget *buttons)
{
    auto *group = new QGroupBox(parent);
    group->setFlat(true);
    group->setFixedHeight(40);
    auto *layout = new QHBoxLayout(group);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buttons);
    return group;
}
