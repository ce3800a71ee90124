#include "ui/main/TransitionCommand.h"

#include "motion/TransitionLinks.h"

TransitionCommand::TransitionCommand(TransitionLinks *links, QObject *before,
                                     std::optional<TransitionDescription> was,
                                     std::optional<TransitionDescription> wanted)
    : links(links), before(before), was(std::move(was)), wanted(std::move(wanted))
{
}

void TransitionCommand::redo()
{
    apply(wanted);
}

void TransitionCommand::undo()
{
    apply(was);
}

void TransitionCommand::apply(const std::optional<TransitionDescription> &description)
{
    if (!links || !before)
        return;
    if (description)
        links->set(before, *description);
    else
        links->remove(before);
}
