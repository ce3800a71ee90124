#pragma once

#include "ui/main/RowValueCommand.h"

// A picture's contrast changed (the slider's value, ten times the factor). Undone and redone by
// converting the picture again with the other value; the changes made while one contrast
// dialog is open on one picture merge into one command.
class ContrastCommand : public RowValueCommand
{
public:
    using RowValueCommand::RowValueCommand;
    int id() const override { return 2; }

protected:
    // A slider's changes come however slowly it is dragged.
    bool joins(const RowValueCommand &) const override { return true; }
};
