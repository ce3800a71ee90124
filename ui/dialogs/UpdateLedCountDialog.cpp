#include "ui/dialogs/UpdateLedCountDialog.h"

#include "app/AppGlobals.h"

UpdateLedCountDialog::UpdateLedCountDialog(QWidget *parent)
    : GeometryNumberDialog(kMaxLedCount, ledCount, parent)
{
    setTexts(tr("修改LED数量"), tr("LED数量："), tr("确定"), tr("取消"));
}
