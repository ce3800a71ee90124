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
    QCoreApplication app(argc, argv);
    TraceFilter::install();
    const QStringList arguments = app.arguments().mid(1);
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
