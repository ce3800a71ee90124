#include "ui/import/LoadImagesDialog.h"

#include "ui/main/FlatButtonGroup.h"

#include "app/AppGlobals.h"
#include "model/ImageObject.h"
#include "ui/import/LoadImagesHandler.h"
#include "ui/UiLog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaMethod>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

LoadImagesDialog::LoadImagesDialog(const QStringList &files, QWidget *parent)
    : QDialog(parent), queue(files)
{
    setObjectName(QStringLiteral("LoadImagesDialog"));
    buildForm();
    totalCount = static_cast<int>(files.size());
    progressBar->setRange(0, totalCount);
    progressBar->setValue(0);
    // No placeholder stands before the first report.
    lblProgress->setText(tr("loadimg_loading_tip").arg(0).arg(totalCount));
    lblPath->setText(tr("loadimg_loading_showpath").arg(QString()));
    for (qsizetype i = 0; i < queue.size(); ++i)
        indicesOfPath[queue.at(i)].append(i);
    startWorkers();
}

LoadImagesDialog::~LoadImagesDialog()
{
    qCDebug(lcUi) << "~LoadImagesDialog()";
    stopWorkers();
    qDeleteAll(workers);
    workers.clear();
    dropWaiting();
}

void LoadImagesDialog::buildForm()
{
    buttonBox = new QDialogButtonBox(this);
    btnLoadOver = buttonBox->addButton(tr("action_btn_load_over"), QDialogButtonBox::YesRole);
    btnCancel = buttonBox->addButton(tr("action_btn_cancel"), QDialogButtonBox::NoRole);
    btnLoadOver->setObjectName(QStringLiteral("btnLoadOver"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnLoadOver->setEnabled(false);
    // Yes and No roles emit clicked only; map them onto accept and reject.
    connect(buttonBox, &QDialogButtonBox::clicked, this, [this](QAbstractButton *button) {
        if (button == btnLoadOver)
            accept();
        else
            reject();
    });

    QGroupBox *group = makeFlatButtonGroup(this, buttonBox);

    lblProgress = new QLabel(tr("loadimg_loading_tip"), this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setMinimumHeight(25);
    lblPath = new QLabel(tr("loadimg_loading_showpath"), this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setMinimumHeight(25);
    // Files dealt with (converted or refused) of all chosen.
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 0);
    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    lblPreview->setFixedSize(300, 300);
    lblPreview->setAlignment(Qt::AlignCenter);

    auto *previewRow = new QHBoxLayout;
    previewRow->setSpacing(10);
    previewRow->setContentsMargins(0, 0, 0, 0);
    previewRow->addWidget(lblPreview);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblProgress);
    layout->addWidget(lblPath);
    layout->addWidget(progressBar);
    layout->addLayout(previewRow);
    layout->addWidget(group);

    setWindowTitle(tr("loadimg_window_title"));
}

void LoadImagesDialog::startWorkers()
{
    const int count = qMin(totalCount, MaxWorkers);
    for (int i = 0; i < count; ++i) {
        auto *worker = new LoadImagesHandler(this);
        workers.append(worker);
        // Queued without waiting: a worker goes on with its picture while the GUI thread
        // shows the preview and appends the item, so both cores stay busy. Reports of one
        // worker arrive in the order it sent them; stopWorkers() delivers the ones still on
        // their way.
        connect(worker, &LoadImagesHandler::handlerMessage, this,
                &LoadImagesDialog::handlerMessage, Qt::QueuedConnection);
        worker->start(QThread::InheritPriority);
    }
}

QString LoadImagesDialog::takeNextPath()
{
    if (stopped)
        return QString();
    const qsizetype index = nextIndex.fetch_add(1);
    return index < queue.size() ? queue.at(index) : QString();
}

int LoadImagesDialog::activeWorkerCount() const
{
    int count = 0;
    for (const LoadImagesHandler *worker : workers) {
        if (!worker->isFinished() && worker->QThread::isRunning())
            ++count;
    }
    return count;
}

void LoadImagesDialog::stopWorkers(bool finishCurrent)
{
    stopped = true;
    if (!finishCurrent)
        discarding = true;
    if (!finishCurrent) {
        for (LoadImagesHandler *worker : workers)
            worker->stop();
    }
    // Reports posted to this dialog (and only those) are delivered while waiting and once
    // every worker has ended, so none is left behind with its item.
    for (LoadImagesHandler *worker : workers) {
        while (!worker->wait(10))
            QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    discarding = true;
}

void LoadImagesDialog::done(int result)
{
    stopWorkers(result == QDialog::Accepted);
    if (result == QDialog::Accepted)
        deliverInOrder(true);
    dropWaiting();
    if (!unreadable.isEmpty())
        reportUnreadableFiles();
    QDialog::done(result);
}

void LoadImagesDialog::handlerMessage(int code, const QString &path, const QImage &image,
                                      QObject *item, const QString &reason)
{
    if (discarding) {
        // The import was cancelled: the report is dropped, and with it the converted item.
        dropItem(code, path, item);
        return;
    }
    switch (code) {
    case LoadImagesHandler::CodeShown:
        ++doneCount;
        lblPreview->setPixmap(QPixmap::fromImage(image));
        lblProgress->setText(tr("loadimg_loading_tip").arg(doneCount).arg(totalCount));
        lblPath->setText(tr("loadimg_loading_showpath").arg(shownName(path)));
        break;
    case LoadImagesHandler::CodeConverted:
        if (auto *picture = qobject_cast<ImageObject *>(item))
            finish(path, {picture, QString()});
        else
            finish(path, {nullptr, path});
        noteProcessed(path);
        break;
    case LoadImagesHandler::CodeUnreadable:
        // Not appended as an empty picture: remembered and reported once at the end.
        ++doneCount;
        unreadable.append(path);
        unreadableReasons.append(reason);
        finish(path, {});
        lblProgress->setText(tr("loadimg_loading_tip").arg(doneCount).arg(totalCount));
        lblPath->setText(tr("loadimg_loading_showpath").arg(shownName(path)));
        noteProcessed(path);
        break;
    default:
        delete item;
        break;
    }
}

void LoadImagesDialog::dropItem(int code, const QString &path, QObject *item)
{
    // A converted item comes with its copy of the file in the work directory; it goes too.
    // Never the picture the user chose.
    auto *picture = qobject_cast<ImageObject *>(item);
    if (code == LoadImagesHandler::CodeConverted && picture && !picture->sourcePath.isEmpty()) {
        const QFileInfo copy(picture->sourcePath);
        if (copy != QFileInfo(path) && copy.absolutePath() == QDir(workDirectory()).absolutePath())
            QFile::remove(copy.filePath());
    }
    delete item;
}

void LoadImagesDialog::finish(const QString &path, const Finished &result)
{
    QList<qsizetype> &indices = indicesOfPath[path];
    if (indices.isEmpty()) {
        // Not a file of this import: nothing to wait for.
        if (result.item)
            dropItem(LoadImagesHandler::CodeConverted, path, result.item);
        return;
    }
    waiting.insert(indices.takeFirst(), result);
    deliverInOrder();
}

void LoadImagesDialog::deliverInOrder(bool all)
{
    while (!waiting.isEmpty() && (all || waiting.firstKey() == nextToDeliver)) {
        const qsizetype index = waiting.firstKey();
        const Finished result = waiting.take(index);
        nextToDeliver = index + 1;
        if (result.item) {
            // Nobody to take the item: it must not be lost with its copy in the work
            // directory.
            if (isSignalConnected(QMetaMethod::fromSignal(&LoadImagesDialog::pictureConverted)))
                emit pictureConverted(result.item);
            else
                dropItem(LoadImagesHandler::CodeConverted, queue.at(index), result.item);
        } else if (!result.fileReady.isEmpty()) {
            emit pictureFileReady(result.fileReady);
        }
    }
}

void LoadImagesDialog::dropWaiting()
{
    for (auto it = waiting.cbegin(); it != waiting.cend(); ++it) {
        if (it->item)
            dropItem(LoadImagesHandler::CodeConverted, queue.at(it.key()), it->item);
    }
    waiting.clear();
}

void LoadImagesDialog::noteProcessed(const QString &)
{
    ++reportedCount;
    progressBar->setValue(reportedCount);
    if (nextIndex.load() >= queue.size())
        btnLoadOver->setEnabled(true);
    // Every file has been dealt with: tell about the unreadable ones now, after the worker
    // that reported last has been released.
    if (reportedCount == totalCount && !unreadable.isEmpty())
        QTimer::singleShot(0, this, [this] { reportUnreadableFiles(); });
}

QString LoadImagesDialog::shownName(const QString &path) const
{
    return shownNames.value(path, QDir::toNativeSeparators(path));
}

void LoadImagesDialog::reportUnreadableFiles()
{
    if (failuresShown || unreadable.isEmpty())
        return;
    failuresShown = true;
    // One line a file: its path and why it was refused.
    QStringList names;
    for (qsizetype i = 0; i < unreadable.size(); ++i) {
        const QString name = shownName(unreadable.at(i));
        const QString &reason = unreadableReasons.at(i);
        names.append(reason.isEmpty() ? name : QStringLiteral("%1: %2").arg(name, reason));
    }
    QMessageBox::information(this, tr("dialog_title_tip"),
                             tr("loadimg_failed_files").arg(names.join(QLatin1Char('\n'))),
                             QMessageBox::Ok);
}
