#include "ui/dialogs/UpdateLineNumberDialog.h"

#include "app/AppGlobals.h"

UpdateLineNumberDialog::UpdateLineNumberDialog(QWidget *parent)
    : GeometryNumberDialog(kMaxLineNumber, lineNumber, parent)
{
    setTexts(tr("修改分辨率"), tr("分辨率："), tr("确定"), tr("取消"));
}
