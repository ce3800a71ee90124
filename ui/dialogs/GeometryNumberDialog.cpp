#include "ui/dialogs/GeometryNumberDialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

GeometryNumberDialog::GeometryNumberDialog(int top, int initial, QWidget *parent)
    : QDialog(parent), top(top)
{
    lblNumber = new QLabel(this);
    lblNumber->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblNumber->setFixedWidth(100);
    txtNumber = new QLineEdit(QString::number(initial), this);
    txtNumber->setObjectName(QStringLiteral("txtNumber"));
    txtNumber->setValidator(new QIntValidator(1, top, txtNumber));
    txtNumber->setToolTip(rangeText());
    // The current value is there to be replaced: typed digits would otherwise follow it and
    // be refused by the validator as too many.
    txtNumber->selectAll();
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(lblNumber);
    row->addWidget(txtNumber);
    row->addStretch();

    auto *group = new QGroupBox(this);
    group->setFlat(true);
    group->setFixedHeight(40);
    auto *buttons = new QDialogButtonBox(group);
    btnOk = buttons->addButton(QString(), QDialogButtonBox::YesRole);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnCancel = buttons->addButton(QString(), QDialogButtonBox::NoRole);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &GeometryNumberDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setSpacing(0);
    groupLayout->setContentsMargins(0, 0, 0, 0);
    groupLayout->addWidget(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(group);
}

void GeometryNumberDialog::setTexts(const QString &title, const QString &label,
                                    const QString &ok, const QString &cancel)
{
    setWindowTitle(title);
    lblNumber->setText(label);
    txtNumber->setToolTip(rangeText());
    txtNumber->setPlaceholderText(QStringLiteral("1 - %1").arg(top));
    btnOk->setText(ok);
    btnCancel->setText(cancel);
}

QString GeometryNumberDialog::rangeText() const
{
    return QCoreApplication::translate("MainWindow", "geometry_allowed_range").arg(top);
}

int GeometryNumberDialog::value() const
{
    bool isNumber = false;
    const int number = txtNumber->text().toInt(&isNumber, 10);
    return isNumber ? number : EmptyValue;
}

bool GeometryNumberDialog::isAcceptable() const
{
    const QString text = txtNumber->text().trimmed();
    bool isNumber = false;
    const int number = text.toInt(&isNumber, 10);
    return isNumber && number >= 1 && number <= top;
}

void GeometryNumberDialog::accept()
{
    if (!isAcceptable()) {
        // The dialog stays open with the number marked for retyping, and says why.
        QMessageBox::information(this, windowTitle(), rangeText());
        txtNumber->setFocus();
        txtNumber->selectAll();
        return;
    }
    QDialog::accept();
}
