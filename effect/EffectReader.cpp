#include "effect/EffectReader.h"

#include "app/AppGlobals.h"
#include "app/InputFileCheck.h"
#include "effect/EffectItemMaker.h"
#include "effect/EffectLog.h"
#include "effect/EffectReadPlan.h"
#include "effect/EffectRecordSink.h"
#include "effect/ReadBudget.h"

#include <QDebug>
#include <QFile>

namespace {

// The records after the header, read or skipped one at a time. Counts the records that were
// there, so that a file cut short (or truncated while it is read) can tell how many are
// missing. Once a record is missing nothing more is read.
class RecordStream
{
public:
    RecordStream(QIODevice &device, qint64 length) : device(device), length(length) {}

    // The next record of exactly `length` bytes; an empty array when fewer are left.
    QByteArray read()
    {
        QByteArray record;
        if (!ended && length > 0 && device.size() - device.pos() >= length)
            record = device.read(length);
        if (record.size() != length || record.isEmpty()) {
            ended = true;
            return {};
        }
        ++present;
        return record;
    }

    bool skip()
    {
        if (ended || device.size() - device.pos() < length
            || !device.seek(device.pos() + length)) {
            ended = true;
            return false;
        }
        ++present;
        return true;
    }

    int recordsPresent() const { return present; }
    bool endedEarly() const { return ended; }

private:
    QIODevice &device;
    const qint64 length;
    int present = 0;
    bool ended = false;
};

// One pass over the sections of a plan, for both layouts.
class SectionLoop
{
public:
    SectionLoop(const EffectReadPlan &plan, QIODevice &device, const std::atomic<bool> &keepGoing,
                EffectRecordSink &sink)
        : plan(plan), records(device, plan.recordLength), keepGoing(keepGoing), sink(sink)
    {
    }

    // Records missing from what the header promised; 0 when the read was stopped or every
    // record came.
    int run()
    {
        for (const EffectReadPlan::Section &section : plan.sections) {
            if (!keepGoing || records.endedEarly())
                break;
            if (section.clip) {
                announceClips();
                readClip(section);
            } else {
                readPictures(section);
            }
        }
        announceClips();
        if (!keepGoing || !records.endedEarly())
            return 0;
        return qMax(0, plan.promisedRecords - records.recordsPresent());
    }

private:
    void announceClips()
    {
        if (!clipsAnnounced)
            qCDebug(lcEffect).noquote() << "read media image. " << plan.clipSections;
        clipsAnnounced = true;
    }

    void readPictures(const EffectReadPlan::Section &section)
    {
        for (int r = 0; r < section.records && keepGoing; ++r) {
            if (r >= section.keep) {
                if (!records.skip())
                    return;
                continue;
            }
            const QByteArray bytes = records.read();
            if (bytes.isEmpty())
                return;
            sink.picture({section.firstNumber + r, section.displayTime, plan.form, bytes});
        }
    }

    void readClip(const EffectReadPlan::Section &section)
    {
        sink.clipStarted(section.clipNumber, section.loopCount);
        int k = 0;
        while (k < section.records && keepGoing) {
            const QByteArray bytes = records.read();
            if (bytes.isEmpty())
                break;
            ++k;
            sink.clipFrame({k, section.displayTime, plan.form, bytes});
        }
        qCDebug(lcEffect).noquote() << "read media image. image count " << k;
        sink.clipEnded(k > 0 && keepGoing);
    }

    const EffectReadPlan &plan;
    RecordStream records;
    const std::atomic<bool> &keepGoing;
    EffectRecordSink &sink;
    bool clipsAnnounced = false;
};

EffectReader::Report failed(const QString &reason)
{
    return {Outcome::failure(reason), 0};
}

int geometryOr(int given, int inForce)
{
    return given > 0 ? given : inForce;
}

} // namespace

EffectReader::Result EffectReader::Result::of(const Report &report)
{
    Result result;
    result.ok = report.outcome.ok();
    result.error = result.ok ? report.outcome.warnings().join(QStringLiteral("; "))
                             : report.outcome.error();
    result.missingRecords = report.missingRecords;
    return result;
}

EffectReader::Report EffectReader::read(QIODevice &device, const std::atomic<bool> &keepGoing,
                                        EffectRecordSink &sink, const Hooks &hooks)
{
    const int leds = geometryOr(hooks.ledCount, ledCount.load());
    const int lines = geometryOr(hooks.lineNumber, lineNumber.load());
    if (leds < 1 || lines < 1)
        return failed(QStringLiteral("invalid display geometry %1 x %2").arg(leds).arg(lines));
    if (!device.isReadable() || device.isSequential())
        return failed(QStringLiteral("the effect cannot be read from this device"));

    Report report;
    const auto plan = EffectReadPlan::read(device, leds, lines, &report.outcome);
    if (!plan)
        return report;
    const QString work = workDirectory();
    const qint64 available = hooks.bytesAvailable ? hooks.bytesAvailable(work)
                                                  : ReadBudget::bytesAvailable(work);
    const QString refused = plan->budget.refusal(leds, lines, available);
    if (!refused.isEmpty())
        return failed(refused);
    for (const QString &note : plan->notes)
        report.outcome.warn(note);
    report.missingRecords = SectionLoop(*plan, device, keepGoing, sink).run();
    if (report.missingRecords > 0)
        report.outcome.warn(QStringLiteral("the file ended early: %1 of %2 records are missing")
                                .arg(report.missingRecords).arg(plan->promisedRecords));
    return report;
}

EffectReader::Report EffectReader::readFile(const QString &path,
                                            const std::atomic<bool> &keepGoing,
                                            QList<ImageObject *> &images,
                                            QList<MediaObject *> &medias, const Hooks &hooks)
{
    const QString refusal = InputFileCheck::refusal(path);
    if (!refusal.isEmpty())
        return failed(refusal);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    // The geometry is taken once, so the records and their items agree on it.
    Hooks fixed = hooks;
    fixed.ledCount = geometryOr(hooks.ledCount, ledCount.load());
    fixed.lineNumber = geometryOr(hooks.lineNumber, lineNumber.load());
    EffectItemMaker maker(images, medias, fixed.ledCount, fixed.lineNumber);
    return read(file, keepGoing, maker, fixed);
}

EffectReader::Result EffectReader::readInto(const QString &path,
                                            const std::atomic<bool> &keepGoing,
                                            QList<ImageObject *> &images,
                                            QList<MediaObject *> &medias)
{
    return Result::of(readFile(path, keepGoing, images, medias, Hooks()));
}

EffectReader::Result EffectReader::readInto(const QString &path,
                                            const std::atomic<bool> &keepGoing,
                                            QList<ImageObject *> &images,
                                            QList<MediaObject *> &medias, const Hooks &hooks)
{
    return Result::of(readFile(path, keepGoing, images, medias, hooks));
}
