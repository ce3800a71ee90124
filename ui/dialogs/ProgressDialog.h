#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

class QLabel;
class QMovie;
class QProgressBar;

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
    // line "done of total, about N s left" (the time left extrapolated from the pace so
    // far); later calls move them. total <= 0 is ignored.
    void setProgress(qint64 done, qint64 total);
    // The line under the bar; empty before the first setProgress().
    QString progressText() const;
    // Seconds left at this pace, -1 while unknown (nothing done yet).
    static qint64 secondsLeft(qint64 done, qint64 total, qint64 elapsedMs);
    // "done of total", with the seconds left once they can be told: the line under a bar.
    static QString progressLine(qint64 done, qint64 total, qint64 elapsedMs);

    // Ends the modal run of the dialog held in dialog (if any) and deletes it once that run
    // has returned to the event loop; dialog is null afterwards.
    static void finish(QPointer<ProgressDialog> &dialog);

private:
    QLabel *textLabel = nullptr;
    QLabel *animationLabel = nullptr;
    QMovie *animation = nullptr;
    QProgressBar *bar = nullptr;
    QLabel *progressLabel = nullptr;
    QElapsedTimer clock; // from the dialog's start: the job's pace
};
