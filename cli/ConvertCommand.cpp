#include "cli/ConvertCommand.h"

#include "app/InputFileCheck.h"
#include "app/OutputFile.h"
#include "cli/GeometryOptions.h"
#include "cli/InterruptGuard.h"
#include "model/ImageObject.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <vector>

namespace {
// Into the output's staging file; the target is replaced later, with the other outputs.
Outcome stage(const OutputFile &output, const QByteArray &bytes)
{
    QFile file(output.stagingPath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()
        || !file.flush())
        return Outcome::failure(QStringLiteral("%1: cannot write").arg(output.path()));
    file.close();
    return file.error() == QFileDevice::NoError
               ? Outcome::success()
               : Outcome::failure(QStringLiteral("%1: cannot write").arg(output.path()));
}
} // namespace

QString ConvertCommand::name() const
{
    return QStringLiteral("convert");
}

QString ConvertCommand::help() const
{
    return QStringLiteral(
        "convert INPUT -o OUT.buf [--preview OUT.png] [--leds N] [--lines L] [--smooth]\n"
        "    Converts a picture into the display's LED data (the bytes of a picture's\n"
        "    \".buf\"): centred square, 450 x 450, polar sampling, colour table, bit planes,\n"
        "    padding to 4096-byte blocks. --preview also writes the sampling preview.\n"
        "    N: LEDs along the radius, 1 to 500 (default 112).\n"
        "    L: lines per turn, 1 to 600 (default 430).\n"
        "    --smooth: every LED takes the average of the area it stands for instead of\n"
        "    the pixel under it (no shimmer on fine detail).");
}

int ConvertCommand::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("LED data file"), QStringLiteral("OUT"));
    const QCommandLineOption preview(QStringLiteral("preview"),
                                     QStringLiteral("sampling preview PNG"), QStringLiteral("PNG"));
    const QCommandLineOption smooth(QStringLiteral("smooth"), QStringLiteral("smooth sampling"));
    const GeometryOptions geometry;
    parser.addOptions({output, preview, smooth});
    geometry.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("picture file"));
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());
    const QStringList inputs = parser.positionalArguments();
    if (inputs.size() != 1)
        return fail(QStringLiteral("exactly one INPUT picture is needed"));
    if (!parser.isSet(output))
        return fail(QStringLiteral("-o OUT.buf is needed"));
    int leds = 0, lines = 0;
    QString error;
    if (!geometry.read(parser, &leds, &lines, &error))
        return fail(error);

    const QString inputPath = inputs.first();
    if (const QString refusal = InputFileCheck::refusal(inputPath); !refusal.isEmpty())
        return fail(refusal);
    // Both outputs are checked and staged before any work: a failure leaves neither.
    OutputFile ledOutput(parser.value(output));
    OutputFile previewOutput(parser.value(preview));
    std::vector<OutputFile *> outputs{&ledOutput};
    if (parser.isSet(preview))
        outputs.push_back(&previewOutput);
    for (OutputFile *file : outputs) {
        if (const Outcome prepared = file->prepare({inputPath}); !prepared)
            return fail(prepared.error());
    }
    if (parser.isSet(preview) && previewOutput.target() == ledOutput.target())
        return fail(QStringLiteral("-o and --preview name the same file"));
    const QImage picture = PictureLoader::loadCentredSquare(inputPath, &error);
    if (picture.isNull())
        return fail(QStringLiteral("%1: %2").arg(inputPath, error));

    // Items keep their files in a private work directory, removed on return.
    QTemporaryDir work;
    if (!enterWorkDirectory(work, leds, lines))
        return fail(QStringLiteral("cannot create a temporary directory"));
    ImageObject item(0, QString(), 5.0, ImageObject::KindPictureFile);
    item.sampling = parser.isSet(smooth) ? SamplingMode::Smooth : SamplingMode::Sharp;
    // The sampling preview is drawn only when asked for: it costs more than the LED data.
    convertPicture(picture, &item, nullptr,
                   parser.isSet(preview) ? ReadImageThread::SamplingPreview::Write
                                         : ReadImageThread::SamplingPreview::Skip);

    if (InterruptGuard::signalNumber() != 0)
        return fail(QStringLiteral("interrupted, nothing written"));
    if (const Outcome staged = stage(ledOutput, item.readLedData()); !staged)
        return fail(staged.error());
    if (parser.isSet(preview)) {
        QFile previewFile(item.samplingPreviewPath());
        if (!previewFile.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: cannot write").arg(previewOutput.path()));
        if (const Outcome staged = stage(previewOutput, previewFile.readAll()); !staged)
            return fail(staged.error());
    }
    if (const Outcome committed = OutputFile::commitAll(outputs); !committed)
        return fail(committed.error());
    return 0;
}
