#include "cli/MotionArguments.h"

#include "model/MediaObject.h"
#include "model/PictureLoader.h"
#include "motion/MotionClipMaker.h"
#include "motion/TextClipRenderer.h"
#include "motion/TransitionEnds.h"
#include "motion/TransitionRenderer.h"

#include <QImageReader>

#include <algorithm>

namespace {

const QString kText = QStringLiteral("--text");
const QString kTransition = QStringLiteral("--transition");
// The settings that belong to the --text before them.
const QStringList kTextSettings{QStringLiteral("--motion"), QStringLiteral("--seconds"),
                                QStringLiteral("--speed"),  QStringLiteral("--font"),
                                QStringLiteral("--size"),   QStringLiteral("--color"),
                                QStringLiteral("--background")};

// "--name=value" or "--name value": the option's name and its value; at moves past it.
// False when the word is not one of names, or the value is missing.
bool takeOption(const QStringList &arguments, qsizetype *at, const QStringList &names,
                QString *name, QString *value, bool *missing)
{
    const QString &word = arguments[*at];
    const qsizetype equals = word.indexOf(QLatin1Char('='));
    const QString given = equals < 0 ? word : word.left(equals);
    if (!names.contains(given))
        return false;
    *name = given;
    if (equals >= 0) {
        *value = word.mid(equals + 1);
    } else if (*at + 1 < arguments.size()) {
        *value = arguments[++*at];
    } else {
        *missing = true;
        return false;
    }
    ++*at;
    return true;
}

bool readNumber(const QString &text, double *value)
{
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

bool readWhole(const QString &text, int *value)
{
    bool ok = false;
    *value = text.toInt(&ok);
    return ok;
}

} // namespace

QString MotionArguments::help()
{
    return QStringLiteral(
        "    --text TEXT [--motion ring|ring-cw|left|right|up|down|stand|blink]\n"
        "      [--seconds S] [--speed 1-10] [--font FAMILY] [--size PX] [--color #RRGGBB]\n"
        "      [--background #RRGGBB|PICTURE] stands among the files as a clip of moving\n"
        "    text (default: ring, 4 s, speed 5, 64 px, white on black), one frame per\n"
        "    100 ms, played --loops times. --transition fade|clock|iris-in|iris-out|spin\n"
        "    [:SECONDS] (0.2 to 3, default 1) between two pictures, GIFs or text clips makes a\n"
        "    clip from the end of the one before to the start of the one after. With either,\n"
        "    the show plays every file in the order given; without, pictures come first.");
}

Outcome MotionArguments::readText(const QStringList &arguments, qsizetype *at,
                                  TextClipDescription *wanted) const
{
    QString name, value;
    bool missing = false;
    if (!takeOption(arguments, at, {kText}, &name, &value, &missing))
        return Outcome::failure(QStringLiteral("--text needs the text the clip shows"));
    TextClipDescription read;
    read.text = value;
    while (*at < arguments.size()) {
        if (!takeOption(arguments, at, kTextSettings, &name, &value, &missing)) {
            if (missing)
                return Outcome::failure(QStringLiteral("%1 needs a value").arg(arguments[*at]));
            break;
        }
        bool ok = true;
        if (name == QLatin1String("--motion")) {
            ok = TextClipDescription::motionFromName(value, &read.motion);
            if (!ok)
                return Outcome::failure(
                    QStringLiteral("--motion must be ring, ring-cw, left, right, up, down, "
                                   "stand or blink"));
        } else if (name == QLatin1String("--seconds")) {
            ok = readNumber(value, &read.seconds);
        } else if (name == QLatin1String("--speed")) {
            ok = readWhole(value, &read.speed);
        } else if (name == QLatin1String("--font")) {
            read.fontFamily = value;
        } else if (name == QLatin1String("--size")) {
            ok = readWhole(value, &read.pixelSize);
        } else if (name == QLatin1String("--color")) {
            read.color = QColor::fromString(value);
        } else if (name == QLatin1String("--background")) {
            if (QColor::isValidColorName(value) && value.startsWith(QLatin1Char('#')))
                read.backgroundColor = QColor::fromString(value);
            else
                read.backgroundPath = value;
        }
        if (!ok)
            return Outcome::failure(QStringLiteral("%1 \"%2\" is not a number").arg(name, value));
    }
    if (const Outcome checked = read.check(); !checked)
        return Outcome::failure(QStringLiteral("--text \"%1\": %2").arg(read.text, checked.error()));
    *wanted = read;
    return Outcome::success();
}

Outcome MotionArguments::extract(const QStringList &arguments, QStringList *rest)
{
    entries.clear();
    renderers.clear();
    QStringList out;
    // A stand-in no real argument can be: a control character no shell user types.
    QString prefix = QStringLiteral("\x01motion-");
    while (std::any_of(arguments.cbegin(), arguments.cend(),
                       [&prefix](const QString &word) { return word.startsWith(prefix); }))
        prefix.prepend(QLatin1Char('\x01'));
    bool onlyFiles = false;
    for (qsizetype at = 0; at < arguments.size();) {
        const QString &word = arguments[at];
        const QString name = word.section(QLatin1Char('='), 0, 0);
        if (onlyFiles) {
            out << word;
            ++at;
            continue;
        }
        if (word == QLatin1String("--"))
            onlyFiles = true;
        if (name == kText) {
            Entry entry;
            entry.isText = true;
            if (const Outcome read = readText(arguments, &at, &entry.text); !read)
                return read;
            const QString standIn = prefix + QString::number(entries.size());
            entries.insert(standIn, entry);
            out << standIn;
            continue;
        }
        if (name == kTransition) {
            QString given, value;
            bool missing = false;
            if (!takeOption(arguments, &at, {kTransition}, &given, &value, &missing))
                return Outcome::failure(QStringLiteral("--transition needs KIND[:SECONDS]"));
            Entry entry;
            if (const Outcome parsed = TransitionDescription::parse(value, &entry.transition); !parsed)
                return Outcome::failure(QStringLiteral("--transition %1: %2")
                                            .arg(value, parsed.error()));
            const QString standIn = prefix + QString::number(entries.size());
            entries.insert(standIn, entry);
            out << standIn;
            continue;
        }
        if (kTextSettings.contains(name))
            return Outcome::failure(
                QStringLiteral("%1 belongs to a text clip: put it after its --text").arg(name));
        out << word;
        ++at;
    }
    *rest = out;
    return Outcome::success();
}

Outcome MotionArguments::checkPlaces(const QStringList &inputs) const
{
    for (qsizetype i = 0; i < inputs.size(); ++i) {
        const auto entry = entries.constFind(inputs[i]);
        if (entry == entries.cend() || entry->isText)
            continue;
        if (i == 0 || i + 1 == inputs.size())
            return Outcome::failure(
                QStringLiteral("--transition must stand between two files or text clips"));
        const auto next = entries.constFind(inputs[i + 1]);
        if (next != entries.cend() && !next->isText)
            return Outcome::failure(QStringLiteral("two transitions cannot stand side by side"));
    }
    return Outcome::success();
}

bool MotionArguments::isMotion(const QString &input) const
{
    return entries.contains(input);
}

QStringList MotionArguments::files(const QStringList &inputs) const
{
    QStringList real;
    for (const QString &input : inputs) {
        const auto entry = entries.constFind(input);
        if (entry == entries.cend())
            real << input;
        else if (entry->isText && !entry->text.backgroundPath.isEmpty())
            real << entry->text.backgroundPath;
    }
    return real;
}

Outcome MotionArguments::rendererOf(const QString &input,
                                    std::shared_ptr<TextClipRenderer> *renderer)
{
    if (const auto made = renderers.constFind(input); made != renderers.cend()) {
        *renderer = *made;
        return Outcome::success();
    }
    const Outcome prepared = TextClipRenderer::prepare(entries.value(input).text, renderer);
    if (prepared)
        renderers.insert(input, *renderer);
    return prepared;
}

Outcome MotionArguments::endOf(const QString &input, bool last, SamplingMode sampling,
                               QImage *square)
{
    if (const auto entry = entries.constFind(input); entry != entries.cend()) {
        if (!entry->isText)
            return Outcome::failure(QStringLiteral("two transitions cannot stand side by side"));
        std::shared_ptr<TextClipRenderer> renderer;
        if (const Outcome prepared = rendererOf(input, &renderer); !prepared)
            return prepared;
        *square = renderer->frame(last ? renderer->frameCount() - 1 : 0);
        return Outcome::success();
    }
    if (QImageReader::imageFormat(input) == "gif")
        return Outcome::failure(
            QStringLiteral("%1: a transition next to a GIF takes its clip's frames").arg(input));
    QString why;
    const QImage picture = PictureLoader::load(input, &why);
    if (picture.isNull())
        return Outcome::failure(
            QStringLiteral("%1: a transition needs a picture or text clip on both sides (%2)")
                .arg(input, why));
    *square = TransitionEnds::ofPicture(picture, sampling);
    return Outcome::success();
}

bool MotionArguments::isTransition(const QString &input) const
{
    const auto entry = entries.constFind(input);
    return entry != entries.cend() && !entry->isText;
}

Outcome MotionArguments::make(const QStringList &inputs, int index, int number, int loops,
                              SamplingMode sampling, const std::function<bool()> &interrupted,
                              std::unique_ptr<MediaObject> *clip)
{
    const QString &input = inputs[index];
    const Entry entry = entries.value(input);
    if (!entry.isText) {
        if (index == 0 || index + 1 >= inputs.size())
            return Outcome::failure(QStringLiteral(
                "--transition must stand between two files or text clips"));
        QImage before, after;
        if (const Outcome got = endOf(inputs[index - 1], true, sampling, &before); !got)
            return got;
        if (const Outcome got = endOf(inputs[index + 1], false, sampling, &after); !got)
            return got;
        return makeTransition(input, before, after, number, loops, sampling, interrupted, clip);
    }
    std::shared_ptr<TextClipRenderer> renderer;
    if (const Outcome prepared = rendererOf(input, &renderer); !prepared)
        return prepared;
    return makeClip(renderer, number, loops, sampling, interrupted, clip);
}

Outcome MotionArguments::makeTransition(const QString &input, const QImage &before,
                                        const QImage &after, int number, int loops,
                                        SamplingMode sampling,
                                        const std::function<bool()> &interrupted,
                                        std::unique_ptr<MediaObject> *clip)
{
    std::shared_ptr<TransitionRenderer> renderer;
    if (const Outcome prepared =
            TransitionRenderer::prepare(entries.value(input).transition, before, after, &renderer);
        !prepared)
        return prepared;
    return makeClip(renderer, number, loops, sampling, interrupted, clip);
}

Outcome MotionArguments::makeClip(std::shared_ptr<const MotionFrameSource> source, int number,
                                  int loops, SamplingMode sampling,
                                  const std::function<bool()> &interrupted,
                                  std::unique_ptr<MediaObject> *clip)
{
    MotionClipMaker::Options options;
    options.sampling = sampling;
    options.writeFiles = false;
    MotionClipMaker maker(std::move(source), options);
    if (!maker.runToEnd(interrupted))
        return Outcome::failure(maker.errorString());
    clip->reset(maker.takeClip(number));
    if (!*clip)
        return Outcome::failure(QStringLiteral("the clip's frames could not be made"));
    (*clip)->loopCount = loops;
    return Outcome::success();
}
