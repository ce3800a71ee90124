// Handling one mouse move on the drawing canvas (and painting what it changed): a pen
// stroke and a rectangle being dragged out, on a new 450 x 450 drawing and on a
// 4000 x 3000 picture at zoom 0. Drawing keeps up with the mouse while this stays well
// under one frame at 60 Hz (16 ms).
#include "ui/diy/DiyPainter.h"
#include "diy/DiyTool.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtMath>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void send(QWidget *w, QEvent::Type type, const QPoint &p, Qt::MouseButton button)
{
    const QPointF local(p);
    QMouseEvent event(type, local, local, QPointF(w->mapToGlobal(p)),
                      type == QEvent::MouseMove ? Qt::NoButton : button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Counts the paints the moves cause, to show they are part of what is measured.
class PaintCounter : public QObject
{
public:
    long paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The canvas in a scroll area of a usual window size, as the form shows it.
struct Setup
{
    explicit Setup(int side)
    {
        QString path;
        if (side > 450) {
            QImage picture(4000, 3000, QImage::Format_RGB32);
            picture.fill(QColor(40, 90, 160));
            path = QDir(dir.path()).filePath("big.png");
            picture.save(path);
        }
        canvas = new DiyPainter(path);
        area.setWidget(canvas);
        area.resize(1200, 800);
        area.show();
        canvas->setBackgroundColor(Qt::black);
        canvas->setPenColor(Qt::white);
        canvas->setPenWidth(6);
        QApplication::processEvents();
    }
    QTemporaryDir dir;
    QScrollArea area;
    DiyPainter *canvas = nullptr;
};

// Points on a circle about (300, 300), about 10 pixels apart, as a mouse sends them.
QPoint along(long i)
{
    const double a = (i % 180) * 2.0 * M_PI / 180.0;
    return QPoint(300 + int(120 * qCos(a)), 300 + int(120 * qSin(a)));
}

void runMoves(benchmark::State &state, int tool)
{
    Setup s(int(state.range(0)));
    s.canvas->setTool(tool);
    PaintCounter counter;
    s.canvas->installEventFilter(&counter);
    send(s.canvas, QEvent::MouseButtonPress, along(0), Qt::LeftButton);
    long i = 1;
    for (auto _ : state) {
        send(s.canvas, QEvent::MouseMove, along(i++), Qt::LeftButton);
        QApplication::processEvents();  // the paint the move asked for
    }
    send(s.canvas, QEvent::MouseButtonRelease, along(i), Qt::LeftButton);
    state.counters["paints_per_move"] = double(counter.paints) / double(i - 1);
}

void BM_PenMove(benchmark::State &state) { runMoves(state, DiyTool::Pen); }
void BM_RectangleDragMove(benchmark::State &state) { runMoves(state, DiyTool::Rect); }

// The first move of a stroke copies the picture once (it is shared with the undo history).
void BM_PenStrokeOfTenMoves(benchmark::State &state)
{
    Setup s(int(state.range(0)));
    s.canvas->setTool(DiyTool::Pen);
    for (auto _ : state) {
        send(s.canvas, QEvent::MouseButtonPress, along(0), Qt::LeftButton);
        for (int i = 1; i <= 10; ++i) {
            send(s.canvas, QEvent::MouseMove, along(i), Qt::LeftButton);
            QApplication::processEvents();
        }
        send(s.canvas, QEvent::MouseButtonRelease, along(10), Qt::LeftButton);
    }
}

} // namespace

BENCHMARK(BM_PenMove)->Arg(450)->Arg(4000)->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RectangleDragMove)->Arg(450)->Arg(4000)->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PenStrokeOfTenMoves)->Arg(450)->Arg(4000)->Unit(benchmark::kMillisecond)
    ->Iterations(20);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "hologram.*=false");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
