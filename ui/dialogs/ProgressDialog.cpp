#include "ui/dialogs/ProgressDialog.h"

#include "ui/main/FlatButtonGroup.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>

#include <cmath>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ProgressDialog::ProgressDialog(const QString &text, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ProgressDialog"));

    animationLabel = new QLabel(this);
    animationLabel->setObjectName(QStringLiteral("lblAnimation"));
    animationLabel->setFixedSize(72, 72);
    animation = new QMovie(QStringLiteral(":/images/progress.gif"), QByteArray(), this);
    animation->setScaledSize(QSize(72, 72));
    animationLabel->setMovie(animation);
    animation->start();

    textLabel = new QLabel(text, this);
    textLabel->setObjectName(QStringLiteral("lblText"));
    textLabel->setWordWrap(true);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(10, 10, 10, 10);
    row->setSpacing(10);
    row->addStretch();
    row->addWidget(animationLabel);
    row->addWidget(textLabel);
    row->addStretch();

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(tr("action_btn_cancel"), QDialogButtonBox::NoRole);
    // NoRole buttons emit clicked only; the one button rejects the dialog.
    connect(buttons, &QDialogButtonBox::clicked, this, &QDialog::reject);

    QGroupBox *group = makeFlatButtonGroup(this, buttons);

    bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("progressBar"));
    bar->hide();
    progressLabel = new QLabel(this);
    progressLabel->setObjectName(QStringLiteral("lblProgress"));
    progressLabel->setAlignment(Qt::AlignCenter);
    progressLabel->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(bar);
    layout->addWidget(progressLabel);
    layout->addWidget(group);

    setWindowTitle(tr("dialog_title_tip"));
    // Room for the longest busy text on one or two lines.
    setMinimumWidth(420);
    clock.start();
}

ProgressDialog::~ProgressDialog() = default;

QString ProgressDialog::text() const
{
    return textLabel->text();
}

void ProgressDialog::setText(const QString &text)
{
    textLabel->setText(text);
}

void ProgressDialog::setProgress(qint64 done, qint64 total)
{
    if (total <= 0)
        return;
    done = qBound<qint64>(0, done, total);
    // The bar counts in thousandths so that totals beyond int range still fit.
    bar->setRange(0, 1000);
    bar->setValue(int(done * 1000 / total));
    progressLabel->setText(progressLine(done, total, clock.elapsed()));
    bar->show();
    progressLabel->show();
}

QString ProgressDialog::progressLine(qint64 done, qint64 total, qint64 elapsedMs)
{
    QString line = tr("progress_done_of_total").arg(done).arg(total);
    if (const qint64 left = secondsLeft(done, total, elapsedMs); left >= 0)
        line += u' ' + tr("progress_seconds_left").arg(left);
    return line;
}

QString ProgressDialog::progressText() const
{
    return progressLabel->isHidden() ? QString() : progressLabel->text();
}

qint64 ProgressDialog::secondsLeft(qint64 done, qint64 total, qint64 elapsedMs)
{
    if (done <= 0 || total <= 0 || elapsedMs < 0)
        return -1;
    if (done >= total)
        return 0;
    // Rounded up: "0 s left" only once the job is done.
    const double msLeft = double(elapsedMs) * double(total - done) / double(done);
    return qint64(std::ceil(msLeft / 1000.0));
}

void ProgressDialog::finish(QPointer<ProgressDialog> &dialog)
{
    if (!dialog)
        return;
    ProgressDialog *open = dialog;
    dialog = nullptr;
    open->accept();
    open->deleteLater();
}
