#include "ui/disk/SelectUsbPathDialog.h"

#include "disk/DiskLog.h"
#include "disk/DiskMonitor.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString quoted(const QString &text)
{
    return u'"' + text + u'"';
}

} // namespace

SelectUsbPathDialog::SelectUsbPathDialog(const QStringList &disks, QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    // OK accepts only once a disk is chosen, so the box's signals go to the slots, not to
    // accept() and reject() directly.
    connect(buttonBox, &QDialogButtonBox::accepted, this, &SelectUsbPathDialog::onBtnOkClick);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &SelectUsbPathDialog::onBtnCancelClick);
    connect(listWidget, &QListWidget::currentTextChanged, this,
            &SelectUsbPathDialog::currentSelectUsbChanged);
    listWidget->addItems(disks);
    listWidget->setCurrentRow(0);
}

SelectUsbPathDialog::~SelectUsbPathDialog() = default;

QString SelectUsbPathDialog::choose(const DiskMonitor &disks, QWidget *parent)
{
    SelectUsbPathDialog dialog(disks.knownDisks(), parent);
    connect(&disks, &DiskMonitor::usbMountEvent, &dialog, &SelectUsbPathDialog::usbMountEvent);
    connect(&disks, &DiskMonitor::usbUMountEvent, &dialog, &SelectUsbPathDialog::usbUMountEvent);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedPath();
}

void SelectUsbPathDialog::setupUi()
{
    setObjectName(QStringLiteral("SelectUsbPathDialog"));
    resize(557, 306);
    auto *verticalLayout = new QVBoxLayout(this);

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setMinimumHeight(25);
    label->setStyleSheet(QStringLiteral("background-color: rgb(104, 104, 104);\ncolor: rgb(255, 255, 255);"));
    verticalLayout->addWidget(label);

    listWidget = new QListWidget(this);
    listWidget->setObjectName(QStringLiteral("listWidget"));
    listWidget->setProperty("isWrapping", false);
    verticalLayout->addWidget(listWidget);

    groupBox = new QGroupBox(this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    groupBox->setMaximumHeight(50);
    groupBox->setFlat(true);
    groupBox->setTitle(QString());
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

void SelectUsbPathDialog::retranslateUi()
{
    setWindowTitle(tr("选择U盘路径"));
    label->setText(tr("当前检测到的所有U盘："));
    okBut->setText(tr("确定"));
    cancelBut->setText(tr("取消"));
}

void SelectUsbPathDialog::usbMountEvent(QString path)
{
    qCDebug(lcDisk).noquote() << "#SelectUsbPathDialog# usbMountEvent " << quoted(path);
    const bool wasEmpty = listWidget->count() == 0;
    listWidget->addItem(path);
    if (wasEmpty)
        listWidget->setCurrentRow(0);
}

void SelectUsbPathDialog::usbUMountEvent(QString path)
{
    qCDebug(lcDisk).noquote() << "#SelectUsbPathDialog# usbUMountEvent " << quoted(path);
    for (int row = listWidget->count() - 1; row >= 0; --row) {
        if (listWidget->item(row)->text() == path)
            delete listWidget->takeItem(row);
    }
    listWidget->setCurrentRow(0);
    // With the last row gone no current row is left, and the list announces no text change.
    if (listWidget->count() == 0)
        m_selectedPath.clear();
}

void SelectUsbPathDialog::onBtnOkClick()
{
    qCDebug(lcDisk).noquote() << "#SelectUsbPathDialog# onBtnOkClick " << quoted(m_selectedPath);
    if (!m_selectedPath.isEmpty()) {
        accept();
        return;
    }
    QMessageBox::information(this, tr("dialog_title_tip"), tr("selectusb_title"), QMessageBox::Ok);
}

void SelectUsbPathDialog::onBtnCancelClick()
{
    reject();
}

void SelectUsbPathDialog::currentSelectUsbChanged(QString path)
{
    qCDebug(lcDisk).noquote() << "#SelectUsbPathDialog# currentSelectUsbChanged " << quoted(path);
    m_selectedPath = path;
}
