#pragma once

#include <QDialog>
#include <QPointer>

class ProgressLine;
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

    // Determinate mode for jobs that know their size: the first call shows a bar and a
    // line "done of total, about N s left" (the time left extrapolated from the pace since
    // the dialog was made); later calls move them. total <= 0 is ignored.
    void setProgress(qint64 done, qint64 total);
    // The line under the bar; empty before the first setProgress().
    QString progressText() const;

    // Ends the modal run of the dialog held in dialog (if any) and deletes it once that run
    // has returned to the event loop; dialog is null afterwards.
    static void finish(QPointer<ProgressDialog> &dialog);

private:
    QLabel *textLabel = nullptr;
    QLabel *animationLabel = nullptr;
    QMovie *animation = nullptr;
    ProgressLine *progress = nullptr;
};
