#pragma once

#include "motion/TextClipDescription.h"

#include <QImage>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <memory>

class TextClipRenderer;

// The text clip dialog's live round preview: plays the clip at the display's pace (one
// frame every 100 ms, over and over) as the round display shows it. Laying the text out and
// drawing each frame happen on a worker thread of its own, one job at a time, so typing never
// waits for them; a settings change starts the preview again from its first frame, and work
// for settings already replaced is dropped unseen.
class TextClipPreview : public QWidget
{
    Q_OBJECT
public:
    explicit TextClipPreview(QWidget *parent = nullptr);
    // Waits for the job under way; results still on their way are dropped.
    ~TextClipPreview() override;
    Q_DISABLE_COPY_MOVE(TextClipPreview)

    // New settings: the preview starts again with them (blank while they cannot make a clip).
    void setDescription(const TextClipDescription &wanted);
    // Pauses or resumes playing.
    void setPlaying(bool playing);

    // The frame shown (index in the clip) and the settings it was drawn from.
    int shownIndex() const { return shown; }
    const TextClipDescription &shownDescription() const { return shownSettings; }
    const QImage &shownFrame() const { return frameImage; }

    QSize sizeHint() const override { return {320, 320}; }

signals:
    // A new frame is on screen.
    void frameShown(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void tick();
    void requestFrame(int index);
    void takeRenderer(quint64 generation, std::shared_ptr<TextClipRenderer> renderer);
    void takeFrame(quint64 generation, int index, const QImage &frame, const QImage &round);

    QThreadPool worker;
    QTimer clock;
    // Raised by every settings change; jobs of an older one stop and their results go.
    std::atomic<quint64> generation{0};
    TextClipDescription wantedSettings;
    std::shared_ptr<TextClipRenderer> renderer;
    TextClipDescription shownSettings;
    QImage frameImage;
    // frameImage as the display shows it, at the widget's size.
    QImage roundImage;
    int shown = -1;
    // Whether a job whose result is awaited (layout or frame) is out.
    bool drawing = false;
};
