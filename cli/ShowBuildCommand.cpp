#include "cli/ShowBuildCommand.h"

#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"

#include <QCommandLineParser>
#include <QTemporaryDir>

#include <algorithm>

QString ShowBuildCommand::name() const
{
    return QStringLiteral("build");
}

QString ShowBuildCommand::help() const
{
    return QStringLiteral(
        "build --show SHOW.hdshow -o OUT.bin\n"
        "    Writes the effect file the window's download writes for a saved show (its\n"
        "    geometry, language and LED data as saved).");
}

bool ShowBuildCommand::accepts(const QStringList &arguments) const
{
    return arguments.contains(QStringLiteral("--show")) ||
           std::any_of(arguments.begin(), arguments.end(),
                       [](const QString &a) { return a.startsWith(QLatin1String("--show=")); });
}

int ShowBuildCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption show(QStringLiteral("show"), QStringLiteral("show file"),
                                  QStringLiteral("SHOW"));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("effect file"), QStringLiteral("OUT"));
    parser.addOptions({show, output});
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("--show takes no other files"));
    if (!parser.isSet(output))
        return fail(QStringLiteral("-o OUT.bin is needed"));
    const QString path = parser.value(show);

    ShowInfo info;
    if (const Outcome read = ShowFile::readInfo(path, &info); !read)
        return fail(read.error());
    // Items keep their files in a private work directory, removed on return.
    QTemporaryDir work;
    if (!enterWorkDirectory(work, info.ledCount, info.lineNumber))
        return fail(QStringLiteral("cannot create a temporary directory"));
    languageCode = info.languageCode;
    ShowContent content;
    const Outcome load = ShowFile(path).load(ShowLoadOptions(), &content);
    if (!load)
        return fail(load.error());
    for (const QString &warning : load.warnings())
        QTextStream(stderr) << "hologram-cli build: warning: " << warning << Qt::endl;
    const DownloadResult result = EffectWriter::write(
        EffectPlaylist::capture(content.pictures(), content.clips()), parser.value(output));
    if (!result.ok)
        return fail(result.error);
    return 0;
}
