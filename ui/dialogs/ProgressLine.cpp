#include "ui/dialogs/ProgressLine.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <cmath>

ProgressLine::ProgressLine(QWidget *parent) : QWidget(parent)
{
    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("progressBar"));
    label = new QLabel(this);
    label->setObjectName(QStringLiteral("lblProgress"));
    label->setAlignment(Qt::AlignCenter);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(label);
    hide();
    clock.start();
}

void ProgressLine::start()
{
    clock.start();
}

void ProgressLine::setProgress(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    done = qBound<qint64>(0, done, total);
    // The bar counts in thousandths so that totals beyond int range still fit.
    bar->setRange(0, 1000);
    bar->setValue(int(done * 1000 / total));
    label->setText(line(done, total, clock.elapsed()));
    show();
}

QString ProgressLine::text() const
{
    return isHidden() ? QString() : label->text();
}

QString ProgressLine::line(qint64 done, qint64 total, qint64 elapsedMs)
{
    // The progress dialog's texts: its catalogue entries serve every progress line.
    QString text = QCoreApplication::translate("ProgressDialog", "progress_done_of_total")
                       .arg(done)
                       .arg(total);
    if (const qint64 left = secondsLeft(done, total, elapsedMs); left >= 0)
        text += u' '
                + QCoreApplication::translate("ProgressDialog", "progress_seconds_left").arg(left);
    return text;
}

qint64 ProgressLine::secondsLeft(qint64 done, qint64 total, qint64 elapsedMs)
{
    if (done <= 0 || total <= 0 || elapsedMs < 0)
        return -1;
    if (done >= total)
        return 0;
    // Rounded up: "0 s left" only once the job is done.
    const double msLeft = double(elapsedMs) * double(total - done) / double(done);
    return qint64(std::ceil(msLeft / 1000.0));
}
