#include "ui/main/RemoveRowCommand.h"

#include "ui/playlist/CustomTableModel.h"

RemoveRowCommand::RemoveRowCommand(CustomTableModel *model, int row) : model(model), row(row) {}

RemoveRowCommand::~RemoveRowCommand()
{
    delete held;
}

void RemoveRowCommand::redo()
{
    if (!held)
        held = model->takeRow(row);
}

void RemoveRowCommand::undo()
{
    if (!held)
        return;
    model->insertItem(row, held);
    held = nullptr;
}
