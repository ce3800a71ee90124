#include "motion/TransitionLinks.h"

#include "effect/EffectPlaylist.h"
#include "model/ImageObject.h"
#include "model/MediaObject.h"
#include "motion/MotionClipMaker.h"
#include "motion/TransitionEnds.h"
#include "motion/TextClipRenderer.h"
#include "motion/TransitionRenderer.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QThread>

namespace {

// The picture item an end of before or after is drawn from: a picture, or a clip's last
// (before) or first (after) frame.
const ImageObject *endItem(const QObject *object, bool last)
{
    if (const auto *item = qobject_cast<const ImageObject *>(object))
        return item;
    const auto *clip = qobject_cast<const MediaObject *>(object);
    if (!clip || clip->frames.isEmpty())
        return nullptr;
    return last ? clip->frames.last() : clip->frames.first();
}

// What an end picture is made of, taken on the GUI thread for the worker.
struct EndSource
{
    bool present = false;
    QString path;
    float contrast = 1.0f;
    SamplingMode sampling = SamplingMode::Sharp;
    // A text clip without frame pictures (made by the command line): its end is drawn again
    // from its settings.
    QJsonObject text;
    bool last = false;

    static EndSource of(const QObject *object, bool last)
    {
        EndSource end;
        end.last = last;
        if (const ImageObject *item = endItem(object, last)) {
            end.present = true;
            end.path = item->sourcePath;
            end.contrast = item->contrastFactor;
            end.sampling = item->sampling;
        }
        const auto *clip = qobject_cast<const MediaObject *>(object);
        if (end.path.isEmpty() && clip && clip->origin.source == ClipOrigin::Source::Text)
            end.text = clip->origin.description;
        return end;
    }

    Outcome square(QImage *picture) const
    {
        if (!present)
            return Outcome::failure(QStringLiteral("the clip has no frames"));
        if (!text.isEmpty())
            return textSquare(picture);
        return TransitionEnds::ofSource(path, contrast, sampling, picture);
    }

    Outcome textSquare(QImage *picture) const
    {
        TextClipDescription wanted;
        if (const Outcome read = TextClipDescription::fromJson(text, &wanted); !read)
            return read;
        std::shared_ptr<TextClipRenderer> renderer;
        if (const Outcome prepared = TextClipRenderer::prepare(wanted, &renderer); !prepared)
            return prepared;
        const int count = renderer->frameCount();
        if (count < 1)
            return Outcome::failure(QStringLiteral("the text clip has no frames"));
        *picture = TransitionEnds::ofPicture(renderer->frame(last ? count - 1 : 0), sampling);
        return Outcome::success();
    }
};

// Everything that makes an end look different: the item, its conversion (revision) and the
// values its picture is drawn with.
QByteArray endKey(const QObject *object, bool last)
{
    const ImageObject *item = endItem(object, last);
    if (!item)
        return QByteArrayLiteral("-");
    return QByteArray::number(quintptr(item), 16) + ':' + QByteArray::number(item->revision()) +
           ':' + QByteArray::number(double(item->contrastFactor)) + ':' +
           QByteArray::number(int(item->sampling)) + ':' + item->sourcePath.toUtf8();
}

} // namespace

struct TransitionLinks::Result
{
    std::unique_ptr<MediaObject> clip;
    QString error;
};

TransitionLinks::TransitionLinks(bool writeFiles, QObject *parent)
    : QObject(parent), writeFiles(writeFiles)
{
    // One transition at a time: the conversion inside already uses every core.
    pool.setMaxThreadCount(1);
}

TransitionLinks::~TransitionLinks()
{
    for (auto &[key, link] : links) {
        if (link.cancel)
            link.cancel->store(true);
    }
    pool.waitForDone();
    // Results still queued to this object go with it (their clips with them).
}

bool TransitionLinks::set(QObject *before, const TransitionDescription &wanted)
{
    if (!before || !wanted.check())
        return false;
    auto found = links.find(before);
    if (found == links.end()) {
        found = links.emplace(before, Link()).first;
        found->second.before = before;
        // The transition belongs to its item: it goes when the item is destroyed.
        connect(before, &QObject::destroyed, this, [this, before] { remove(before); });
    }
    Link &link = found->second;
    link.wanted = wanted;
    link.after = nextOf.value(before) ? const_cast<QObject *>(nextOf.value(before)) : nullptr;
    refresh(link);
    emit changed();
    return true;
}

void TransitionLinks::remove(QObject *before)
{
    const auto found = links.find(before);
    if (found == links.end())
        return;
    Link &link = found->second;
    stopJob(link);
    if (link.before)
        disconnect(link.before, &QObject::destroyed, this, nullptr);
    const bool hadMade = bool(link.made);
    if (hadMade)
        emit aboutToDrop();
    links.erase(found);
    emit changed();
    checkSettled();
}

void TransitionLinks::clear()
{
    QList<QObject *> all;
    for (auto &[key, link] : links)
        all.append(const_cast<QObject *>(key));
    for (QObject *before : all)
        remove(before);
}

Outcome TransitionLinks::setFromJson(QObject *before, const QString &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (!document.isObject())
        return Outcome::failure(QStringLiteral("the transition is not a description (%1)")
                                    .arg(error.errorString()));
    TransitionDescription wanted;
    if (const Outcome read = TransitionDescription::fromJson(document.object(), &wanted); !read)
        return read;
    if (!set(before, wanted))
        return Outcome::failure(QStringLiteral("no item to keep the transition with"));
    return Outcome::success();
}

QHash<const QObject *, QString> TransitionLinks::allAsJson() const
{
    QHash<const QObject *, QString> kept;
    for (const auto &[key, link] : links)
        kept.insert(key, QString::fromUtf8(
                             QJsonDocument(link.wanted.toJson()).toJson(QJsonDocument::Compact)));
    return kept;
}

std::optional<TransitionDescription> TransitionLinks::find(const QObject *before) const
{
    const auto found = links.find(before);
    if (found == links.end())
        return std::nullopt;
    return found->second.wanted;
}

QHash<const QObject *, TransitionDescription> TransitionLinks::all() const
{
    QHash<const QObject *, TransitionDescription> kept;
    for (const auto &[key, link] : links)
        kept.insert(key, link.wanted);
    return kept;
}

void TransitionLinks::follow(const QList<ImageObject *> &pictures, const QList<MediaObject *> &clips)
{
    QList<const QObject *> sequence;
    for (ImageObject *item : pictures)
        sequence.append(item);
    for (MediaObject *clip : clips)
        sequence.append(clip);
    nextOf.clear();
    for (qsizetype i = 0; i < sequence.size(); ++i)
        nextOf.insert(sequence[i], i + 1 < sequence.size() ? sequence[i + 1] : nullptr);
    bool anyChange = false;
    for (auto &[key, link] : links) {
        const auto next = nextOf.constFind(key);
        QObject *after = next == nextOf.cend() ? nullptr : const_cast<QObject *>(next.value());
        link.after = after;
        const QByteArray before = link.madeKey;
        const bool wasRunning = link.job != 0;
        refresh(link);
        anyChange = anyChange || before != link.madeKey || wasRunning != (link.job != 0);
    }
    if (anyChange)
        emit changed();
    checkSettled();
}

QByteArray TransitionLinks::keyOf(const Link &link) const
{
    if (!link.after || !link.before)
        return {};
    return QByteArray::number(int(link.wanted.kind)) + '/' +
           QByteArray::number(link.wanted.seconds) + '|' + endKey(link.before, true) + '|' +
           endKey(link.after, false);
}

void TransitionLinks::refresh(Link &link)
{
    const QByteArray key = keyOf(link);
    link.wantedKey = key;
    if (key.isEmpty()) {
        // Nothing after it: kept as a description only, ready for an undo.
        stopJob(link);
        dropMade(link);
        return;
    }
    // Made, or under way, for this pair as it is now; or known to fail for it.
    if (link.madeKey == key || (link.job == 0 && link.failedKey == key))
        return;
    dropMade(link);
    startJob(link);
}

void TransitionLinks::startJob(Link &link)
{
    stopJob(link);
    link.failure.clear();
    link.failedKey.clear();
    link.job = ++jobs;
    link.madeKey = link.wantedKey;
    link.cancel = std::make_shared<std::atomic_bool>(false);
    ++running;

    const TransitionDescription wanted = link.wanted;
    const EndSource before = EndSource::of(link.before, true);
    const EndSource after = EndSource::of(link.after, false);
    const bool files = writeFiles;
    const auto cancel = link.cancel;
    QThread *home = thread();
    const quint64 job = link.job;
    const QObject *key = link.before;
    pool.start([this, wanted, before, after, files, cancel, home, job, key] {
        auto result = std::make_shared<Result>();
        const auto interrupted = [cancel] { return cancel->load(); };
        QImage first, last;
        std::shared_ptr<TransitionRenderer> renderer;
        Outcome made = before.square(&first);
        if (made)
            made = after.square(&last);
        if (made)
            made = TransitionRenderer::prepare(wanted, first, last, &renderer);
        if (made && !interrupted()) {
            MotionClipMaker::Options options;
            // The clip's frames are sampled as the item before was.
            options.sampling = before.sampling;
            options.writeFiles = files;
            MotionClipMaker maker(renderer, options);
            if (maker.runToEnd(interrupted)) {
                result->clip.reset(maker.takeClip(0));
                if (!result->clip)
                    result->error = QStringLiteral("the transition's frames could not be made");
            } else {
                result->error = maker.errorString();
            }
        } else if (!made) {
            result->error = made.error();
        }
        if (result->clip)
            result->clip->moveToThread(home);
        // Dropped with its clip when this object is gone before the call arrives.
        QMetaObject::invokeMethod(
            this, [this, key, job, result] { deliver(key, job, result); }, Qt::QueuedConnection);
    });
}

void TransitionLinks::stopJob(Link &link)
{
    if (link.job == 0)
        return;
    link.cancel->store(true);
    link.job = 0;
    link.madeKey.clear();
    --running;
}

void TransitionLinks::deliver(const QObject *before, quint64 job,
                              const std::shared_ptr<Result> &result)
{
    const auto found = links.find(before);
    if (found == links.end() || found->second.job != job)
        return; // stale: its clip goes with the result
    Link &link = found->second;
    link.job = 0;
    --running;
    if (result->clip) {
        link.made = std::move(result->clip);
    } else {
        link.failedKey = link.madeKey;
        link.madeKey.clear();
        link.failure = result->error;
    }
    emit changed();
    checkSettled();
}

void TransitionLinks::dropMade(Link &link)
{
    if (!link.made)
        return;
    emit aboutToDrop();
    link.made.reset();
    if (link.job == 0)
        link.madeKey.clear();
}

void TransitionLinks::checkSettled()
{
    if (running == 0)
        emit settled();
}

bool TransitionLinks::isSettled() const
{
    return running == 0;
}

void TransitionLinks::waitUntilSettled()
{
    if (isSettled())
        return;
    QEventLoop loop;
    connect(this, &TransitionLinks::settled, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

const TransitionLinks::Link *TransitionLinks::current(const QObject *before) const
{
    const auto found = links.find(before);
    if (found == links.end())
        return nullptr;
    const Link &link = found->second;
    if (!link.made || link.job != 0 || link.madeKey.isEmpty() || link.madeKey != keyOf(link))
        return nullptr;
    return &link;
}

MediaObject *TransitionLinks::madeClip(const QObject *before) const
{
    const Link *link = current(before);
    return link ? link->made.get() : nullptr;
}

QString TransitionLinks::failure(const QObject *before) const
{
    const auto found = links.find(before);
    return found == links.end() ? QString() : found->second.failure;
}

EffectPlaylist TransitionLinks::playlist(const QList<ImageObject *> &pictures,
                                         const QList<MediaObject *> &clips) const
{
    EffectPlaylist show = EffectPlaylist::capture(pictures, clips);
    QList<const QObject *> sequence;
    QList<EffectPlaylist::Entry> order;
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        sequence.append(pictures[i]);
        order.append({false, int(i)});
    }
    for (qsizetype i = 0; i < clips.size(); ++i) {
        sequence.append(clips[i]);
        order.append({true, int(i)});
    }
    QList<MediaObject *> between;
    QList<EffectPlaylist::Entry> played;
    for (qsizetype i = 0; i < sequence.size(); ++i) {
        played.append(order[i]);
        if (i + 1 == sequence.size())
            break;
        const Link *link = current(sequence[i]);
        // Made for the item after it now, not for a neighbour it had before.
        if (!link || link->after != sequence[i + 1])
            continue;
        played.append({true, int(clips.size() + between.size())});
        between.append(link->made.get());
    }
    if (between.isEmpty())
        return show;
    show.clips.append(EffectPlaylist::capture({}, between).clips);
    show.order = played;
    return show;
}
