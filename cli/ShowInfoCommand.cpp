#include "cli/ShowInfoCommand.h"

#include "app/LanguageTable.h"
#include "effect/ShowTimeline.h"
#include "model/ImageObject.h"
#include "motion/TransitionDescription.h"
#include "show/ShowFile.h"
#include "show/ShowInfo.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace {

QString kindName(int kind)
{
    switch (kind) {
    case ImageObject::KindPictureFile: return QStringLiteral("picture");
    case ImageObject::KindVideoFrame: return QStringLiteral("video frame");
    case ImageObject::KindDiy: return QStringLiteral("drawing");
    case ImageObject::KindGifFrame: return QStringLiteral("GIF frame");
    case ImageObject::KindReadPicture: return QStringLiteral("read back");
    default: return QStringLiteral("read-back frame");
    }
}

QString samplingName(SamplingMode mode)
{
    return mode == SamplingMode::Smooth ? QStringLiteral("smooth") : QStringLiteral("sharp");
}

QString languageName(int code)
{
    const Language *language = LanguageTable::byCode(code);
    return language ? QString::fromLatin1(language->name) : QStringLiteral("none");
}

QString originText(const ShowInfo::Clip &clip)
{
    const ClipOrigin &o = clip.origin;
    if (o.source == ClipOrigin::Source::Unknown)
        return QStringLiteral("origin unknown");
    if (o.source == ClipOrigin::Source::Text)
        return QStringLiteral("text clip \"%1\", %2")
            .arg(o.description.value(QStringLiteral("text")).toString(),
                 o.description.value(QStringLiteral("motion")).toString());
    QString text = QStringLiteral("from %1").arg(o.path);
    if (o.source == ClipOrigin::Source::Video)
        text += QStringLiteral(", start %1 s, length %2 s, zoom %3")
                    .arg(o.startMs / 1000.0)
                    .arg(o.lengthMs / 1000.0)
                    .arg(o.zoomSteps);
    else
        text += o.keepSpeed ? QStringLiteral(", its own timing")
                            : QStringLiteral(", one clip frame per GIF frame");
    return text + QStringLiteral(", region at %1,%2").arg(o.regionTopLeft.x()).arg(o.regionTopLeft.y());
}

// The transition after an item, from the JSON the file keeps; nullopt for none or for text
// that is no description.
std::optional<TransitionDescription> transitionOf(const QString &json)
{
    if (json.isEmpty())
        return std::nullopt;
    TransitionDescription wanted;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8());
    if (!document.isObject() || !TransitionDescription::fromJson(document.object(), &wanted))
        return std::nullopt;
    return wanted;
}

QString transitionText(const QString &json)
{
    if (json.isEmpty())
        return {};
    const std::optional<TransitionDescription> wanted = transitionOf(json);
    if (!wanted)
        return QStringLiteral(", then a transition that cannot be read");
    return QStringLiteral(", then %1 %2 s")
        .arg(TransitionDescription::kindName(wanted->kind))
        .arg(wanted->seconds);
}

QJsonValue transitionJson(const QString &json)
{
    const std::optional<TransitionDescription> wanted = transitionOf(json);
    return wanted ? QJsonValue(wanted->toJson()) : QJsonValue();
}

qint64 lengthMs(const ShowInfo &info)
{
    return info.showLengthMs([](const QString &json) {
        const std::optional<TransitionDescription> wanted = transitionOf(json);
        return wanted ? wanted->frameCount() : 0;
    });
}

void printText(const QString &path, const ShowInfo &info, QTextStream &out)
{
    out << "file: " << path << "\n";
    out << "show format: " << info.version << "\n";
    out << "geometry: " << info.ledCount << " x " << info.lineNumber << "\n";
    out << "sampling: " << samplingName(info.sampling) << "\n";
    out << "language: " << languageName(info.languageCode) << "\n";
    out << "pictures: " << info.pictures.size() << "\n";
    for (int i = 0; i < info.pictures.size(); ++i) {
        const ShowInfo::Picture &p = info.pictures[i];
        out << "  " << (i + 1) << ": " << kindName(p.kind) << ", " << p.displayTime << " s, "
            << samplingName(p.sampling) << ", contrast " << p.contrastFactor
            << (p.hasSource ? ", with source" : ", LED data only") << transitionText(p.transition)
            << "\n";
    }
    out << "clips: " << info.clips.size() << "\n";
    for (int i = 0; i < info.clips.size(); ++i) {
        const ShowInfo::Clip &c = info.clips[i];
        const char *kind = c.isGif                                       ? "GIF"
                           : c.origin.source == ClipOrigin::Source::Text ? "text"
                                                                         : "video";
        out << "  " << (i + 1) << ": " << kind << ", " << c.frames
            << " frames, loops " << c.loopCount << ", " << originText(c)
            << transitionText(c.transition) << "\n";
    }
    const qint64 ms = lengthMs(info);
    out << "show length: " << ShowTimeline::lengthText(ms) << " (" << ms / 1000.0 << " s)\n";
}

QJsonObject toJson(const ShowInfo &info)
{
    QJsonArray pictures;
    for (const ShowInfo::Picture &p : info.pictures)
        pictures.append(QJsonObject{{QStringLiteral("kind"), kindName(p.kind)},
                                    {QStringLiteral("seconds"), p.displayTime},
                                    {QStringLiteral("sampling"), samplingName(p.sampling)},
                                    {QStringLiteral("contrast"), double(p.contrastFactor)},
                                    {QStringLiteral("hasSource"), p.hasSource},
                                    {QStringLiteral("transition"), transitionJson(p.transition)}});
    QJsonArray clips;
    for (const ShowInfo::Clip &c : info.clips)
        clips.append(QJsonObject{{QStringLiteral("gif"), c.isGif},
                                 {QStringLiteral("frames"), c.frames},
                                 {QStringLiteral("loops"), c.loopCount},
                                 {QStringLiteral("origin"), c.origin.path},
                                 {QStringLiteral("transition"), transitionJson(c.transition)},
                                 {QStringLiteral("text"), c.origin.description}});
    return QJsonObject{{QStringLiteral("format"), info.version},
                       {QStringLiteral("ledCount"), info.ledCount},
                       {QStringLiteral("lineNumber"), info.lineNumber},
                       {QStringLiteral("sampling"), samplingName(info.sampling)},
                       {QStringLiteral("language"), languageName(info.languageCode)},
                       {QStringLiteral("pictures"), pictures},
                       {QStringLiteral("clips"), clips},
                       {QStringLiteral("showLengthMs"), double(lengthMs(info))}};
}

} // namespace

QString ShowInfoCommand::name() const
{
    return QStringLiteral("inspect");
}

QString ShowInfoCommand::help() const
{
    return QStringLiteral(
        "inspect SHOW.hdshow [--json]\n"
        "    Lists a show file's pictures and clips, its geometry, sampling, language and\n"
        "    how long the show plays.");
}

bool ShowInfoCommand::accepts(const QStringList &arguments) const
{
    return std::any_of(arguments.begin(), arguments.end(), [](const QString &a) {
        // Named as a show, it is read as one: what is wrong with it is then told in a
        // show's terms, not an effect file's.
        return !a.startsWith(QLatin1Char('-')) &&
               (a.endsWith(QLatin1String(".hdshow"), Qt::CaseInsensitive) ||
                ShowFile::looksLikeShow(a));
    });
}

int ShowInfoCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("JSON output"));
    parser.addOption(json);
    parser.addPositionalArgument(QStringLiteral("SHOW"), QStringLiteral("show file"));
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("exactly one SHOW is needed"));
    const QString path = parser.positionalArguments().first();
    ShowInfo info;
    if (const Outcome read = ShowFile::readInfo(path, &info); !read)
        return fail(read.error());
    QTextStream out(stdout);
    if (parser.isSet(json))
        out << QJsonDocument(toJson(info)).toJson(QJsonDocument::Indented);
    else
        printText(path, info, out);
    return 0;
}
