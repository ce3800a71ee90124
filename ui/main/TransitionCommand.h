#pragma once

#include "motion/TransitionDescription.h"

#include <QPointer>
#include <QUndoCommand>

#include <optional>

class QObject;
class TransitionLinks;

// The transition after an item set, changed or taken away (nullopt) with the button between
// two rows. Done and undone through the links, which make the transition again for the pair
// the item stands between then. Does nothing once the item or the links are gone.
class TransitionCommand : public QUndoCommand
{
public:
    TransitionCommand(TransitionLinks *links, QObject *before,
                      std::optional<TransitionDescription> was,
                      std::optional<TransitionDescription> wanted);
    Q_DISABLE_COPY_MOVE(TransitionCommand)

    void redo() override;
    void undo() override;

private:
    void apply(const std::optional<TransitionDescription> &description);

    QPointer<TransitionLinks> links;
    QPointer<QObject> before;
    const std::optional<TransitionDescription> was;
    const std::optional<TransitionDescription> wanted;
};
