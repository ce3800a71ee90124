#pragma once

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QGroupBox;
class QPushButton;

// Asks for the name of the effect file; the caller appends ".bin". A name that cannot name
// a file on the disks the display reads (FAT) or on the computer is refused in place.
class GetSaveFileDialog : public QDialog
{
    Q_OBJECT
public:
    explicit GetSaveFileDialog(QWidget *parent = nullptr);
    ~GetSaveFileDialog() override;
    Q_DISABLE_COPY_MOVE(GetSaveFileDialog)

    // The typed name, read after the dialog was accepted.
    QString fileName() const;

    // True when name + ".bin" can name a file: not empty, no separator or character FAT
    // file systems reserve (" * / : < > ? \ |), no control character, no trailing dot or
    // space, no device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9), not too long.
    static bool isUsableFileName(const QString &name);

    // Longest name accepted: 255 (the limit of FAT long names and of ext4, in bytes) less
    // the ".bin" the program appends.
    static constexpr int kMaxNameLength = 251;

    // Runs the dialog modally, offering *name; true with the typed name in *name when it was
    // accepted.
    static bool askFileName(QWidget *parent, QString *name);

private slots:
    void onBtnOkClick();
    void onBtnCancelClick();

private:
    void setupUi();
    void retranslateUi();

    QLabel *label = nullptr;
    QLineEdit *txtFileName = nullptr;
    QGroupBox *groupBox = nullptr;
    QDialogButtonBox *buttonBox = nullptr;
    QPushButton *okBut = nullptr;
    QPushButton *cancelBut = nullptr;
};
