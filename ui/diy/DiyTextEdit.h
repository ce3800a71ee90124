#pragma once

#include <QLineEdit>

// The canvas's text box. Return and Enter finish the text and stop there: in a dialog a
// line edit passes them on, and the dialog would press its default button as well.
class DiyTextEdit : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int MaxLength = 200;

    explicit DiyTextEdit(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
