#include "ui/main/GeometryChange.h"

#include "app/AppGlobals.h"
#include "ui/UiLog.h"
#include "ui/dialogs/UpdateLedCountDialog.h"
#include "ui/dialogs/UpdateLineNumberDialog.h"
#include "ui/main/PlaylistController.h"

#include <QDebug>
#include <QMessageBox>

#include <memory>

bool GeometryChange::ask(Dimension dimension, QWidget *window, PlaylistController &playlists)
{
    if (playlists.refuse(PlaylistController::Replace))
        return false;
    const bool leds = dimension == LedCount;
    std::atomic<int> &number = leds ? ledCount : lineNumber;
    std::unique_ptr<GeometryNumberDialog> dialog;
    if (leds)
        dialog = std::make_unique<UpdateLedCountDialog>(window);
    else
        dialog = std::make_unique<UpdateLineNumberDialog>(window);
    dialog->setFixedSize(250, 100);
    if (dialog->exec() != QDialog::Accepted || dialog->value() == number)
        return false;
    const int value = dialog->value();
    qCDebug(lcUi).noquote() << (leds ? "#MainWindow# onBtnLedCount() "
                                     : "#MainWindow# onBtnLineNumber() ")
                            << value;
    QMessageBox box(QMessageBox::NoIcon, tr("dialog_title_tip"),
                    leds ? tr("LED数量被修改.") : tr("分辨率被修改."),
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.setInformativeText(tr("geometry_new_value").arg(number.load()).arg(value) + u'\n'
                           + tr("所有的打开的图片效果将会被删除，是否继续？"));
    box.setDefaultButton(QMessageBox::Ok);
    if (box.exec() != QMessageBox::Ok)
        return false;
    playlists.clear();
    number = value;
    return true;
}
