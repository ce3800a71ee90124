#include "cli/ShowBuildCommand.h"

#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/TransitionLinks.h"
#include "show/ShowContent.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"
#include "show/ShowLoadOptions.h"

#include <QCommandLineParser>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

void warn(const QString &text)
{
    QTextStream(stderr) << "hologram-cli build: warning: " << text << Qt::endl;
}

} // namespace

QString ShowBuildCommand::name() const
{
    return QStringLiteral("build");
}

QString ShowBuildCommand::help() const
{
    return QStringLiteral(
        "build --show SHOW.hdshow -o OUT.bin\n"
        "    Writes the effect file the window's download writes for a saved show (its\n"
        "    geometry, language and LED data as saved); its transitions are made again\n"
        "    from the pictures and clips on either side.");
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
        warn(warning);
    // The transitions are made again from their pairs, as the window makes them after opening
    // the show; one that cannot be made is left out, as the window's download leaves it out.
    TransitionLinks transitions(false);
    QList<QObject *> items;
    for (ImageObject *item : content.pictures())
        items.append(item);
    for (MediaObject *clip : content.clips())
        items.append(clip);
    for (QObject *item : std::as_const(items)) {
        const QString json = content.transitionAfter(item);
        if (json.isEmpty())
            continue;
        if (const Outcome kept = transitions.setFromJson(item, json); !kept)
            warn(QStringLiteral("a transition is left out: %1").arg(kept.error()));
    }
    transitions.follow(content.pictures(), content.clips());
    transitions.waitUntilSettled();
    for (QObject *item : std::as_const(items)) {
        if (const QString why = transitions.failure(item); !why.isEmpty())
            warn(QStringLiteral("a transition is left out: %1").arg(why));
    }
    const DownloadResult result = EffectWriter::write(
        transitions.playlist(content.pictures(), content.clips()), parser.value(output));
    if (!result.ok)
        return fail(result.error);
    return 0;
}
