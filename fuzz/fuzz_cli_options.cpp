// The command-line options of the build command: parsing, the per-file --time and --loops,
// the geometry and the video options, with the checks the command makes of their values.
//
// Input: the arguments after the command name, separated by zero bytes (as argv is).
#include "app/LanguageTable.h"
#include "cli/BuildOptions.h"
#include "cli/CliCommand.h"
#include "cli/GeometryOptions.h"
#include "cli/PerFileOptions.h"
#include "cli/VideoOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kMaxArguments = 256;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

QStringList argumentsOf(const uint8_t *data, size_t size)
{
    QStringList arguments{QStringLiteral("hologram-cli")};
    const char *at = reinterpret_cast<const char *>(data);
    const char *end = at + size;
    while (at < end && arguments.size() <= kMaxArguments) {
        const char *stop = at;
        while (stop < end && *stop != '\0')
            ++stop;
        arguments << QString::fromUtf8(at, stop - at);
        at = stop + 1;
    }
    return arguments;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList arguments = argumentsOf(data, size);
    QCommandLineParser parser;
    BuildOptions options;
    options.addTo(parser);
    const QCommandLineOption &lang = options.lang;
    const QCommandLineOption &time = options.time;
    const QCommandLineOption &loops = options.loops;
    const GeometryOptions &geometry = options.geometry;
    VideoOptions &video = options.video;
    if (!parser.parse(arguments)) {
        require(!parser.errorText().isEmpty());
        return 0;
    }
    const QStringList inputs = parser.positionalArguments();
    const QList<QStringList> perFile = PerFileOptions::valuesFor(parser, arguments, {time, loops});
    for (const QStringList &values : perFile)
        require(values.size() == 2);
    // The parser is left as a parse of the whole arguments leaves it.
    require(parser.positionalArguments() == inputs);
    if (perFile.size() == inputs.size()) {
        for (const QStringList &values : perFile) {
            bool ok = false;
            values[0].toDouble(&ok);
            int n = 0;
            CliCommand::readWholeNumber(values[1], 1, 255, &n);
        }
    }
    LanguageTable::byName(parser.value(lang));
    int leds = 0;
    int lines = 0;
    QString error;
    if (geometry.read(parser, &leds, &lines, &error))
        require(leds >= 1 && lines >= 1);
    else
        require(!error.isEmpty());
    error.clear();
    if (!video.read(parser, &error))
        require(!error.isEmpty());
    return 0;
}
