#include "ui/dialogs/ProgressDialog.h"

#include "ui/dialogs/ProgressLine.h"
#include "ui/main/FlatButtonGroup.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMovie>
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

    progress = new ProgressLine(this);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(progress);
    layout->addWidget(group);

    setWindowTitle(tr("dialog_title_tip"));
    // Room for the longest busy text on one or two lines.
    setMinimumWidth(420);
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
    progress->setProgress(done, total);
}

QString ProgressDialog::progressText() const
{
    return progress->text();
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
