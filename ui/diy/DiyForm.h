#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QImage>
#include <QString>

class DiyFormHandler;
class DiyPainter;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

// The modal drawing editor: the canvas in a scroll area, the tool buttons and drawing
// settings. Ends accepted when the drawing is finished (after offering to save it on the
// computer) or rejected when it is given up.
class DiyForm : public QDialog
{
    Q_OBJECT
public:
    // imagePath: the picture to edit, empty for a new drawing.
    DiyForm(const QString &imagePath, int languageCode, QWidget *parent = nullptr);
    ~DiyForm() override;
    Q_DISABLE_COPY_MOVE(DiyForm)

    DiyPainter *painter() const { return canvas; }
    QString savedPath() const { return m_savedPath; }

    // When set, finishing also writes the 450 x 450 output picture there as PNG; a failed
    // write is reported and keeps the form open. outputImage() is that picture.
    void setOutputPath(const QString &path) { outputPath = path; }
    QImage outputImage() const { return output; }

public slots:
    void onBtnShapePenClick();
    void onBtnShapeLineClick();
    void onBtnShapeRectClick();
    void onBtnShapeRoundRectClick();
    void onBtnShapeRoundClick();
    void onBtnShapeTextClick();
    void onBtnShapeMoveClick();
    void onBtnShapeDelClick();
    void onBtnSelectPenColorClick();
    void onBtnSelectBrushColorClick();
    void onSelectFontCololrClicked();
    void onBtnSetBackgroundColor();
    void on_penWidthSpinBox_valueChanged(int value);
    void on_penStyleComboBox_currentIndexChanged(int index);
    void onEraserWidthValueChanged(int value);
    void onSelectFontClicked();
    void onTextStyleChanged(int index);
    void onTextRadiusValueChanged(int value);
    void onBtnZoomIn();
    void onBtnZoomOut();
    void onBtnReset();
    void onBtnRedo();
    void onBtnOk();
    void onBtnCancel();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildWidgets();
    QWidget *buildToolButtons();
    QWidget *buildSettings();
    void addShortcuts();
    void selectTool(int number);
    void applyFont(const QFont &chosen);
    void updateFontLabel();
    void showColour(QPushButton *button, const QColor &color);
    // Asks for a colour starting at current; false when cancelled.
    bool chooseColour(QColor &current, QPushButton *button);
    void focusEditorOrRepaint();
    // Merges, writes the output picture (when asked) and ends accepted; false (after
    // telling the user) when the output cannot be written.
    bool finishAccepted();

    DiyPainter *canvas = nullptr;
    DiyFormHandler *handler = nullptr;
    QString m_savedPath;
    QString outputPath;
    QImage output;
    bool finished = false;
    QFont font;
    QColor fontColor;
    QColor penColor;
    QColor fillColor;
    QColor backgroundColor;

    QScrollArea *scrollArea = nullptr;
    QToolButton *toolButtons[8] = {};
    QWidget *penTypeWidget = nullptr;
    QWidget *brushWidget = nullptr;
    QWidget *textTypeWidget = nullptr;
    QWidget *eraserWidget = nullptr;
    QSpinBox *eraserWidthSpinBox = nullptr;
    QWidget *radiusWidget = nullptr;
    QWidget *backgroundColorWidget = nullptr;
    QComboBox *penStyleComboBox = nullptr;
    QSpinBox *penWidthSpinBox = nullptr;
    QPushButton *btnSelectPenColor = nullptr;
    QPushButton *btnSelectBrushColor = nullptr;
    QLabel *lblFont = nullptr;
    QPushButton *btnSelectFont = nullptr;
    QPushButton *btnSelectFontColor = nullptr;
    QComboBox *textStyle = nullptr;
    QSpinBox *textRadius = nullptr;
    QPushButton *btnBackgroundColor = nullptr;
    QPushButton *btnZoomIn = nullptr;
    QPushButton *btnZoomOut = nullptr;
    QPushButton *btnReset = nullptr;
    QPushButton *btnRedo = nullptr;
    QPushButton *okBut = nullptr;
    QPushButton *cancelBut = nullptr;
};
