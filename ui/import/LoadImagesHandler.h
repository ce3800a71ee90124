#pragma once

#include "model/PictureDecoder.h"

#include <QImage>
#include <QString>
#include <QThread>

#include <atomic>

class LoadImagesDialog;
class QObject;

// One picture import worker: takes paths from its dialog's queue until the queue is empty or
// the dialog stops it, decodes each picture once, shows it and converts it into a picture
// item. Reports reach the dialog through handlerMessage (queued, not waited for). The workers of
// one dialog share its decode budget, so they do not all hold a large picture at once.
class LoadImagesHandler : public QThread
{
    Q_OBJECT
public:
    // Report codes of handlerMessage.
    static constexpr int CodeShown = 2;       // path, 300 x 300 preview, no item
    static constexpr int CodeConverted = 4;   // path, preview, the converted item, whose
                                              // sourcePath is its copy in the work directory
    static constexpr int CodeUnreadable = 5;  // path of a file that is not a picture, and
                                              // the reason it was refused

    explicit LoadImagesHandler(LoadImagesDialog *dialog);
    // Stops the worker and joins it. The owning dialog normally has done both already.
    ~LoadImagesHandler() override;
    Q_DISABLE_COPY_MOVE(LoadImagesHandler)

    // Asks the worker to stop before its next step (or its wait for decode memory); it
    // does not wait.
    void stop();
    bool isRunning() const { return running; }

    // The preview shown while a picture is processed: the square fitted into 300 x 300.
    static QImage previewOf(const QImage &square);

signals:
    // The receiver owns item (code 4) from the moment the report is delivered. reason:
    // one line on why the file was refused (code 5).
    void handlerMessage(int code, const QString &path, const QImage &image, QObject *item,
                        const QString &reason = QString());

protected:
    void run() override;

private:
    void processOne(const QString &path);

    LoadImagesDialog *dialog;
    DecodeBudget &budget;
    PictureDecoder decoder;
    std::atomic<bool> running{true};
    // The same request, in the form the conversion watches to end a picture early.
    std::atomic<bool> stopRequested{false};
};
