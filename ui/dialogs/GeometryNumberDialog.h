#pragma once

#include <QDialog>

class QLineEdit;

// A small dialog asking for one number of the display geometry, shared by the LED count and
// the line number dialogs. Only 1 to the top of the range closes it with OK, anything else
// (an empty field too) is refused with the allowed range: QIntValidator lets "0" and numbers
// above the top stand as intermediate input, and a count of 0 would divide by zero in every
// conversion.
class GeometryNumberDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int EmptyValue = 40;

    // The field's text in base 10; EmptyValue when it is no number (an empty field).
    int value() const;
    // True when OK may close the dialog with this text.
    bool isAcceptable() const;
    // "Enter a whole number from 1 to <top>."
    QString rangeText() const;
    QLineEdit *field() const { return txtNumber; }

public slots:
    void accept() override;

protected:
    GeometryNumberDialog(int top, int initial, QWidget *parent);
    // Texts in the concrete dialog's translation context.
    void setTexts(const QString &title, const QString &label, const QString &ok,
                  const QString &cancel);

private:
    QLineEdit *txtNumber = nullptr;
    class QLabel *lblNumber = nullptr;
    class QPushButton *btnOk = nullptr;
    class QPushButton *btnCancel = nullptr;
    const int top;
};
