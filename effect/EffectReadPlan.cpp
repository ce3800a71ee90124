#include "effect/EffectReadPlan.h"

#include "effect/EffectFormat.h"
#include "effect/IndexedHeader.h"
#include "effect/SlottedHeader.h"
#include "model/DataBitCalculation.h"

#include <QIODevice>

namespace {
constexpr double kSlottedTimeUnit = 0.2;
} // namespace

std::optional<EffectReadPlan> EffectReadPlan::read(QIODevice &device, int ledCount,
                                                   int lineNumber, Outcome *outcome)
{
    const QByteArray head = device.peek(EffectFormat::kHeaderSize);
    if (IndexedHeader::hasMagic(head))
        return indexed(device, ledCount, lineNumber, outcome);
    const QString damage = IndexedHeader::damage(head);
    if (!damage.isEmpty()) {
        *outcome = Outcome::failure(damage);
        return std::nullopt;
    }
    return slotted(device, ledCount, lineNumber, outcome);
}

std::optional<EffectReadPlan> EffectReadPlan::slotted(QIODevice &device, int ledCount,
                                                      int lineNumber, Outcome *outcome)
{
    const auto header = SlottedHeader::parse(device.read(EffectFormat::kSlottedHeaderSize));
    if (!header) {
        *outcome = Outcome::failure(
            QStringLiteral("the file is shorter than an effect header (%1 bytes)")
                .arg(EffectFormat::kSlottedHeaderSize));
        return std::nullopt;
    }
    EffectReadPlan plan;
    plan.form = EffectRecord::Form::ColourTriples;
    plan.recordLength = EffectFormat::tripleRecordLength(ledCount, lineNumber);
    plan.clipSections = EffectFormat::kClipPositions;
    plan.promisedRecords = EffectFormat::kSlotCount + header->totalFrames();

    // Slots 1..n (at most 50) are pictures, the other slots are skipped; the frames of the
    // five clip positions follow the 100 slots.
    const int kept = qMin(header->pictureCount, EffectFormat::kMaxReadPictures);
    for (int slot = 1; slot <= kept; ++slot) {
        Section section;
        section.records = 1;
        section.keep = 1;
        section.firstNumber = slot;
        section.displayTime = header->timeBytes[slot - 1] * kSlottedTimeUnit;
        plan.sections << section;
    }
    Section skipped;
    skipped.records = EffectFormat::kSlotCount - kept;
    plan.sections << skipped;
    for (int j = 0; j < EffectFormat::kClipPositions; ++j) {
        Section clip;
        clip.clip = true;
        clip.records = header->frameCounts[j];
        clip.clipNumber = j;
        clip.loopCount = header->loopCounts[j];
        clip.displayTime = kSlottedTimeUnit; // every frame, as the display shows it
        plan.sections << clip;
    }

    // The items this file can give: as many as its header claims and its length holds.
    const qint64 size = device.size();
    qint64 left = plan.recordLength > 0 ? qMax<qint64>(0, size - device.pos()) / plan.recordLength : 0;
    const qint64 slotRecords = qMin<qint64>(left, EffectFormat::kSlotCount);
    plan.budget.pictures = int(qMin<qint64>(slotRecords, kept));
    left = slotRecords < EffectFormat::kSlotCount ? 0 : left - slotRecords;
    for (int count : header->frameCounts) {
        plan.budget.clipFrames << int(qMin<qint64>(count, left));
        left -= plan.budget.clipFrames.last();
    }

    const qint64 expected =
        EffectFormat::kSlottedHeaderSize + plan.recordLength * plan.promisedRecords;
    if (size != expected)
        plan.notes << QStringLiteral("file length %1 does not fit %2 LEDs x %3 lines "
                                     "(%4 expected); read what fits")
                          .arg(size).arg(ledCount).arg(lineNumber).arg(expected);
    return plan;
}

std::optional<EffectReadPlan> EffectReadPlan::indexed(QIODevice &device, int ledCount,
                                                      int lineNumber, Outcome *outcome)
{
    QString error;
    const auto header = IndexedHeader::parse(device.read(EffectFormat::kHeaderSize), &error);
    if (!header) {
        *outcome = Outcome::failure(error);
        return std::nullopt;
    }
    EffectReadPlan plan;
    plan.form = EffectRecord::Form::LedData;
    plan.recordLength = DataBitCalculation::ledDataLength(ledCount, lineNumber);
    const qint64 expected = EffectFormat::kHeaderSize + plan.recordLength * header->recordCount;
    if (device.size() != expected) {
        *outcome = Outcome::failure(
            QStringLiteral("file length %1 does not fit %2 records of %3 LEDs x %4 lines "
                           "(%5 bytes expected)")
                .arg(device.size()).arg(header->recordCount).arg(ledCount).arg(lineNumber)
                .arg(expected));
        return std::nullopt;
    }

    // Pictures are read up to the picture list's limit and skipped after it; every clip is
    // read in full.
    int pictures = 0;
    for (const IndexedHeader::Segment &segment : header->segments) {
        Section section;
        section.records = segment.length();
        if (segment.isClip()) {
            section.clip = true;
            section.clipNumber = plan.clipSections++;
            section.loopCount = segment.repeat;
            section.displayTime = segment.time / 10.0;
            plan.budget.clipFrames << segment.length();
        } else {
            section.keep = qBound(0, EffectFormat::kMaxReadPictures - pictures, section.records);
            section.firstNumber = pictures + 1;
            section.displayTime = qint64(segment.time) * segment.repeat / 10.0;
            pictures += section.records;
        }
        plan.sections << section;
    }
    plan.budget.pictures = qMin(pictures, EffectFormat::kMaxReadPictures);
    plan.promisedRecords = header->segments.isEmpty() ? 0 : header->segments.last().last;

    if (pictures > EffectFormat::kMaxReadPictures)
        plan.notes << QStringLiteral("only the first %1 of %2 pictures were read")
                          .arg(EffectFormat::kMaxReadPictures).arg(pictures);
    if (plan.promisedRecords < header->recordCount)
        plan.notes << QStringLiteral("%1 records have no segment and were skipped")
                          .arg(header->recordCount - plan.promisedRecords);
    return plan;
}
