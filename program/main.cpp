#include "app/AppGlobals.h"
#include "app/AppLog.h"
#include "app/ExitSignals.h"
#include "app/LanguageSwitcher.h"
#include "app/LanguageTable.h"
#include "app/WorkDirectory.h"
#include "loop/HandlerThread.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/FontFallbacks.h"
#include "ui/main/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

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

// Without a work directory no item could keep its files: say so instead of running without.
int refuseToStart(const WorkDirectory &work)
{
    const QString where = WorkDirectory::location();
    std::fprintf(stderr, "hologram-display: cannot create a work directory in %s (%s)\n",
                 qPrintable(where), qPrintable(work.errorString()));
    // Without its catalogue the box shows its keys; the failure is logged.
    LanguageSwitcher english;
    english.switchTo(*LanguageTable::byName(u"en_US"));
    QMessageBox::critical(nullptr, QCoreApplication::translate("MainWindow", "Hologram Display"),
                          QCoreApplication::translate("MainWindow",
                                                      "dialog_text_work_directory_failed")
                              .arg(where, work.errorString()));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    ledCount = kDefaultLedCount;
    lineNumber = kDefaultLineNumber;

    QApplication app(argc, argv);
    // Qt 6 reads every narrow string literal as UTF-8 already; nothing to install.
    FontFallbacks::install();

    // "default.bin" is still looked up in the start directory; the files of the run live in
    // a private directory instead of a shared "temp" beneath it.
    initAppGlobals(QDir::currentPath());
    const WorkDirectory work;
    if (!work.isValid())
        return refuseToStart(work);
    qCDebug(lcApp) << "#main# work directory" << work.path();

    ExitSignals exitSignals;
    QObject::connect(&exitSignals, &ExitSignals::exitRequested, &app, &QApplication::quit);

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
    if (exitSignals.received())
        code = 128 + exitSignals.received();
    return code;
}
