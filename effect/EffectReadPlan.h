#pragma once

#include "app/Outcome.h"
#include "effect/EffectRecord.h"
#include "effect/ReadBudget.h"

#include <QList>
#include <QStringList>

#include <optional>

class QIODevice;

// What an effect file's header promises, whichever its layout: the records after the header
// as a run of sections in file order, so that one loop reads both layouts. Telling the
// layouts apart happens here: the indexed layout is recognised by its two magics, a header
// with one magic but not the other is damaged, anything else is taken as slotted.
class EffectReadPlan
{
public:
    struct Section
    {
        bool clip = false;
        int records = 0; // records the section spans in the file
        // Pictures: the first `keep` records become pictures numbered from firstNumber,
        // each shown displayTime seconds; the rest are skipped unread.
        int keep = 0;
        int firstNumber = 1;
        double displayTime = 0.0;
        // Clips: every record is a frame, shown displayTime seconds.
        int clipNumber = 0;
        int loopCount = 0;
    };

    EffectRecord::Form form = EffectRecord::Form::LedData;
    qint64 recordLength = 0;
    QList<Section> sections;
    int clipSections = 0;    // clip positions the header has (for the trace)
    int promisedRecords = 0; // records up to the end of the last section
    ReadBudget budget;       // the items a read of this plan makes at most
    QStringList notes;       // warnings known before reading: length, skipped records

    // Reads the header from device (at its start, random access) and leaves the device at the
    // first record. nullopt with *outcome failed when the header is missing or damaged, or
    // (indexed) the length does not fit the geometry.
    static std::optional<EffectReadPlan> read(QIODevice &device, int ledCount, int lineNumber,
                                              Outcome *outcome);

private:
    static std::optional<EffectReadPlan> slotted(QIODevice &device, int ledCount,
                                                 int lineNumber, Outcome *outcome);
    static std::optional<EffectReadPlan> indexed(QIODevice &device, int ledCount,
                                                 int lineNumber, Outcome *outcome);
};
