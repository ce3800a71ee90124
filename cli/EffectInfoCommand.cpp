#include "cli/EffectInfoCommand.h"

#include "app/AppGlobals.h"
#include "app/InputFileCheck.h"
#include "cli/GeometryOptions.h"
#include "effect/EffectFileInfo.h"
#include "effect/EffectFormat.h"
#include "effect/ShowTimeline.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QTextStream>

namespace {

void printText(const EffectFileInfo &info, QTextStream &out)
{
    out << "file: " << info.path << "\n";
    out << "layout: " << info.layoutName() << "\n";
    if (info.layout == EffectFileInfo::Layout::Indexed) {
        out << "language: " << info.languageName() << "\n";
        out << "records: " << info.recordCount() << "\n";
        out << "segments: " << info.indexed.segments.size() << "\n";
        for (int i = 0; i < info.indexed.segments.size(); ++i) {
            const IndexedHeader::Segment &s = info.indexed.segments[i];
            out << "  " << (i + 1) << ": records " << s.first << "-" << s.last;
            if (s.isClip())
                out << " clip, loops " << s.repeat << "\n";
            else
                out << " picture, " << s.time << " x " << s.repeat << " tenths = "
                    << s.time * s.repeat / 10.0 << " s\n";
        }
    } else {
        const SlottedHeader &h = info.slotted;
        out << "pictures: " << h.pictureCount << "\n";
        out << "clip frames:";
        for (int c : h.frameCounts)
            out << " " << c;
        out << "\nclip loops:";
        for (int c : h.loopCounts)
            out << " " << c;
        out << "\nslot times (0.2 s):";
        for (int i = 0; i < qMin(h.pictureCount, 100); ++i)
            out << " " << h.timeBytes[i];
        out << "\n";
    }
    const qint64 showMs = ShowTimeline::fromInfo(info).totalMs();
    out << "show length: " << ShowTimeline::lengthText(showMs) << " (" << showMs / 1000.0
        << " s)\n";
    out << "geometry: " << info.ledCount << " x " << info.lineNumber << "\n";
    out << "length: " << info.fileSize << " bytes, " << info.expectedSize << " expected ("
        << (info.lengthAgrees() ? "agrees" : "does not agree") << ")\n";
}

// Whether a slotted file's length is what some display geometry gives: the layout has no
// magic, so its length is all that tells it from any other file of 120 bytes or more.
bool fitsSomeGeometry(const EffectFileInfo &info)
{
    const qint64 payload = info.fileSize - EffectFormat::kSlottedHeaderSize;
    const qint64 perGeometryUnit = 3 * qint64(info.recordCount());
    if (payload < 0 || perGeometryUnit <= 0)
        return payload == 0;
    if (payload % perGeometryUnit != 0)
        return false;
    const qint64 lights = payload / perGeometryUnit; // LEDs x lines
    for (int leds = 1; leds <= kMaxLedCount; ++leds) {
        if (lights % leds == 0 && lights / leds <= kMaxLineNumber)
            return true;
    }
    return false;
}

// The header's fields and how long the display plays the show, in milliseconds.
QJsonObject withShowLength(const EffectFileInfo &info)
{
    QJsonObject json = info.toJson();
    json.insert(QStringLiteral("showLengthMs"), double(ShowTimeline::fromInfo(info).totalMs()));
    return json;
}

} // namespace

QString EffectInfoCommand::name() const
{
    return QStringLiteral("inspect");
}

QString EffectInfoCommand::help() const
{
    return QStringLiteral(
        "inspect FILE.bin [--json] [--leds N] [--lines L]\n"
        "    Shows an effect file's layout, language, record count, segment table (or\n"
        "    slotted header), how long the show plays and whether its length fits the\n"
        "    geometry.");
}

int EffectInfoCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("JSON output"));
    const GeometryOptions geometry;
    parser.addOption(json);
    geometry.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("effect file"));
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("exactly one FILE is needed"));
    int leds = 0, lines = 0;
    QString error;
    if (!geometry.read(parser, &leds, &lines, &error))
        return fail(error);
    const QString input = parser.positionalArguments().first();
    if (const QString refusal = InputFileCheck::refusal(input); !refusal.isEmpty())
        return fail(refusal);
    if (const QString note = geometry.adoptFittingGeometry(parser, input, &leds, &lines);
        !note.isEmpty())
        QTextStream(stderr) << "hologram-cli inspect: note: " << note << Qt::endl;

    const auto info = EffectFileInfo::inspect(input, leds, lines, &error);
    if (!info)
        return fail(error);
    if (info->layout == EffectFileInfo::Layout::Slotted && !info->lengthAgrees()
        && !fitsSomeGeometry(*info))
        return fail(QStringLiteral("%1: not an effect file of this geometry (%2 x %3): its %4 "
                                   "bytes fit the slotted layout at no display geometry")
                        .arg(input)
                        .arg(leds)
                        .arg(lines)
                        .arg(info->fileSize));
    for (const QString &line : info->zeroTimings())
        QTextStream(stderr) << "hologram-cli " << name() << ": warning: " << line << Qt::endl;
    QTextStream out(stdout);
    if (parser.isSet(json))
        out << QJsonDocument(withShowLength(*info)).toJson(QJsonDocument::Indented);
    else
        printText(*info, out);
    return 0;
}
