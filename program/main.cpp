#include "app/AppGlobals.h"
#include "app/AppLog.h"
#include "app/AppSettings.h"
#include "app/ExitSignals.h"
#include "app/LanguageSwitcher.h"
#include "app/LanguageTable.h"
#include "app/WorkDirectory.h"
#include "loop/HandlerThread.h"
#include "ui/playlist/CustomTableModel.h"
#include "ui/FontFallbacks.h"
#include "ui/main/MainWindow.h"
#include "ui/main/ShowRecovery.h"
#include "ui/main/ShowSession.h"
#include "ui/main/WindowSession.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
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

void describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Authoring tool for a spinning LED-blade display: collects pictures, GIF and video clips "
        "into a playlist and writes it as one effect file for the display."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("show"),
                                 QStringLiteral("A show file (.hdshow) to open."),
                                 QStringLiteral("[show]"));
}

void nameApplication()
{
    // Settings live under the organisation's name (see AppSettings); the application's name
    // is the program's, as --version tells it.
    QCoreApplication::setOrganizationName(QLatin1String(AppSettings::Organisation));
    QCoreApplication::setApplicationName(QStringLiteral("hologram-display"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HD_VERSION));
}

// --help and --version answer without a window, so they work where no display is (a
// terminal over ssh, the manual page's build). Anything else waits for the window.
bool asksForInformationOnly(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            return false;
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version" || arg == "-?")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    QCommandLineParser parser;
    if (asksForInformationOnly(argc, argv)) {
        const QCoreApplication info(argc, argv);
        nameApplication();
        describeCommandLine(parser);
        parser.process(info);  // prints and exits
        return 0;
    }

    QApplication app(argc, argv);
    nameApplication();
    describeCommandLine(parser);
    // Qt's own options (-platform, -style ...) are taken by QApplication before this.
    parser.process(app);
    // The desktop entry hands one show file over; more are not opened.
    const QStringList shows = parser.positionalArguments();
    for (const QString &extra : shows.mid(1))
        std::fprintf(stderr, "hologram-display: only one show is opened; %s is left alone\n",
                     qPrintable(extra));
    const QString showPath =
        shows.isEmpty() ? QString() : QFileInfo(shows.constFirst()).absoluteFilePath();
    // Qt 6 reads every narrow string literal as UTF-8 already; nothing to install.
    FontFallbacks::install();

    // "default.bin" is still looked up in the start directory; the files of the run live in
    // a private directory instead of a shared "temp" beneath it.
    initAppGlobals(QDir::currentPath());
    const WorkDirectory work;
    if (!work.isValid())
        return refuseToStart(work);
    qCDebug(lcApp) << "#main# work directory" << work.path();
    // The display geometry of the last run, before anything is made for it.
    {
        const AppSettings settings;
        ledCount = settings.ledCount();
        lineNumber = settings.lineNumber();
    }

    ExitSignals exitSignals;

    int code = 0;
    {
        MainWindow window;
        // Quitting closes the window, whose close would ask about unsaved changes; a
        // termination signal has nobody to answer.
        QObject::connect(&exitSignals, &ExitSignals::exitRequested, &window, [&window] {
            window.showSession()->closeWithoutAsking();
            QApplication::quit();
        });
        // Language, size and place of the last run; the language and the display geometry are
        // stored as they change, the rest when the window closes.
        new WindowSession(&window);
        window.show();
        window.startRecovery();
        // A session that ends is not the user closing the show: its copy stays for the next start.
        QObject::connect(&exitSignals, &ExitSignals::exitRequested, window.recovery(),
                         &ShowRecovery::keepCopyAtEnd);
        // Once the window is up, so that a message about a missing or damaged file has
        // it behind; the window stays empty then.
        if (!showPath.isEmpty())
            QTimer::singleShot(0, &window, [&window, showPath] { window.openShow(showPath); });
        scheduleDemoImport(window);
        code = app.exec();
    }
    // The loop thread outlives the window; stop and join it so nothing runs at exit.
    HandlerThread::shutdownShared();
    if (exitSignals.received())
        code = 128 + exitSignals.received();
    return code;
}
