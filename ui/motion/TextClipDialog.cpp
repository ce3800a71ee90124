#include "ui/motion/TextClipDialog.h"

#include "app/AppSettings.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/RoundSquare.h"
#include "motion/MotionClipMaker.h"
#include "motion/TextClipRenderer.h"
#include "ui/dialogs/FileFilters.h"
#include "ui/dialogs/ProgressDialog.h"
#include "ui/motion/TextClipPreview.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

namespace {

using Motion = TextClipDescription::Motion;

constexpr Motion kMotions[] = {Motion::RingCounterClockwise, Motion::RingClockwise,
                               Motion::SlideLeft,            Motion::SlideRight,
                               Motion::SlideUp,              Motion::SlideDown,
                               Motion::Stand,                Motion::Blink};

QString motionText(Motion motion)
{
    switch (motion) {
    case Motion::RingCounterClockwise: return TextClipDialog::tr("textclip_motion_ring");
    case Motion::RingClockwise: return TextClipDialog::tr("textclip_motion_ring_cw");
    case Motion::SlideLeft: return TextClipDialog::tr("textclip_motion_left");
    case Motion::SlideRight: return TextClipDialog::tr("textclip_motion_right");
    case Motion::SlideUp: return TextClipDialog::tr("textclip_motion_up");
    case Motion::SlideDown: return TextClipDialog::tr("textclip_motion_down");
    case Motion::Stand: return TextClipDialog::tr("textclip_motion_stand");
    case Motion::Blink: return TextClipDialog::tr("textclip_motion_blink");
    }
    return {};
}

void paintSwatch(QPushButton *button, const QColor &color)
{
    QPixmap swatch(24, 16);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setText(color.name(QColor::HexRgb));
}

} // namespace

TextClipDialog::TextClipDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TextClipDialog"));
    buildForm();
    retranslate();
    setDescription(TextClipDescription());
}

// Owns the preview (a child), whose destructor waits for its worker.
TextClipDialog::~TextClipDialog() = default;

void TextClipDialog::buildForm()
{
    textLabel = new QLabel(this);
    textEdit = new QLineEdit(this);
    textEdit->setObjectName(QStringLiteral("textEdit"));
    textEdit->setMaxLength(TextClipDescription::kMaxCharacters);
    fontLabel = new QLabel(this);
    fontBox = new QFontComboBox(this);
    fontBox->setObjectName(QStringLiteral("fontBox"));
    sizeLabel = new QLabel(this);
    sizeBox = new QSpinBox(this);
    sizeBox->setObjectName(QStringLiteral("sizeBox"));
    sizeBox->setRange(TextClipDescription::kMinPixelSize, TextClipDescription::kMaxPixelSize);
    colorLabel = new QLabel(this);
    colorButton = new QPushButton(this);
    colorButton->setObjectName(QStringLiteral("colorButton"));
    backgroundLabel = new QLabel(this);
    backColorButton = new QPushButton(this);
    backColorButton->setObjectName(QStringLiteral("backColorButton"));
    pictureButton = new QPushButton(this);
    pictureButton->setObjectName(QStringLiteral("pictureButton"));
    noPictureButton = new QPushButton(this);
    noPictureButton->setObjectName(QStringLiteral("noPictureButton"));
    pictureLabel = new QLabel(this);
    pictureLabel->setObjectName(QStringLiteral("pictureLabel"));
    motionLabel = new QLabel(this);
    motionBox = new QComboBox(this);
    motionBox->setObjectName(QStringLiteral("motionBox"));
    for (const Motion motion : kMotions)
        motionBox->addItem(QString(), int(motion));
    speedLabel = new QLabel(this);
    speedBox = new QSpinBox(this);
    speedBox->setObjectName(QStringLiteral("speedBox"));
    speedBox->setRange(TextClipDescription::kMinSpeed, TextClipDescription::kMaxSpeed);
    secondsLabel = new QLabel(this);
    secondsBox = new QDoubleSpinBox(this);
    secondsBox->setObjectName(QStringLiteral("secondsBox"));
    // From 0, so a length of nothing can be typed and is refused with its reason.
    secondsBox->setRange(0.0, TextClipDescription::kMaxSeconds);
    secondsBox->setDecimals(1);
    secondsBox->setSingleStep(0.5);
    reasonLabel = new QLabel(this);
    reasonLabel->setObjectName(QStringLiteral("reasonLabel"));
    reasonLabel->setWordWrap(true);
    reasonLabel->setStyleSheet(QStringLiteral("color: #b00020"));
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    previewWidget = new TextClipPreview(this);
    previewWidget->setObjectName(QStringLiteral("textClipPreview"));

    auto *form = new QFormLayout;
    form->addRow(textLabel, textEdit);
    form->addRow(fontLabel, fontBox);
    form->addRow(sizeLabel, sizeBox);
    form->addRow(colorLabel, colorButton);
    auto *background = new QHBoxLayout;
    background->addWidget(backColorButton);
    background->addWidget(pictureButton);
    background->addWidget(noPictureButton);
    form->addRow(backgroundLabel, background);
    form->addRow(QString(), pictureLabel);
    form->addRow(motionLabel, motionBox);
    form->addRow(speedLabel, speedBox);
    form->addRow(secondsLabel, secondsBox);
    auto *left = new QVBoxLayout;
    left->addLayout(form);
    left->addWidget(reasonLabel);
    left->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addWidget(previewWidget, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &TextClipDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TextClipDialog::reject);
    const auto changed = [this] { settingsChanged(); };
    connect(textEdit, &QLineEdit::textChanged, this, changed);
    connect(fontBox, &QFontComboBox::currentFontChanged, this, [this](const QFont &font) {
        if (filling)
            return;
        fontFamily = font.family();
        settingsChanged();
    });
    connect(sizeBox, &QSpinBox::valueChanged, this, changed);
    connect(motionBox, &QComboBox::currentIndexChanged, this, changed);
    connect(speedBox, &QSpinBox::valueChanged, this, changed);
    connect(secondsBox, &QDoubleSpinBox::valueChanged, this, changed);
    connect(colorButton, &QPushButton::clicked, this, [this] { chooseColor(&textColor); });
    connect(backColorButton, &QPushButton::clicked, this, [this] { chooseColor(&backColor); });
    connect(pictureButton, &QPushButton::clicked, this, &TextClipDialog::chooseBackgroundPicture);
    connect(noPictureButton, &QPushButton::clicked, this, [this] {
        backgroundPath.clear();
        settingsChanged();
    });
    resize(820, 440);
}

void TextClipDialog::retranslate()
{
    setWindowTitle(tr("textclip_title"));
    textLabel->setText(tr("textclip_lbl_text"));
    fontLabel->setText(tr("textclip_lbl_font"));
    // No family chosen draws with the fallbacks that cover every script; an empty box
    // would look like a fault.
    if (QLineEdit *edit = fontBox->lineEdit())
        edit->setPlaceholderText(tr("textclip_font_default"));
    sizeLabel->setText(tr("textclip_lbl_size"));
    colorLabel->setText(tr("textclip_lbl_color"));
    backgroundLabel->setText(tr("textclip_lbl_background"));
    pictureButton->setText(tr("textclip_btn_picture"));
    noPictureButton->setText(tr("textclip_btn_no_picture"));
    motionLabel->setText(tr("textclip_lbl_motion"));
    for (int i = 0; i < motionBox->count(); ++i)
        motionBox->setItemText(i, motionText(Motion(motionBox->itemData(i).toInt())));
    speedLabel->setText(tr("textclip_lbl_speed"));
    secondsLabel->setText(tr("textclip_lbl_seconds"));
    secondsBox->setSuffix(tr("textclip_unit_seconds"));
    settingsChanged();
}

void TextClipDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void TextClipDialog::setDescription(const TextClipDescription &wanted)
{
    filling = true;
    textEdit->setText(wanted.text);
    if (wanted.fontFamily.isEmpty())
        fontBox->setCurrentIndex(-1);
    else
        fontBox->setCurrentFont(QFont(wanted.fontFamily));
    sizeBox->setValue(wanted.pixelSize);
    textColor = wanted.color;
    backColor = wanted.backgroundColor;
    backgroundPath = wanted.backgroundPath;
    motionBox->setCurrentIndex(qMax(0, motionBox->findData(int(wanted.motion))));
    speedBox->setValue(wanted.speed);
    secondsBox->setValue(wanted.seconds);
    filling = false;
    // A family the system lacks is kept as it was asked for: the fallbacks draw it.
    fontFamily = wanted.fontFamily;
    settingsChanged();
}

TextClipDescription TextClipDialog::description() const
{
    TextClipDescription wanted;
    wanted.text = textEdit->text();
    wanted.fontFamily = fontFamily;
    wanted.pixelSize = sizeBox->value();
    wanted.color = textColor;
    wanted.backgroundColor = backColor;
    wanted.backgroundPath = backgroundPath;
    wanted.motion = Motion(motionBox->currentData().toInt());
    wanted.speed = speedBox->value();
    wanted.seconds = secondsBox->value();
    return wanted;
}

QString TextClipDialog::refusal() const
{
    const TextClipDescription wanted = description();
    if (wanted.text.trimmed().isEmpty())
        return tr("textclip_reason_empty");
    if (wanted.frameCount() < 1 || wanted.seconds < TextClipDescription::kMinSeconds - 1e-9)
        return tr("textclip_reason_length")
            .arg(TextClipDescription::kMinSeconds)
            .arg(TextClipDescription::kMaxSeconds);
    if (!wanted.backgroundPath.isEmpty() && !QFileInfo(wanted.backgroundPath).isFile())
        return tr("textclip_reason_picture").arg(wanted.backgroundPath);
    if (const Outcome checked = wanted.check(); !checked)
        return checked.error();
    return {};
}

void TextClipDialog::settingsChanged()
{
    if (filling)
        return;
    showColors();
    pictureLabel->setText(backgroundPath.isEmpty() ? QString()
                                                   : QFileInfo(backgroundPath).fileName());
    noPictureButton->setEnabled(!backgroundPath.isEmpty());
    const QString why = refusal();
    reasonLabel->setText(why);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty());
    previewWidget->setDescription(description());
}

void TextClipDialog::showColors()
{
    paintSwatch(colorButton, textColor);
    paintSwatch(backColorButton, backColor);
}

void TextClipDialog::chooseColor(QColor *color)
{
    const QColor chosen = QColorDialog::getColor(*color, this, tr("textclip_lbl_color"));
    if (!chosen.isValid())
        return;
    // The display has no transparency: the colour is taken opaque.
    *color = QColor(chosen.red(), chosen.green(), chosen.blue());
    settingsChanged();
}

void TextClipDialog::chooseBackgroundPicture()
{
    const QString chosen = QFileDialog::getOpenFileName(
        this, tr("textclip_title_background"),
        // A background is one of the user's pictures: it starts where pictures are imported.
        backgroundPath.isEmpty()
            ? AppSettings().lastFolder(AppSettings::Folder::Pictures, QString())
            : QFileInfo(backgroundPath).absolutePath(),
        FileFilters::withAllFiles(tr("textclip_filter_pictures"), FileFilters::pictureSuffixes()));
    if (chosen.isEmpty())
        return;
    backgroundPath = QFileInfo(chosen).absoluteFilePath();
    AppSettings().setLastFolder(AppSettings::Folder::Pictures, backgroundPath);
    settingsChanged();
}

void TextClipDialog::accept()
{
    if (!refusal().isEmpty())
        return;
    if (makeClip())
        QDialog::accept();
}

bool TextClipDialog::makeClip()
{
    const TextClipDescription wanted = description();
    std::shared_ptr<TextClipRenderer> renderer;
    const Outcome prepared = TextClipRenderer::prepare(wanted, &renderer);
    if (!prepared) {
        QMessageBox::warning(this, tr("textclip_title"),
                             tr("textclip_failed").arg(prepared.error()));
        return false;
    }
    // Declared before the maker, which may still report while it goes.
    bool ended = false;
    bool ok = false;
    QPointer<ProgressDialog> busy = new ProgressDialog(tr("textclip_making"), this);
    MotionClipMaker::Options options;
    options.sampling = sampling;
    // The frame pictures are the frames' sources: without them a later change of geometry
    // or sampling could not convert the clip and would leave it out.
    options.writeFramePictures = true;
    MotionClipMaker maker(renderer, options);
    connect(&maker, &MotionClipMaker::progress, busy, &ProgressDialog::setProgress);
    connect(&maker, &MotionClipMaker::finished, this, [&](bool good) {
        ended = true;
        ok = good;
        ProgressDialog::finish(busy);
    });
    previewWidget->setPlaying(false);
    maker.start();
    busy->exec();
    previewWidget->setPlaying(true);
    if (!ended) {
        // Cancelled: the maker's end takes the frames made so far with their files.
        delete busy.data();
        return false;
    }
    if (!ok) {
        QMessageBox::warning(this, tr("textclip_title"),
                             tr("textclip_failed").arg(maker.errorString()));
        return false;
    }
    made.reset(maker.takeClip(0));
    if (!made) {
        QMessageBox::warning(this, tr("textclip_title"),
                             tr("textclip_failed").arg(maker.errorString()));
        return false;
    }
    // The row shows the clip's first frame; frames drawn rather than cut have no
    // picture file of their own to take it from.
    made->frames.first()->saveThumbnail(RoundSquare::thumbnailOf(renderer->frame(0)));
    made->origin.source = ClipOrigin::Source::Text;
    made->origin.description = wanted.toJson();
    return true;
}

MediaObject *TextClipDialog::takeClip(int number)
{
    if (!made)
        return nullptr;
    made->number = number;
    return made.release();
}

bool TextClipDialog::descriptionOf(const MediaObject *clip, TextClipDescription *wanted)
{
    if (!clip || clip->origin.source != ClipOrigin::Source::Text)
        return false;
    return TextClipDescription::fromJson(clip->origin.description, wanted).ok();
}

MediaObject *TextClipDialog::createClip(QWidget *parent, int number, SamplingMode sampling)
{
    TextClipDialog dialog(parent);
    dialog.setSampling(sampling);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return dialog.takeClip(number);
}

MediaObject *TextClipDialog::editClip(QWidget *parent, const MediaObject *clip,
                                      SamplingMode sampling)
{
    TextClipDescription wanted;
    if (!descriptionOf(clip, &wanted))
        return nullptr;
    TextClipDialog dialog(parent);
    dialog.setSampling(sampling);
    dialog.setDescription(wanted);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return dialog.takeClip(clip->number);
}
