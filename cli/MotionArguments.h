#pragma once

#include "app/Outcome.h"
#include "model/SamplingMode.h"
#include "motion/TextClipDescription.h"
#include "motion/TransitionDescription.h"

#include <QHash>
#include <QImage>
#include <QStringList>

#include <functional>
#include <memory>

class MediaObject;
class MotionFrameSource;
class TextClipRenderer;

// The text clips and transitions of `build`, which stand among the files:
//
//   build -o show.bin a.png --transition fade:0.5 b.png --text "SALE" --motion ring --seconds 4
//
// extract() takes them out of the arguments and leaves one stand-in word in the place of
// each, which the command's parser then counts as one more file. So --time and --loops still
// apply by position, and every text clip and transition is one entry of the show, in order.
class MotionArguments
{
public:
    // Reads the text clips (--text TEXT followed by any of --motion, --seconds, --speed,
    // --font, --size, --color, --background) and transitions (--transition KIND[:SECONDS])
    // from arguments; *rest is arguments with a stand-in word for each. Refuses a text clip
    // or transition setting that cannot make a clip, a setting of a text clip without its
    // --text, and a transition that has no file or text clip on either side.
    Outcome extract(const QStringList &arguments, QStringList *rest);

    // Refuses a transition first or last among the inputs, or next to another transition.
    Outcome checkPlaces(const QStringList &inputs) const;
    // Whether any text clip or transition was given.
    bool any() const { return !entries.isEmpty(); }
    // Whether an input is a stand-in that extract() put there.
    bool isMotion(const QString &input) const;
    // inputs without the stand-ins, with the background pictures the text clips name.
    QStringList files(const QStringList &inputs) const;
    // Help text for the options.
    static QString help();

    // Makes the clip of the stand-in at inputs[index] (a text clip or a transition between
    // inputs[index - 1] and inputs[index + 1]), numbered number, played loops times.
    // A transition takes the last picture of the item before and the first of the item after:
    // pictures and text clips have them; GIFs and videos are refused for now.
    Outcome make(const QStringList &inputs, int index, int number, int loops,
                 SamplingMode sampling, const std::function<bool()> &interrupted,
                 std::unique_ptr<MediaObject> *clip);
    // Whether an input is the stand-in of a transition.
    bool isTransition(const QString &input) const;
    // The transition of the stand-in input, from the end pictures given (450 x 450 squares).
    Outcome makeTransition(const QString &input, const QImage &before, const QImage &after,
                           int number, int loops, SamplingMode sampling,
                           const std::function<bool()> &interrupted,
                           std::unique_ptr<MediaObject> *clip);
    // The last (or first) picture of a file or text clip as a transition takes it.
    Outcome endOf(const QString &input, bool last, SamplingMode sampling, QImage *square);

private:
    struct Entry
    {
        bool isText = false;
        TextClipDescription text;
        TransitionDescription transition;
    };

    Outcome readText(const QStringList &arguments, qsizetype *at, TextClipDescription *wanted) const;
    Outcome makeClip(std::shared_ptr<const MotionFrameSource> source, int number, int loops,
                     SamplingMode sampling, const std::function<bool()> &interrupted,
                     std::unique_ptr<MediaObject> *clip);
    Outcome rendererOf(const QString &input, std::shared_ptr<TextClipRenderer> *renderer);

    QHash<QString, Entry> entries;
    QHash<QString, std::shared_ptr<TextClipRenderer>> renderers;
};
