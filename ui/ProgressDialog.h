#pragma once

#include <QDialog>

class QLabel;
class QMovie;

// Small busy dialog: an animation, a text and one cancel button. Shown modally while the
// program waits for a job on another thread; the job's completion closes and deletes it.
class ProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ProgressDialog(const QString &text, QWidget *parent = nullptr);
    ~ProgressDialog() override;
    Q_DISABLE_COPY_MOVE(ProgressDialog)

    QString text() const;
    void setText(const QString &text);
    QMovie *movie() const { return animation; }

private:
    QLabel *textLabel = nullptr;
    QLabel *animationLabel = nullptr;
    QMovie *animation = nullptr;
};
