#include "ui/dialogs/SettingColorForm.h"

#include "model/TestColorUtil.h"
#include "model/TestValue.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr int kWidth = 674;
constexpr int kHeight = 368;

QLineEdit *addField(QHBoxLayout *layout, const QString &label, const QString &name)
{
    layout->addWidget(new QLabel(label));
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    layout->addWidget(edit);
    return edit;
}
} // namespace

SettingColorForm::SettingColorForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("颜色参数设置"));
    auto *rows = new QWidget;
    auto *rowsLayout = new QVBoxLayout(rows);
    for (int row = 1; row <= TestColorUtil::kRows; ++row)
        rowsLayout->addWidget(buildRow(row));

    auto *scroll = new QScrollArea;
    scroll->setWidget(rows);
    scroll->setWidgetResizable(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll);
    resize(kWidth, kHeight);
}

QWidget *SettingColorForm::buildRow(int row)
{
    auto *widget = new QWidget;
    auto *layout = new QHBoxLayout(widget);
    layout->addWidget(new QLabel(QStringLiteral("%1.").arg(row)));
    QLineEdit *red = addField(layout, QStringLiteral("R:"), QStringLiteral("txtR%1").arg(row));
    QLineEdit *green = addField(layout, QStringLiteral("G:"), QStringLiteral("txtG%1").arg(row));
    QLineEdit *blue = addField(layout, QStringLiteral("B:"), QStringLiteral("txtB%1").arg(row));

    TestValue *value = TestColorUtil::getInstance()->values.value(row);
    if (!value)
        return widget;
    for (QLineEdit *edit : {red, green, blue})
        edit->setValidator(value->validator);
    connect(red, &QLineEdit::textChanged, value, &TestValue::onTxtRChanged);
    connect(green, &QLineEdit::textChanged, value, &TestValue::onTxtGChanged);
    connect(blue, &QLineEdit::textChanged, value, &TestValue::onTxtBChanged);
    red->setText(QString::number(value->red));
    green->setText(QString::number(value->green));
    blue->setText(QString::number(value->blue));
    return widget;
}
