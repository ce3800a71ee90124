#include "ui/import/ClipCutRun.h"

#include "import/VideoClipCutter.h"

#include <QDialog>

ClipCutRun::ClipCutRun(std::unique_ptr<VideoClipCutter> cutter, QDialog *busy, QObject *parent)
    : QObject(parent), run(std::move(cutter)), busy(busy)
{
    connect(run.get(), &VideoClipCutter::finished, this, [this](bool ok) {
        if (cancelled || over)
            return;
        over = true;
        emit ended(ok);
    });
    connect(busy, &QDialog::rejected, this, [this] {
        if (cancelled || over)
            return;
        cancelled = true;
        run->cancel();
    });
}

ClipCutRun::~ClipCutRun() = default;

void ClipCutRun::start()
{
    run->start();
}
