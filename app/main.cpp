#include "app/AppGlobals.h"
#include "app/DirectoryUtil.h"
#include "loop/HandlerThread.h"
#include "ui/CustomTableModel.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace {

// Demonstration aid for screenshots and manual checks: HD_DEMO_PICTURES lists picture files
// (separated like PATH) that are added to the picture list once the window is up.
void scheduleDemoImport(MainWindow &window)
{
    const QString list = qEnvironmentVariable("HD_DEMO_PICTURES");
    if (list.isEmpty())
        return;
    const QStringList files = list.split(QDir::listSeparator(), Qt::SkipEmptyParts);
    QTimer::singleShot(300, &window, [&window, files] {
        for (const QString &file : files)
            window.addPictureFile(file);
        window.pressImageWidget(window.pictureModel()->index(0, 0));
    });
}

} // namespace

int main(int argc, char *argv[])
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;

    QApplication app(argc, argv);
    // Qt 6 reads every narrow string literal as UTF-8 already; nothing to install.

    initAppGlobals(QDir::currentPath());
    clearDirectory(workDirectory());

    int code = 0;
    {
        MainWindow window;
        window.onBtnEnUsClick();
        window.show();
        scheduleDemoImport(window);
        code = app.exec();
    }
    // The loop thread outlives the window; stop and join it so nothing runs at exit.
    HandlerThread::shutdownShared();
    return code;
}
