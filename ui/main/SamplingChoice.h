#pragma once

#include "model/SamplingMode.h"

#include <QObject>

class QAction;
class QMenu;

// The window's choice of how pictures are sampled from now on: a checkable "smooth
// sampling" action in the Tools menu, remembered between runs. Items converted earlier keep
// the mode they were converted with unless they are converted again (see SamplingSwitch).
class SamplingChoice : public QObject
{
    Q_OBJECT
public:
    // Appends the action to menu after a separator, checked as last chosen.
    SamplingChoice(QMenu *menu, QObject *parent = nullptr);

    QAction *action() const { return smoothAction; }
    void retranslate();
    // Takes mode back as the choice (stored and shown) without announcing a switch.
    void restore(SamplingMode mode);

    // The mode last chosen; sharp until smooth is chosen. Safe on any thread.
    static SamplingMode stored();
    static void store(SamplingMode mode);

signals:
    // The user chose mode (already stored).
    void switched(SamplingMode mode);

private:
    QAction *smoothAction = nullptr;
};
