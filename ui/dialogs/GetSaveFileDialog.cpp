#include "ui/dialogs/GetSaveFileDialog.h"

#include "ui/UiLog.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QVBoxLayout>

GetSaveFileDialog::GetSaveFileDialog(QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    // OK accepts only a usable name, so the box's signals go to the slots, not to accept()
    // and reject() directly.
    connect(buttonBox, &QDialogButtonBox::accepted, this, &GetSaveFileDialog::onBtnOkClick);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &GetSaveFileDialog::onBtnCancelClick);
}

GetSaveFileDialog::~GetSaveFileDialog() = default;

void GetSaveFileDialog::setupUi()
{
    setObjectName(QStringLiteral("GetSaveFileDialog"));
    resize(513, 200);
    auto *verticalLayout = new QVBoxLayout(this);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setMinimumHeight(25);
    label->setStyleSheet(QStringLiteral("background-color: rgb(104, 104, 104);\ncolor: rgb(255, 255, 255);"));
    verticalLayout->addWidget(label);

    txtFileName = new QLineEdit(this);
    txtFileName->setObjectName(QStringLiteral("txtFileName"));
    verticalLayout->addWidget(txtFileName);

    verticalLayout->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));

    groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setMaximumHeight(50);
    groupBox->setFlat(true);
    auto *buttonLayout = new QHBoxLayout(groupBox);
    buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, groupBox);
    okBut = buttonBox->button(QDialogButtonBox::Ok);
    okBut->setObjectName(QStringLiteral("okBut"));
    cancelBut = buttonBox->button(QDialogButtonBox::Cancel);
    cancelBut->setObjectName(QStringLiteral("cancelBut"));
    buttonLayout->addWidget(buttonBox);
    verticalLayout->addWidget(groupBox);

    retranslateUi();
}

void GetSaveFileDialog::retranslateUi()
{
    setWindowTitle(tr("请输入保存的文件名"));
    label->setText(tr("请输入保存的文件名！"));
    okBut->setText(tr("确定"));
    cancelBut->setText(tr("取消"));
}

QString GetSaveFileDialog::fileName() const
{
    return txtFileName->text();
}

bool GetSaveFileDialog::askFileName(QWidget *parent, QString *name)
{
    GetSaveFileDialog dialog(parent);
    dialog.txtFileName->setText(*name);
    dialog.txtFileName->selectAll();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *name = dialog.fileName();
    return true;
}

bool GetSaveFileDialog::isUsableFileName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength || name.toUtf8().size() > kMaxNameLength)
        return false;
    static const QString reserved = QStringLiteral("\"*/:<>?\\|");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || reserved.contains(c))
            return false;
    }
    // Windows drops trailing dots and spaces, so such a name would not be the one typed.
    if (name.endsWith(u'.') || name.endsWith(u' '))
        return false;
    // Device names stay reserved whatever extension follows them ("CON.bin", "nul.x.bin").
    static const QRegularExpression deviceName(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9]) *$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString stem = name.section(u'.', 0, 0);
    return !deviceName.match(stem).hasMatch();
}

void GetSaveFileDialog::onBtnOkClick()
{
    const QString name = txtFileName->text();
    qCDebug(lcUi).noquote() << "#GetSaveFileDialog# onBtnOkClick " << '"' + name + '"' << ", len = "
                       << name.toLocal8Bit().size();
    if (!isUsableFileName(name)) {
        // replace() rather than arg(): the text stays sound while a catalogue lacks the key.
        const QString text = tr("savefile_invalid_name").replace(QStringLiteral("%1"), name);
        QMessageBox::information(this, tr("dialog_title_tip"), text, QMessageBox::Ok);
        return;
    }
    accept();
}

void GetSaveFileDialog::onBtnCancelClick()
{
    reject();
}
