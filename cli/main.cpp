// hologram-cli: the conversion engine without the window. Commands live in a table; each is
// a class of its own (add one by appending it to makeCommands()).
#include "cli/BuildCommand.h"
#include "cli/ConvertCommand.h"
#include "cli/EffectInfoCommand.h"
#include "cli/InterruptGuard.h"
#include "cli/PreviewCommand.h"
#include "cli/RenderCommand.h"
#include "cli/ShowBuildCommand.h"
#include "cli/ShowInfoCommand.h"
#include "cli/TraceFilter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {
std::vector<std::unique_ptr<CliCommand>> makeCommands()
{
    std::vector<std::unique_ptr<CliCommand>> commands;
    commands.push_back(std::make_unique<ConvertCommand>());
    // The show commands go first: they take only arguments that name a show.
    commands.push_back(std::make_unique<ShowBuildCommand>());
    commands.push_back(std::make_unique<BuildCommand>());
    commands.push_back(std::make_unique<ShowInfoCommand>());
    commands.push_back(std::make_unique<EffectInfoCommand>());
    commands.push_back(std::make_unique<PreviewCommand>());
    commands.push_back(std::make_unique<RenderCommand>());
    return commands;
}

void printHelp(const std::vector<std::unique_ptr<CliCommand>> &commands)
{
    QTextStream out(stdout);
    out << "Usage: hologram-cli COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const auto &command : commands)
        out << "  " << command->help().replace(QStringLiteral("\n"), QStringLiteral("\n  "))
            << "\n\n";
    out << "  --help\n      Shows this text.\n";
}
} // namespace

int main(int argc, char *argv[])
{
    // Before the application: its platform's warnings go through the filter too.
    TraceFilter::install();
    // Text clips need fonts, which come with a GUI application; the tool never shows a
    // window, so it takes the platform without a screen. Other commands start without it.
    bool drawsText = false;
    for (int i = 2; i < argc && argc > 1 && qstrcmp(argv[1], "build") == 0; ++i)
        drawsText = drawsText || qstrncmp(argv[i], "--text", 6) == 0;
    // That platform wants a runtime directory and, without one, leaves its own in the
    // temporary folder: it gets a private one, removed after the application.
    std::unique_ptr<QTemporaryDir> runtime;
    if (drawsText) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            runtime = std::make_unique<QTemporaryDir>(QDir::tempPath()
                                                      + QStringLiteral("/hologram-cli-XXXXXX"));
            if (runtime->isValid())
                qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
        }
    }
    const std::unique_ptr<QCoreApplication> app =
        drawsText ? std::make_unique<QGuiApplication>(argc, argv)
                  : std::make_unique<QCoreApplication>(argc, argv);
    const QStringList arguments = app->arguments().mid(1);
    const auto commands = makeCommands();
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h")) {
        printHelp(commands);
        return arguments.isEmpty() ? 1 : 0;
    }
    for (const auto &command : commands) {
        if (command->name() != arguments.first() || !command->accepts(arguments.mid(1)))
            continue;
        // A signal stops the command, which returns and removes its work directory.
        const InterruptGuard guard;
        const int exitCode = command->run(arguments.mid(1));
        if (InterruptGuard::signalNumber() != 0)
            QTextStream(stderr) << "hologram-cli " << command->name() << ": interrupted by signal "
                                << InterruptGuard::signalNumber() << Qt::endl;
        return InterruptGuard::exitCode(exitCode);
    }
    QTextStream(stderr) << "hologram-cli: unknown command \"" << arguments.first()
                        << "\" (see hologram-cli --help)" << Qt::endl;
    return 1;
}
