#include "cli/BuildCommand.h"

#include "cli/BuildOptions.h"

#include "app/AppGlobals.h"
#include "app/LanguageTable.h"
#include "app/InputFileCheck.h"
#include "app/OutputFile.h"
#include "cli/GeometryOptions.h"
#include "cli/InterruptGuard.h"
#include "cli/MotionArguments.h"
#include "cli/PerFileOptions.h"
#include "cli/VideoOptions.h"
#include "effect/EffectPlaylist.h"
#include "effect/EffectWriter.h"
#include "effect/EffectFormat.h"
#include "import/CutRegion.h"
#include "import/GifCut.h"
#include "import/GifCutThread.h"
#include "import/GifFrameReader.h"
#include "import/VideoClipCutter.h"
#include "import/VideoFile.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "model/PictureFile.h"
#include "model/PictureLoader.h"
#include "model/ReadImageThread.h"
#include "motion/TransitionEnds.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

namespace {

bool hasVideoSuffix(const QString &path)
{
    static const QStringList suffixes{QStringLiteral("avi"), QStringLiteral("rmvb"),
                                      QStringLiteral("mp4"), QStringLiteral("mkv")};
    return suffixes.contains(QFileInfo(path).suffix().toLower());
}

// By content: what no picture reader recognises and a video decoder takes for a video. A
// file named as a video is refused as one, and so is one the decoder took but refused (its
// frame rate, size or count); anything else undecodable gets the picture reader's reason.
bool isVideo(const QString &path)
{
    if (!QImageReader::imageFormat(path).isEmpty())
        return false;
    if (hasVideoSuffix(path))
        return true;
    VideoFile video;
    return video.open(path) || video.wasDecodable();
}

bool isGif(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("gif"), Qt::CaseInsensitive) == 0
           || QImageReader::imageFormat(path) == "gif";
}

void warn(const QString &message)
{
    QTextStream(stderr) << "hologram-cli build: warning: " << message << Qt::endl;
}

// Owns what the build makes until the process ends.
struct Playlist
{
    std::vector<std::unique_ptr<ImageObject>> pictures;
    std::vector<std::unique_ptr<MediaObject>> clips;
    SamplingMode sampling = SamplingMode::Sharp;
    // Play order, kept when text clips or transitions stand among the files.
    QList<EffectPlaylist::Entry> order;
};

// The window's GIF import with the region left where its dialog puts it: centred, unzoomed.
// keepFrameFiles: each frame keeps its picture as a file, which a transition beside the
// clip is made from, as the window's GIF clips keep them.
QString addGif(const QString &path, int loops, bool keepSpeed, bool keepFrameFiles,
               Playlist &playlist)
{
    // The same checks as a picture's: a file named .gif may hold any format, SVG included.
    QSize firstSize;
    {
        PictureFile checked(path);
        if (!checked.open())
            return QStringLiteral("%1: %2").arg(path, checked.error());
        // Gone before the cut, which reads the file again: held, it would double the peak.
        GifFrameReader reader(path);
        QImage first;
        int delayMs = 0;
        if (!reader.next(&first, &delayMs))
            return QStringLiteral("%1: no readable GIF frames (%2)")
                .arg(path, reader.errorString());
        firstSize = first.size();
    }
    GifCut cut;
    cut.path = path;
    cut.shownSize = firstSize;
    cut.topLeft = CutRegion::centredTopLeft(firstSize);
    cut.keepSpeed = keepSpeed;
    cut.maxFrames = EffectFormat::kMaxClipFrames;
    cut.writeFiles = keepFrameFiles;
    cut.sampling = playlist.sampling;
    GifCutEnd end;
    VideoClipCutter cutter(GifCutThread::factory(cut, &end), cut.writeFiles);
    if (!cutter.runToEnd([] { return InterruptGuard::signalNumber() != 0; }))
        return QStringLiteral("%1: %2").arg(path, cutter.errorString());
    auto clip = std::make_unique<MediaObject>(int(playlist.clips.size()), path);
    clip->isGif = true;
    clip->loopCount = loops;
    clip->origin.source = ClipOrigin::Source::Gif;
    clip->origin.path = path;
    clip->origin.shownSize = cut.shownSize;
    clip->origin.regionTopLeft = cut.topLeft;
    clip->origin.keepSpeed = keepSpeed;
    clip->frames = cutter.takeFrames();
    if (end.damaged)
        warn(QStringLiteral("%1: frame %2 is damaged; the clip ends before it, with %3 frames")
                 .arg(path)
                 .arg(end.framesRead + 1)
                 .arg(clip->frames.size()));
    else if (end.tooLong)
        warn(QStringLiteral("%1: more frames than a clip holds; the clip keeps the first %2")
                 .arg(path)
                 .arg(cut.maxFrames));
    playlist.clips.push_back(std::move(clip));
    return {};
}

QString addVideo(const QString &path, int loops, const VideoOptions &options,
                 Playlist &playlist)
{
    QString error;
    QString notice;
    MediaObject *clip = options.cutClip(path, int(playlist.clips.size()), loops, &error, &notice);
    if (!notice.isEmpty())
        warn(notice);
    if (!clip)
        return error;
    playlist.clips.emplace_back(clip);
    return {};
}

QString addPicture(const QString &path, double seconds, Playlist &playlist)
{
    QString error;
    const QImage picture = PictureLoader::loadCentredSquare(path, &error);
    if (picture.isNull())
        return QStringLiteral("%1: %2").arg(path, error);
    auto item = std::make_unique<ImageObject>(int(playlist.pictures.size()) + 1, QString(),
                                              seconds, ImageObject::KindPictureFile);
    item->sampling = playlist.sampling;
    convertPicture(picture, item.get(), nullptr, ReadImageThread::SamplingPreview::Skip);
    playlist.pictures.push_back(std::move(item));
    return {};
}

bool validSeconds(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    return ok && seconds >= 0.1 && seconds <= 6502.5;
}

bool validLoops(const QString &text)
{
    int loops = 0;
    return CliCommand::readWholeNumber(text, 1, 255, &loops);
}

// The seconds a picture shown for `seconds` gets in the file: tenths, and a time byte of 1
// marks a clip, so 0.1 s becomes 0.2 s; long times become a time and a repeat count.
double storedSeconds(double seconds)
{
    return EffectFormat::pictureTiming(EffectFormat::tenthsOf(seconds)).tenths() / 10.0;
}

} // namespace

QString BuildCommand::name() const
{
    return QStringLiteral("build");
}

QString BuildCommand::help() const
{
    return QStringLiteral(
        "build -o OUT.bin [--lang en_US|zh_CN|zh_HK|jp|none] [--time SECONDS] [--loops N]\n"
        "      [--leds N] [--lines L] [--start SECONDS] [--length SECONDS] [--zoom STEPS]\n"
        "      [--at X,Y] [--gif-timing] FILE...\n"
        "    Writes an effect file (indexed layout) like the window's download: every\n"
        "    picture is shown --time seconds (default 5), every GIF becomes a clip of all\n"
        "    its frames played --loops times (default 1); with --gif-timing a GIF keeps\n"
        "    its own speed instead: one clip frame per 100 ms of its timeline, a frame\n"
        "    repeated or skipped by its delay (0 and 10 ms read as 100 ms). --time and\n"
        "    --loops may be given more than once: each applies to the files after it.\n"
        "    Default language en_US.\n"
        "    A video becomes a clip of one frame per 100 ms from --start (default 0) for\n"
        "    --length seconds (default: to its last readable frame), the frame zoomed by\n"
        "    --zoom steps of 10 % (default 0), the 450 x 450 square at --at X,Y of the\n"
        "    zoomed frame (default: centred). Files are told apart by their content.\n"
        "    --smooth samples pictures, GIF and video frames by area average (see convert).\n")
           + MotionArguments::help();
}

int BuildCommand::languageCodeOf(const QString &name)
{
    if (name == QLatin1String("none"))
        return 0;
    const Language *language = LanguageTable::byName(name);
    return language ? language->code : -1;
}


int BuildCommand::run(const QStringList &given)
{
    // Text clips and transitions stand among the files; the parser sees a word for each.
    MotionArguments motion;
    QStringList arguments;
    if (const Outcome extracted = motion.extract(given, &arguments); !extracted)
        return fail(extracted.error());
    QCommandLineParser parser;
    BuildOptions options;
    options.addTo(parser);
    const QCommandLineOption &output = options.output;
    const QCommandLineOption &lang = options.lang;
    const QCommandLineOption &time = options.time;
    const QCommandLineOption &loops = options.loops;
    const QCommandLineOption &smooth = options.smooth;
    const QCommandLineOption &gifTiming = options.gifTiming;
    const GeometryOptions &geometry = options.geometry;
    VideoOptions &video = options.video;
    if (!parser.parse(withProgramName(arguments)))
        return fail(parser.errorText());

    const QStringList inputs = parser.positionalArguments();
    if (!parser.isSet(output))
        return fail(QStringLiteral("-o OUT.bin is needed"));
    if (inputs.isEmpty())
        return fail(QStringLiteral("no FILE given: a show needs at least one picture, GIF or "
                                   "video"));
    // Every file becomes one entry of the segment table; the display never shows more.
    if (inputs.size() > EffectFormat::kMaxSegments)
        return fail(QStringLiteral("%1 files given; an effect file holds at most %2 pictures "
                                   "and clips together")
                        .arg(inputs.size())
                        .arg(EffectFormat::kMaxSegments));
    const int language = languageCodeOf(parser.value(lang));
    if (language < 0)
        return fail(QStringLiteral("--lang must be en_US, zh_CN, zh_HK, jp or none"));
    // --time and --loops apply to the files after them.
    const QList<QStringList> perFile =
        PerFileOptions::valuesFor(parser, withProgramName(arguments), {time, loops});
    if (perFile.size() != inputs.size())
        return fail(QStringLiteral("cannot tell which --time and --loops apply to which file"));
    QStringList toldAbout;
    for (const QString &value : parser.values(time)) {
        if (!validSeconds(value))
            return fail(QStringLiteral("--time must be a number of seconds from 0.1 to 6502.5"));
        const double seconds = value.toDouble();
        const double stored = storedSeconds(seconds);
        if (qAbs(stored - seconds) > 1e-6 && !toldAbout.contains(value)) {
            warn(QStringLiteral("--time %1 is stored as %2 s").arg(value).arg(stored));
            toldAbout << value;
        }
    }
    for (const QString &value : parser.values(loops)) {
        if (!validLoops(value))
            return fail(QStringLiteral("--loops must be a whole number from 1 to 255"));
    }
    int leds = 0, lines = 0;
    QString error;
    if (!geometry.read(parser, &leds, &lines, &error))
        return fail(error);
    if (!video.read(parser, &error))
        return fail(error);
    if (const Outcome placed = motion.checkPlaces(inputs); !placed)
        return fail(placed.error());
    for (const QString &input : motion.files(inputs)) {
        if (const QString refusal = InputFileCheck::refusal(input); !refusal.isEmpty())
            return fail(refusal);
    }
    OutputFile target(parser.value(output));
    if (const Outcome prepared = target.prepare(motion.files(inputs)); !prepared)
        return fail(prepared.error());

    // Items keep their files in a private work directory, removed on return.
    QTemporaryDir work;
    if (!enterWorkDirectory(work, leds, lines))
        return fail(QStringLiteral("cannot create a temporary directory"));
    languageCode = language;

    Playlist playlist;
    playlist.sampling = parser.isSet(smooth) ? SamplingMode::Smooth : SamplingMode::Sharp;
    video.setSampling(playlist.sampling);
    // A transition is made once the items on both sides are: a GIF clip after it gives its
    // first frame. Its place in the clips is kept meanwhile.
    struct Deferred
    {
        int input = 0;
        size_t slot = 0;
    };
    QList<Deferred> deferred;
    QList<MediaObject *> clipOfInput(inputs.size(), nullptr);
    const auto besideTransition = [&](qsizetype i) {
        return (i > 0 && motion.isTransition(inputs[i - 1])) ||
               (i + 1 < inputs.size() && motion.isTransition(inputs[i + 1]));
    };
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        if (InterruptGuard::signalNumber() != 0)
            break;
        const QString &input = inputs[i];
        const size_t clipsBefore = playlist.clips.size();
        if (motion.isTransition(input)) {
            deferred.append({int(i), playlist.clips.size()});
            playlist.clips.push_back(nullptr);
        } else if (motion.isMotion(input)) {
            std::unique_ptr<MediaObject> clip;
            const Outcome made = motion.make(
                inputs, int(i), int(playlist.clips.size()), perFile[i][1].toInt(),
                playlist.sampling, [] { return InterruptGuard::signalNumber() != 0; }, &clip);
            if (!made)
                return fail(made.error());
            playlist.clips.push_back(std::move(clip));
        } else if (isGif(input))
            error = addGif(input, perFile[i][1].toInt(), parser.isSet(gifTiming),
                           besideTransition(i), playlist);
        else if (isVideo(input))
            error = addVideo(input, perFile[i][1].toInt(), video, playlist);
        else
            error = addPicture(input, perFile[i][0].toDouble(), playlist);
        if (!error.isEmpty())
            return fail(error);
        const bool clip = playlist.clips.size() > clipsBefore;
        if (clip)
            clipOfInput[i] = playlist.clips.back().get();
        playlist.order.append(
            {clip, int(clip ? playlist.clips.size() : playlist.pictures.size()) - 1});
    }
    // The end pictures: a GIF clip's from its frame files, anything else from its input.
    const auto endOf = [&](int i, bool last, QImage *square) {
        if (MediaObject *clip = clipOfInput[i]; clip && isGif(inputs[i]))
            return last ? TransitionEnds::lastOf(*clip, square)
                        : TransitionEnds::firstOf(*clip, square);
        return motion.endOf(inputs[i], last, playlist.sampling, square);
    };
    for (const Deferred &transition : std::as_const(deferred)) {
        if (InterruptGuard::signalNumber() != 0)
            break;
        QImage before, after;
        Outcome made = endOf(transition.input - 1, true, &before);
        if (made)
            made = endOf(transition.input + 1, false, &after);
        if (made)
            made = motion.makeTransition(
                inputs[transition.input], before, after, int(transition.slot),
                perFile[transition.input][1].toInt(), playlist.sampling,
                [] { return InterruptGuard::signalNumber() != 0; },
                &playlist.clips[transition.slot]);
        if (!made)
            return fail(made.error());
    }
    QList<ImageObject *> pictures;
    for (const auto &item : playlist.pictures)
        pictures.append(item.get());
    QList<MediaObject *> clips;
    for (const auto &clip : playlist.clips) {
        // Only an interrupted build leaves a transition's place empty; it writes nothing.
        if (!clip)
            return fail(QStringLiteral("interrupted, nothing written"));
        clips.append(clip.get());
    }
    // An interrupted build writes nothing: what it holds is not the playlist asked for.
    if (InterruptGuard::signalNumber() != 0)
        return fail(QStringLiteral("interrupted, nothing written"));
    EffectPlaylist show = EffectPlaylist::capture(pictures, clips);
    // Without text clips or transitions, pictures come first as the window writes them.
    if (motion.any())
        show.order = playlist.order;
    const DownloadResult result = EffectWriter::write(show, target.stagingPath());
    if (!result.ok)
        return fail(QString(result.error).replace(target.stagingPath(), target.path()));
    if (const Outcome committed = target.commit(); !committed)
        return fail(committed.error());
    return 0;
}
