#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QProgressBar;

// A job's progress under a busy text: a bar and below it the line "done of total, about N s
// left", the time left extrapolated from the pace since start(). Hidden until the first
// setProgress(): a job that does not know its size shows nothing of it.
class ProgressLine : public QWidget
{
    Q_OBJECT
public:
    // The pace is counted from here until start() is called.
    explicit ProgressLine(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ProgressLine)

    // The job starts now: the pace is counted from here.
    void start();
    // Shows the bar and the line at done of total (done kept within 0..total); total <= 0
    // is ignored.
    void setProgress(qint64 done, qint64 total);
    // The line; empty before the first setProgress().
    QString text() const;

    // Seconds left at this pace, -1 while unknown (nothing done yet).
    static qint64 secondsLeft(qint64 done, qint64 total, qint64 elapsedMs);
    // "done of total", with the seconds left once they can be told.
    static QString line(qint64 done, qint64 total, qint64 elapsedMs);

private:
    QProgressBar *bar = nullptr;
    QLabel *label = nullptr;
    QElapsedTimer clock;
};
