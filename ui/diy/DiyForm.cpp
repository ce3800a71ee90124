#include "ui/diy/DiyForm.h"

#include "app/AppGlobals.h"
#include "app/AppSettings.h"
#include "diy/DiyFormHandler.h"
#include "diy/DiyLog.h"
#include "ui/dialogs/FileFilters.h"
#include "ui/diy/DiyPainter.h"
#include "ui/diy/DiyTextEdit.h"
#include "diy/DiyTool.h"
#include "loop/HandlerThread.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kEnglish = 3;

struct ToolButtonSpec
{
    const char *objectName;
    const char *text;
    const char *icon;
};

// In tool number order (1 to 8).
constexpr ToolButtonSpec kToolButtons[8] = {
    {"btnShapePen", QT_TRANSLATE_NOOP("DiyForm", "画笔"), ":/images/paintbrush.png"},
    {"btnShapeLine", QT_TRANSLATE_NOOP("DiyForm", "直线"), ":/images/line.png"},
    {"btnShapeRect", QT_TRANSLATE_NOOP("DiyForm", "矩形"), ":/images/rect.png"},
    {"btnShapeRectRound", QT_TRANSLATE_NOOP("DiyForm", "圆矩"), ":/images/rect_round.png"},
    {"btnShapeRound", QT_TRANSLATE_NOOP("DiyForm", "椭圆"), ":/images/round2.png"},
    {"btnShapeText", QT_TRANSLATE_NOOP("DiyForm", "文本"), ":/images/A.png"},
    {"btnShapeMove", QT_TRANSLATE_NOOP("DiyForm", "移动"), ":/images/cursor_hand.png"},
    {"btnShapeDel", QT_TRANSLATE_NOOP("DiyForm", "擦写"), ":/images/eraser.png"},
};

QPushButton *plainButton(const QString &text, const char *objectName, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    // No button of the form may answer Return: it belongs to the text box.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QWidget *row(QWidget *parent, const QList<QWidget *> &widgets)
{
    auto *panel = new QWidget(parent);
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : widgets)
        layout->addWidget(w);
    layout->addStretch();
    return panel;
}

} // namespace

DiyForm::DiyForm(const QString &imagePath, int languageCode, QWidget *parent) : QDialog(parent)
{
    handler = new DiyFormHandler(HandlerThread::shared(), this);
    canvas = new DiyPainter(imagePath);
    buildWidgets();
    addShortcuts();

    QFont start(languageCode == kEnglish ? tr("Airal Black") : QStringLiteral("黑体"));
    start.setPointSize(100);
    applyFont(start);
    // Text starts in the pen's white: the unset colour would be black on black.
    fontColor = Qt::white;
    canvas->setFontColor(fontColor);
    showColour(btnSelectFontColor, fontColor);

    selectTool(DiyTool::Move);

    canvas->setPenStyle(Qt::SolidLine);
    canvas->setPenWidth(penWidthSpinBox->value());
    canvas->setEraserWidth(eraserWidthSpinBox->value());
    canvas->setTextStyle(0);
    penColor = Qt::white;
    canvas->setPenColor(penColor);
    showColour(btnSelectPenColor, penColor);
    canvas->setFillColor(fillColor);
    showColour(btnSelectBrushColor, fillColor);
    backgroundColor = Qt::black;
    canvas->setBackgroundColor(backgroundColor);
    showColour(btnBackgroundColor, backgroundColor);
    radiusWidget->hide();
    canvas->setTextRadius(textRadius->value());
}

DiyForm::~DiyForm() = default;

// --------------------------------------------------------------------------------- widgets

void DiyForm::buildWidgets()
{
    setWindowTitle(tr("DIY图形"));
    auto *main = new QHBoxLayout(this);

    scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea"));
    auto *workArea = new QWidget;
    auto *workAreaLayout = new QVBoxLayout(workArea);
    workAreaLayout->setObjectName(QStringLiteral("workAreaLayout"));
    workAreaLayout->setContentsMargins(5, 5, 5, 5);
    workAreaLayout->addWidget(canvas, 0, Qt::AlignLeft | Qt::AlignTop);
    scrollArea->setWidget(workArea);
    scrollArea->setWidgetResizable(true);
    main->addWidget(scrollArea, 1);

    auto *side = new QWidget(this);
    side->setFixedWidth(300);
    auto *sideLayout = new QVBoxLayout(side);
    sideLayout->addWidget(buildToolButtons());
    sideLayout->addWidget(buildSettings());
    sideLayout->addStretch();

    btnZoomIn = plainButton(tr("放大"), "btnZoomIn", side);
    btnZoomOut = plainButton(tr("缩小"), "btnZoomOut", side);
    btnReset = plainButton(tr("撤销"), "btnReset", side);
    btnRedo = plainButton(tr("重做"), "btnRedo", side);
    sideLayout->addWidget(row(side, {btnZoomIn, btnZoomOut}));
    sideLayout->addWidget(row(side, {btnReset, btnRedo}));
    okBut = plainButton(tr("画完了"), "okBut", side);
    cancelBut = plainButton(tr("放弃DIY效果"), "cancelBut", side);
    sideLayout->addWidget(row(side, {okBut, cancelBut}));
    main->addWidget(side);

    connect(btnZoomIn, &QPushButton::clicked, this, &DiyForm::onBtnZoomIn);
    connect(btnZoomOut, &QPushButton::clicked, this, &DiyForm::onBtnZoomOut);
    connect(btnReset, &QPushButton::clicked, this, &DiyForm::onBtnReset);
    connect(btnRedo, &QPushButton::clicked, this, &DiyForm::onBtnRedo);
    connect(okBut, &QPushButton::clicked, this, &DiyForm::onBtnOk);
    connect(cancelBut, &QPushButton::clicked, this, &DiyForm::onBtnCancel);
}

QWidget *DiyForm::buildToolButtons()
{
    auto *groupBox = new QGroupBox(tr("画图工具"), this);
    groupBox->setObjectName(QStringLiteral("groupBox"));
    auto *layout = new QGridLayout(groupBox);
    layout->addWidget(new QLabel(tr("选择DIY样式："), groupBox), 0, 0, 1, 4);
    void (DiyForm::*const handlersByTool[8])() = {
        &DiyForm::onBtnShapePenClick, &DiyForm::onBtnShapeLineClick,
        &DiyForm::onBtnShapeRectClick, &DiyForm::onBtnShapeRoundRectClick,
        &DiyForm::onBtnShapeRoundClick, &DiyForm::onBtnShapeTextClick,
        &DiyForm::onBtnShapeMoveClick, &DiyForm::onBtnShapeDelClick};
    for (int i = 0; i < 8; ++i) {
        auto *button = new QToolButton(groupBox);
        button->setObjectName(QLatin1String(kToolButtons[i].objectName));
        button->setText(tr(kToolButtons[i].text));
        button->setIcon(QIcon(QLatin1String(kToolButtons[i].icon)));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setCheckable(true);
        button->setMinimumWidth(60);
        layout->addWidget(button, 1 + i / 4, i % 4);
        connect(button, &QToolButton::clicked, this, handlersByTool[i]);
        toolButtons[i] = button;
    }
    return groupBox;
}

QWidget *DiyForm::buildSettings()
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    penTypeWidget = new QWidget(panel);
    penTypeWidget->setObjectName(QStringLiteral("penTypeWidget"));
    auto *penLayout = new QGridLayout(penTypeWidget);
    penStyleComboBox = new QComboBox(penTypeWidget);
    penStyleComboBox->setObjectName(QStringLiteral("penStyleComboBox"));
    penStyleComboBox->addItems({tr("实线"), tr("点线")});
    penWidthSpinBox = new QSpinBox(penTypeWidget);
    penWidthSpinBox->setObjectName(QStringLiteral("penWidthSpinBox"));
    penWidthSpinBox->setRange(0, 200);
    penWidthSpinBox->setValue(6);
    btnSelectPenColor = plainButton(QString(), "btnSelectPenColor", penTypeWidget);
    penLayout->addWidget(new QLabel(tr("画笔类型："), penTypeWidget), 0, 0);
    penLayout->addWidget(penStyleComboBox, 0, 1);
    penLayout->addWidget(new QLabel(tr("画笔线宽："), penTypeWidget), 1, 0);
    penLayout->addWidget(penWidthSpinBox, 1, 1);
    penLayout->addWidget(new QLabel(tr("画笔颜色："), penTypeWidget), 2, 0);
    penLayout->addWidget(btnSelectPenColor, 2, 1);
    layout->addWidget(penTypeWidget);

    brushWidget = new QWidget(panel);
    brushWidget->setObjectName(QStringLiteral("brushWidget"));
    btnSelectBrushColor = plainButton(QString(), "btnSelectBrushColor", brushWidget);
    auto *brushLayout = new QGridLayout(brushWidget);
    brushLayout->addWidget(new QLabel(tr("填充颜色："), brushWidget), 0, 0);
    brushLayout->addWidget(btnSelectBrushColor, 0, 1);
    layout->addWidget(brushWidget);

    textTypeWidget = new QWidget(panel);
    textTypeWidget->setObjectName(QStringLiteral("textTypeWidget"));
    auto *textLayout = new QGridLayout(textTypeWidget);
    lblFont = new QLabel(textTypeWidget);
    lblFont->setObjectName(QStringLiteral("lblFont"));
    btnSelectFont = plainButton(tr("选择字体"), "btnSelectFont", textTypeWidget);
    btnSelectFontColor = plainButton(QString(), "btnSelectFontColor", textTypeWidget);
    textStyle = new QComboBox(textTypeWidget);
    textStyle->setObjectName(QStringLiteral("textStyle"));
    textStyle->addItems({tr("水平排列"), tr("垂直排列"), tr("环形排列")});
    radiusWidget = new QWidget(textTypeWidget);
    radiusWidget->setObjectName(QStringLiteral("radiusWidget"));
    textRadius = new QSpinBox(radiusWidget);
    textRadius->setObjectName(QStringLiteral("textRadius"));
    textRadius->setRange(30, 1000);
    textRadius->setValue(150);
    auto *radiusLayout = new QHBoxLayout(radiusWidget);
    radiusLayout->setContentsMargins(0, 0, 0, 0);
    radiusLayout->addWidget(new QLabel(tr("半径："), radiusWidget));
    radiusLayout->addWidget(textRadius);
    textLayout->addWidget(new QLabel(tr("字体："), textTypeWidget), 0, 0);
    textLayout->addWidget(lblFont, 0, 1);
    textLayout->addWidget(btnSelectFont, 1, 1);
    textLayout->addWidget(new QLabel(tr("字体颜色："), textTypeWidget), 2, 0);
    textLayout->addWidget(btnSelectFontColor, 2, 1);
    textLayout->addWidget(new QLabel(tr("文字排列方式："), textTypeWidget), 3, 0);
    textLayout->addWidget(textStyle, 3, 1);
    textLayout->addWidget(radiusWidget, 4, 0, 1, 2);
    layout->addWidget(textTypeWidget);

    // The eraser is a solid line of its own width: the pen's style and width do not apply.
    eraserWidget = new QWidget(panel);
    eraserWidget->setObjectName(QStringLiteral("eraserWidget"));
    eraserWidthSpinBox = new QSpinBox(eraserWidget);
    eraserWidthSpinBox->setObjectName(QStringLiteral("eraserWidthSpinBox"));
    eraserWidthSpinBox->setRange(1, 200);
    eraserWidthSpinBox->setValue(20);
    auto *eraserLayout = new QGridLayout(eraserWidget);
    eraserLayout->addWidget(new QLabel(tr("擦写宽度："), eraserWidget), 0, 0);
    eraserLayout->addWidget(eraserWidthSpinBox, 0, 1);
    layout->addWidget(eraserWidget);

    backgroundColorWidget = new QWidget(panel);
    backgroundColorWidget->setObjectName(QStringLiteral("backgroundColorWidget"));
    btnBackgroundColor = plainButton(QString(), "btnBackgroundColor", backgroundColorWidget);
    auto *bgLayout = new QGridLayout(backgroundColorWidget);
    bgLayout->addWidget(new QLabel(tr("背景颜色："), backgroundColorWidget), 0, 0);
    bgLayout->addWidget(btnBackgroundColor, 0, 1);
    layout->addWidget(backgroundColorWidget);

    penTypeWidget->show();
    textTypeWidget->hide();
    eraserWidget->hide();

    connect(btnSelectPenColor, &QPushButton::clicked, this, &DiyForm::onBtnSelectPenColorClick);
    connect(btnSelectBrushColor, &QPushButton::clicked, this,
            &DiyForm::onBtnSelectBrushColorClick);
    connect(btnSelectFontColor, &QPushButton::clicked, this, &DiyForm::onSelectFontCololrClicked);
    connect(btnBackgroundColor, &QPushButton::clicked, this, &DiyForm::onBtnSetBackgroundColor);
    connect(btnSelectFont, &QPushButton::clicked, this, &DiyForm::onSelectFontClicked);
    connect(penWidthSpinBox, &QSpinBox::valueChanged, this,
            &DiyForm::on_penWidthSpinBox_valueChanged);
    // Qt 6 has only the index-based signal.
    connect(penStyleComboBox, &QComboBox::currentIndexChanged, this,
            &DiyForm::on_penStyleComboBox_currentIndexChanged);
    connect(eraserWidthSpinBox, &QSpinBox::valueChanged, this,
            &DiyForm::onEraserWidthValueChanged);
    connect(textStyle, &QComboBox::currentIndexChanged, this, &DiyForm::onTextStyleChanged);
    connect(textRadius, &QSpinBox::valueChanged, this, &DiyForm::onTextRadiusValueChanged);
    return panel;
}

void DiyForm::addShortcuts()
{
    auto bind = [this](const QList<QKeySequence> &keys, void (DiyForm::*slot)()) {
        auto *shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    bind({QKeySequence(Qt::CTRL | Qt::Key_Z)}, &DiyForm::onBtnReset);
    bind({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)},
         &DiyForm::onBtnRedo);
    bind({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
         &DiyForm::onBtnZoomIn);
    bind({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &DiyForm::onBtnZoomOut);
}

void DiyForm::showColour(QPushButton *button, const QColor &color)
{
    const QSize size = button->size().isValid() && !button->size().isEmpty()
                           ? button->size() : QSize(60, 24);
    QPixmap swatch(size);
    swatch.fill(color.isValid() ? color : QColor(Qt::black));
    button->setIcon(QIcon(swatch));
    button->setIconSize(size);
}

// ----------------------------------------------------------------------------------- tools

void DiyForm::selectTool(int number)
{
    for (int i = 0; i < 8; ++i)
        toolButtons[i]->setChecked(i + 1 == number);
    brushWidget->hide();
    eraserWidget->setVisible(number == DiyTool::Eraser);
    canvas->setTool(number);
    switch (number) {
    case DiyTool::Pen:
        penTypeWidget->show();
        textTypeWidget->hide();
        break;
    case DiyTool::Line:
    case DiyTool::Rect:
    case DiyTool::RoundRect:
    case DiyTool::Ellipse:
        brushWidget->show();
        penTypeWidget->show();
        textTypeWidget->hide();
        break;
    case DiyTool::Text:
        penTypeWidget->hide();
        textTypeWidget->show();
        updateFontLabel();
        showColour(btnSelectFontColor, fontColor);
        break;
    case DiyTool::Eraser:
        penTypeWidget->hide();
        textTypeWidget->hide();
        break;
    default:
        break;
    }
}

void DiyForm::onBtnShapePenClick() { selectTool(DiyTool::Pen); }
void DiyForm::onBtnShapeLineClick() { selectTool(DiyTool::Line); }
void DiyForm::onBtnShapeRectClick() { selectTool(DiyTool::Rect); }
void DiyForm::onBtnShapeRoundRectClick() { selectTool(DiyTool::RoundRect); }
void DiyForm::onBtnShapeRoundClick() { selectTool(DiyTool::Ellipse); }
void DiyForm::onBtnShapeTextClick() { selectTool(DiyTool::Text); }
void DiyForm::onBtnShapeMoveClick() { selectTool(DiyTool::Move); }
void DiyForm::onBtnShapeDelClick() { selectTool(DiyTool::Eraser); }

// -------------------------------------------------------------------------------- settings

bool DiyForm::chooseColour(QColor &current, QPushButton *button)
{
    const QColor chosen = QColorDialog::getColor(current, this);
    if (!chosen.isValid())
        return false;
    current = chosen;
    showColour(button, current);
    return true;
}

void DiyForm::focusEditorOrRepaint()
{
    if (canvas->isTyping())
        canvas->textEditor()->setFocus();
    else
        canvas->repaintShape();
}

void DiyForm::onBtnSelectPenColorClick()
{
    if (!chooseColour(penColor, btnSelectPenColor))
        return;
    canvas->setPenColor(penColor);
    canvas->repaintShape();
}

void DiyForm::onBtnSelectBrushColorClick()
{
    if (!chooseColour(fillColor, btnSelectBrushColor))
        return;
    canvas->setFillColor(fillColor);
    canvas->repaintShape();
}

void DiyForm::onSelectFontCololrClicked()
{
    if (!chooseColour(fontColor, btnSelectFontColor))
        return;
    canvas->setFontColor(fontColor);
    focusEditorOrRepaint();
}

void DiyForm::onBtnSetBackgroundColor()
{
    if (!chooseColour(backgroundColor, btnBackgroundColor))
        return;
    canvas->setBackgroundColor(backgroundColor);
}

void DiyForm::on_penWidthSpinBox_valueChanged(int value)
{
    canvas->setPenWidth(value);
    canvas->repaintShape();
}

void DiyForm::on_penStyleComboBox_currentIndexChanged(int index)
{
    canvas->setPenStyle(index == 0 ? Qt::SolidLine : Qt::DotLine);
    canvas->repaintShape();
}

void DiyForm::onEraserWidthValueChanged(int value)
{
    canvas->setEraserWidth(value);
}

void DiyForm::applyFont(const QFont &chosen)
{
    canvas->setTextFont(chosen);
    font = canvas->textFont();  // the canvas holds the size to what it can lay out
    updateFontLabel();
}

void DiyForm::onSelectFontClicked()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, this);
    if (!ok)
        return;
    applyFont(chosen);
    focusEditorOrRepaint();
}

void DiyForm::updateFontLabel()
{
    lblFont->setText(tr("diyform_lblfont_title")
                         .arg(font.family())
                         .arg(QString::number(font.pointSize())));
}

void DiyForm::onTextStyleChanged(int index)
{
    canvas->setTextStyle(index);
    radiusWidget->setVisible(index == 2);
    focusEditorOrRepaint();
}

void DiyForm::onTextRadiusValueChanged(int value)
{
    canvas->setTextRadius(value);
    focusEditorOrRepaint();
}

// ----------------------------------------------------------------------- zoom and history

void DiyForm::onBtnZoomIn()
{
    if (toolButtons[DiyTool::Move - 1]->isChecked())
        selectTool(DiyTool::Pen);
    canvas->zoomIn();
}

void DiyForm::onBtnZoomOut()
{
    if (toolButtons[DiyTool::Move - 1]->isChecked())
        selectTool(DiyTool::Pen);
    canvas->zoomOut();
}

void DiyForm::onBtnReset()
{
    canvas->revokeCancel();
}

void DiyForm::onBtnRedo()
{
    canvas->redo();
}

// ------------------------------------------------------------------------------ finishing

void DiyForm::onBtnOk()
{
    const auto answer = QMessageBox::warning(
        this, tr("dialog_title_tip"), tr("diyform_save_diy_tip"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) {
        QFileDialog chooser(this, tr("diyform_save_diy_selectfile"),
                            AppSettings().lastFolder(AppSettings::Folder::DiySave,
                                                     lastBrowseDirectory),
                            FileFilters::filter(tr("Images (*.png)"), {QStringLiteral("png")}));
        chooser.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without a suffix gets ".png" (the replace question then asks about
        // the file really written).
        chooser.setDefaultSuffix(QStringLiteral("png"));
        if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
            return;
        const QString path = chooser.selectedFiles().constFirst();
        AppSettings().setLastFolder(AppSettings::Folder::DiySave, path);
        if (!canvas->saveImage(path)) {
            QMessageBox::warning(this, tr("dialog_title_tip"),
                                 tr("diyform_save_failed").arg(path));
            return;
        }
        m_savedPath = path;
        finishAccepted();
    } else if (answer == QMessageBox::No) {
        m_savedPath.clear();
        canvas->commitPending();
        canvas->clearModified();
        finishAccepted();
    }
}

bool DiyForm::finishAccepted()
{
    canvas->commitPending();
    output = canvas->getImage();
    if (!outputPath.isEmpty()) {
        ensureWorkDirectory();
        if (!output.save(outputPath, "png")) {
            qCWarning(lcDiy) << "#DiyForm# cannot write " << outputPath;
            QMessageBox::warning(this, tr("dialog_title_tip"),
                                 tr("diyform_save_failed").arg(outputPath));
            return false;
        }
    }
    finished = true;
    done(QDialog::Accepted);
    return true;
}

void DiyForm::onBtnCancel()
{
    close();
}

void DiyForm::closeEvent(QCloseEvent *event)
{
    // Finishing has decided already: the close that ends it must not turn it into Rejected.
    if (finished) {
        event->accept();
        return;
    }
    if (canvas->isModified()) {
        const auto answer = QMessageBox::warning(this, tr("dialog_title_tip"),
                                                 tr("diyform_cancel_diy_title"),
                                                 QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    setResult(QDialog::Rejected);
    event->accept();
}

void DiyForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
