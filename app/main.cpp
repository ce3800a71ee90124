#include "app/AppGlobals.h"
#include "app/DirectoryUtil.h"
#include "loop/HandlerThread.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QDir>

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
        code = app.exec();
    }
    // The loop thread outlives the window; stop and join it so nothing runs at exit.
    HandlerThread::shutdownShared();
    return code;
}
