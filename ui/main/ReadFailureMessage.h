#pragma once

#include "effect/EffectFileCheck.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>

// What the user is told when an effect file cannot replace the playlist. The texts are the
// main window's, which shows them.
class ReadFailureMessage
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    // factory: the file is the factory effect beside the program (its own "missing" text).
    static QString text(const EffectFileCheck::Outcome &outcome, const QString &path,
                        const QSize &geometry, bool factory);
};
