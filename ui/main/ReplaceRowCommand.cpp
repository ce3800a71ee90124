#include "ui/main/ReplaceRowCommand.h"

#include "ui/playlist/CustomTableModel.h"

ReplaceRowCommand::ReplaceRowCommand(CustomTableModel *model, int row, QObject *replacement)
    : model(model), row(row), held(replacement)
{
}

ReplaceRowCommand::~ReplaceRowCommand()
{
    delete held;
}

void ReplaceRowCommand::redo()
{
    swap();
}

void ReplaceRowCommand::undo()
{
    swap();
}

void ReplaceRowCommand::swap()
{
    if (!held || row < 0 || row >= model->rowCount())
        return;
    QObject *out = model->takeRow(row);
    model->insertItem(row, held);
    held = out;
}
