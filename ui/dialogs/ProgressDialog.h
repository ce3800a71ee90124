#pragma once

#include <QDialog>
#include <QPointer>

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

    // Ends the modal run of the dialog held in dialog (if any) and deletes it once that run
    // has returned to the event loop; dialog is null afterwards.
    static void finish(QPointer<ProgressDialog> &dialog);

private:
    QLabel *textLabel = nullptr;
    QLabel *animationLabel = nullptr;
    QMovie *animation = nullptr;
};
