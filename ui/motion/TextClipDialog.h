#pragma once

#include "model/SamplingMode.h"
#include "motion/TextClipDescription.h"

#include <QDialog>

#include <memory>

class MediaObject;
class QComboBox;
class QDialogButtonBox;
class QDoubleSpinBox;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TextClipPreview;

// The dialog for a clip of moving text: text, font, size, colour, a background colour or
// picture, the motion, its speed and the clip's length, with a live round preview. OK makes
// the clip through MotionClipMaker (the command line's way, so the LED data is the same)
// while a busy dialog shows the progress, and accepts with it; settings that cannot make a
// clip (no text, no length) keep OK disabled with the reason shown.
class TextClipDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TextClipDialog(QWidget *parent = nullptr);
    ~TextClipDialog() override;
    Q_DISABLE_COPY_MOVE(TextClipDialog)

    void setDescription(const TextClipDescription &wanted);
    TextClipDescription description() const;
    void setSampling(SamplingMode mode) { sampling = mode; }

    // Why the settings cannot make a clip, in the interface's language; empty when they can.
    QString refusal() const;

    // After an accepted run: the clip numbered number (loop count 1, its origin the
    // description); the caller owns it. Null otherwise and once taken.
    MediaObject *takeClip(int number);

    // The whole step from the window: runs the dialog and returns the new clip, or null.
    static MediaObject *createClip(QWidget *parent, int number, SamplingMode sampling);
    // Opens the dialog on a text clip's settings; the clip made from the changed settings,
    // or null (cancelled, or clip is no text clip).
    static MediaObject *editClip(QWidget *parent, const MediaObject *clip, SamplingMode sampling);
    // The settings a clip was made from; false for a clip not made as a text clip (or whose
    // stored settings no longer read).
    static bool descriptionOf(const MediaObject *clip, TextClipDescription *wanted);

    TextClipPreview *preview() const { return previewWidget; }

public slots:
    // Makes the clip; accepts when it was made, stays open (having said why) when not.
    void accept() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void buildForm();
    void retranslate();
    void settingsChanged();
    void chooseColor(QColor *color);
    void chooseBackgroundPicture();
    void showColors();
    bool makeClip();

    SamplingMode sampling = SamplingMode::Sharp;
    QColor textColor = QColor(255, 255, 255);
    QColor backColor = QColor(0, 0, 0);
    QString backgroundPath;
    // Empty for the default face; kept as asked even when this system lacks it.
    QString fontFamily;
    std::unique_ptr<MediaObject> made;
    bool filling = false;

    QLabel *textLabel = nullptr;
    QLineEdit *textEdit = nullptr;
    QLabel *fontLabel = nullptr;
    QFontComboBox *fontBox = nullptr;
    QLabel *sizeLabel = nullptr;
    QSpinBox *sizeBox = nullptr;
    QLabel *colorLabel = nullptr;
    QPushButton *colorButton = nullptr;
    QLabel *backgroundLabel = nullptr;
    QPushButton *backColorButton = nullptr;
    QPushButton *pictureButton = nullptr;
    QPushButton *noPictureButton = nullptr;
    QLabel *pictureLabel = nullptr;
    QLabel *motionLabel = nullptr;
    QComboBox *motionBox = nullptr;
    QLabel *speedLabel = nullptr;
    QSpinBox *speedBox = nullptr;
    QLabel *secondsLabel = nullptr;
    QDoubleSpinBox *secondsBox = nullptr;
    QLabel *reasonLabel = nullptr;
    QDialogButtonBox *buttons = nullptr;
    TextClipPreview *previewWidget = nullptr;
};
