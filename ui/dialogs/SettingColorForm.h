#pragma once

#include <QDialog>

// Edits the colour correction table: 32 rows of red, green and blue fields (txtR1 ..
// txtB32). Every keystroke goes straight into the table; there is no OK or Cancel.
class SettingColorForm : public QDialog
{
    Q_OBJECT
public:
    explicit SettingColorForm(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SettingColorForm)

private:
    QWidget *buildRow(int row);
};
