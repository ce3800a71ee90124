#include "ui/dialogs/UpdateImageContract.h"

#include "model/ImageObject.h"
#include "model/PictureLoader.h"
#include "ui/main/ContrastJobs.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

UpdateImageContract::UpdateImageContract(ContrastJobs *jobs, ImageObject *item, QWidget *parent)
    : QDialog(parent), item(item), jobs(jobs)
{
    if (item && !item->sourcePath.isEmpty())
        sourceImage = PictureLoader::load(item->sourcePath).convertToFormat(QImage::Format_ARGB32);
    buildForm();
    openedWith = item ? int(std::lround(item->contrastFactor * 10.0f)) : 10;
    sliderContract->setValue(openedWith);
    connect(sliderContract, &QSlider::valueChanged, this,
            &UpdateImageContract::sliderValueChanged);
    connect(jobs, &ContrastJobs::applied, this, [this](ImageObject *changed) {
        if (changed == this->item)
            emit onImageContractChanged(changed);
    });
}

void UpdateImageContract::buildForm()
{
    setWindowTitle(tr("updatecontract_btn_title"));
    auto *group = new QGroupBox(this);
    group->setFlat(true);
    group->setMaximumHeight(40);
    auto *label = new QLabel(tr("updatecontract_lbl_title"), group);
    label->setFixedSize(150, 25);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sliderContract = new QSlider(Qt::Horizontal, group);
    sliderContract->setObjectName(QStringLiteral("sliderContract"));
    sliderContract->setFixedSize(200, 25);
    sliderContract->setRange(0, 100);
    auto *row = new QHBoxLayout(group);
    row->addWidget(label);
    row->addWidget(sliderContract);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(tr("action_btn_ok"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton *cancel =
        buttons->addButton(tr("action_btn_cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void UpdateImageContract::sliderValueChanged(int value)
{
    // Without a source picture the loop only notes the change and leaves the item as it is.
    jobs->post(item, value, sourceImage);
}

void UpdateImageContract::reject()
{
    // Cancel, Esc and the window's close button take back every move: the value the dialog
    // opened with is posted again, which also withdraws a change still waiting.
    if (sliderContract->value() != openedWith) {
        const QSignalBlocker quiet(sliderContract);
        sliderContract->setValue(openedWith);
        jobs->post(item, openedWith, sourceImage);
    }
    QDialog::reject();
}
