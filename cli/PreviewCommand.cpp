#include "cli/PreviewCommand.h"

#include "app/InputFileCheck.h"
#include "cli/GeometryOptions.h"
#include "cli/InterruptGuard.h"
#include "effect/EffectReader.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

struct Output
{
    QString source;
    QString name;
};

// Copies every preview into dir; on a failure removes what it copied, so the command leaves
// either all files or none.
QString copyAll(const QList<Output> &outputs, const QDir &dir)
{
    QStringList copied;
    for (const Output &output : outputs) {
        const QString target = dir.filePath(output.name);
        QFile::remove(target);
        if (!QFile::copy(output.source, target)) {
            for (const QString &path : copied)
                QFile::remove(path);
            return QStringLiteral("cannot write %1").arg(target);
        }
        copied << target;
    }
    return {};
}

} // namespace

QString PreviewCommand::name() const
{
    return QStringLiteral("preview");
}

QString PreviewCommand::help() const
{
    return QStringLiteral(
        "preview FILE.bin -o DIR [--leds N] [--lines L]\n"
        "    Writes the round preview of every picture (picture_NN.png) and clip frame\n"
        "    (clip_N_frame_NNN.png) of an effect file into DIR.");
}

int PreviewCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("directory"), QStringLiteral("DIR"));
    const GeometryOptions geometry;
    parser.addOption(output);
    geometry.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("effect file"));
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("exactly one FILE is needed"));
    if (!parser.isSet(output))
        return fail(QStringLiteral("-o DIR is needed"));
    int leds = 0, lines = 0;
    QString error;
    if (!geometry.read(parser, &leds, &lines, &error))
        return fail(error);
    const QString input = parser.positionalArguments().first();
    if (const QString refusal = InputFileCheck::refusal(input); !refusal.isEmpty())
        return fail(refusal);

    QTemporaryDir work;
    if (!enterWorkDirectory(work, leds, lines))
        return fail(QStringLiteral("cannot create a temporary directory"));

    QList<ImageObject *> images;
    QList<MediaObject *> medias;
    const EffectReader::Result result =
        EffectReader::readInto(input, InterruptGuard::keepGoing(), images, medias);
    if (!InterruptGuard::keepGoing()) {
        // Interrupted: no previews of a part of the file.
        qDeleteAll(images);
        qDeleteAll(medias);
        return 1;
    }
    QList<Output> outputs;
    for (const ImageObject *item : images)
        outputs.append({item->samplingPreviewPath(),
                        QStringLiteral("picture_%1.png").arg(item->number, 2, 10, QLatin1Char('0'))});
    for (int c = 0; c < medias.size(); ++c)
        for (const ImageObject *frame : medias[c]->frames)
            outputs.append({frame->samplingPreviewPath(),
                            QStringLiteral("clip_%1_frame_%2.png")
                                .arg(c + 1)
                                .arg(frame->number, 3, 10, QLatin1Char('0'))});

    if (result.ok) {
        const QString dirPath = parser.value(output);
        if (!QDir().mkpath(dirPath))
            error = QStringLiteral("cannot create %1").arg(dirPath);
        else
            error = copyAll(outputs, QDir(dirPath));
    } else {
        error = result.error;
    }
    qDeleteAll(images);
    qDeleteAll(medias);
    if (!error.isEmpty())
        return fail(error);
    QTextStream(stdout) << outputs.size() << " previews written" << Qt::endl;
    // The previews of the records that were there are kept; the exit says some were not.
    if (result.missingRecords > 0)
        return fail(result.error);
    if (!result.error.isEmpty())
        QTextStream(stderr) << "hologram-cli preview: note: " << result.error << Qt::endl;
    return 0;
}
