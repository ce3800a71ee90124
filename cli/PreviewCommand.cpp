#include "cli/PreviewCommand.h"

#include "app/InputFileCheck.h"
#include "app/OutputFile.h"
#include "cli/GeometryOptions.h"
#include "cli/InterruptGuard.h"
#include "effect/EffectFileInfo.h"
#include "effect/EffectReader.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {

struct Output
{
    QString source;
    QString name;
};

// The directories mkpath() would create for path, deepest first.
QStringList missingDirectories(const QString &path)
{
    QStringList missing;
    QFileInfo info(QFileInfo(path).absoluteFilePath());
    while (!info.exists() && !info.isSymLink() && !info.isRoot()) {
        missing << info.absoluteFilePath();
        info = QFileInfo(info.absolutePath());
    }
    return missing;
}

// Stages every preview beside its target, then puts them all in place; a failure on the way
// leaves the folder as it was: the staged copies go, files put in place are taken back, and
// no file the command did not write is removed.
Outcome writeAll(const QList<Output> &outputs, const QDir &dir, const QString &input)
{
    std::vector<std::unique_ptr<OutputFile>> files;
    std::vector<OutputFile *> order;
    for (const Output &output : outputs) {
        files.push_back(std::make_unique<OutputFile>(dir.filePath(output.name)));
        OutputFile &file = *files.back();
        if (const Outcome prepared = file.prepare({input}); !prepared)
            return prepared;
        QFile source(output.source);
        QFile staged(file.stagingPath());
        if (!source.open(QIODevice::ReadOnly) || !staged.open(QIODevice::WriteOnly)
            || staged.write(source.readAll()) != source.size() || !staged.flush())
            return Outcome::failure(QStringLiteral("cannot write %1").arg(file.path()));
        staged.close();
        if (staged.error() != QFileDevice::NoError)
            return Outcome::failure(QStringLiteral("cannot write %1").arg(file.path()));
        order.push_back(&file);
    }
    return OutputFile::commitAll(order);
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
    if (const QString note = geometry.adoptFittingGeometry(parser, input, &leds, &lines);
        !note.isEmpty())
        QTextStream(stderr) << "hologram-cli preview: note: " << note << Qt::endl;
    // What the display would pass over is said, not hidden in the previews.
    if (const auto info = EffectFileInfo::inspect(input, leds, lines, &error)) {
        for (const QString &line : info->zeroTimings())
            QTextStream(stderr) << "hologram-cli preview: warning: " << line << Qt::endl;
    }
    error.clear();

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
        const QStringList created = missingDirectories(dirPath);
        if (!QDir().mkpath(dirPath) || !QFileInfo(dirPath).isDir()) {
            error = QStringLiteral("cannot create %1").arg(dirPath);
        } else if (const Outcome written = writeAll(outputs, QDir(dirPath), input); !written) {
            error = written.error();
            // Only the folders made here, and only when empty.
            for (const QString &path : created)
                QDir().rmdir(path);
        }
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
