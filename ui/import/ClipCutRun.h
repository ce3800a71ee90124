#pragma once

#include <QObject>
#include <QPointer>

#include <memory>

class QDialog;
class VideoClipCutter;

// One cut of clip frames while a busy window is up, as the video and the GIF import run it:
// rejecting the window (its Cancel, or closing it) cancels the cut, and the cut's end is
// reported once by ended(), never after a cancel. Deleting the run deletes its cutter, which
// stops a cut still under way.
class ClipCutRun : public QObject
{
    Q_OBJECT
public:
    ClipCutRun(std::unique_ptr<VideoClipCutter> cutter, QDialog *busy, QObject *parent = nullptr);
    ~ClipCutRun() override;
    Q_DISABLE_COPY_MOVE(ClipCutRun)

    VideoClipCutter *cutter() const { return run.get(); }
    void start();
    // The busy window was rejected before the cut ended.
    bool wasCancelled() const { return cancelled; }

signals:
    void ended(bool ok);

private:
    std::unique_ptr<VideoClipCutter> run;
    QPointer<QDialog> busy;
    bool cancelled = false;
    bool over = false;
};
