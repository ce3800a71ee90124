#include "ui/diy/DiyPictureEditor.h"

#include "app/AppGlobals.h"
#include "ui/diy/DiyForm.h"
#include "ui/diy/DiyPainter.h"
#include "model/ImageObject.h"
#include "model/ReadImageThread.h"
#include "ui/main/SamplingChoice.h"
#include "ui/UiLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

namespace {

bool runForm(DiyForm &form, QWidget *window)
{
    form.resize(window->size());
    return form.exec() == QDialog::Accepted && !form.outputImage().isNull();
}

} // namespace

ImageObject *DiyPictureEditor::drawNew(QWidget *window, int number)
{
    DiyForm form(QString(), languageCode, window);
    ensureWorkDirectory();
    // The number is taken only by a drawing that is kept.
    const int n = diyCounter.load();
    const QString path = workFilePath(QStringLiteral("diy_%1.png").arg(n));
    form.setOutputPath(path);
    if (!runForm(form, window))
        return nullptr;
    diyCounter.fetch_add(1);
    auto *item = new ImageObject(number, path, 5.0, ImageObject::KindDiy);
    item->sampling = SamplingChoice::stored();
    convertPicture(form.outputImage(), item);
    return item;
}

bool DiyPictureEditor::editPicture(QWidget *window, ImageObject *item)
{
    // The edit button can be stale (the row deleted or replaced since): look again.
    if (!item || (item->kind != ImageObject::KindPictureFile && item->kind != ImageObject::KindDiy))
        return false;
    qCDebug(lcUi) << "#MainWindow# onBtnEditDiy() " << item->sourcePath;
    DiyForm form(item->sourcePath, languageCode, window);
    if (!form.painter()->hasPicture()) {
        QMessageBox::warning(window, QCoreApplication::translate("DiyForm", "dialog_title_tip"),
                             QCoreApplication::translate("DiyForm", "diyform_open_failed")
                                 .arg(QFileInfo(item->sourcePath).fileName()));
        return false;
    }
    const QString path = editedPath(item->sourcePath);
    form.setOutputPath(path);
    if (!runForm(form, window))
        return false;
    item->sourcePath = path;
    item->prepareThumbnail();
    convertPicture(form.outputImage(), item);
    return true;
}

QString DiyPictureEditor::editedPath(const QString &sourcePath)
{
    const QFileInfo info(sourcePath);
    if (info.suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        return sourcePath;
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".png"));
}
