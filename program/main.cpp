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
#include "ui/main/WindowSession.h"

#include <QApplication>
#include <QCommandLineParser>
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
    // The desktop entry hands a show file over; the window has no way to open one yet, so
    // say it plainly instead of starting as if it had been opened.
    for (const QString &show : parser.positionalArguments())
        std::fprintf(stderr, "hologram-display: opening a show file (%s) from the command "
                             "line is not available yet; the window starts empty\n",
                     qPrintable(show));
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
    QObject::connect(&exitSignals, &ExitSignals::exitRequested, &app, &QApplication::quit);

    int code = 0;
    {
        MainWindow window;
        // Language, size and place of the last run; stored again when the window closes.
        new WindowSession(&window);
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
