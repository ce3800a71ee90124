#include "effect/EffectFileCheck.h"

#include "app/InputFileCheck.h"
#include "effect/EffectFormat.h"
#include "effect/IndexedHeader.h"
#include "effect/SlottedHeader.h"
#include "model/DataBitCalculation.h"

#include <QFile>

namespace {

using Outcome = EffectFileCheck::Outcome;

Outcome lengthOutcome(qint64 size, qint64 expected, int leds, int lines)
{
    if (size == expected) {
        Outcome fits;
        fits.size = size;
        return fits;
    }
    return EffectFileCheck::failure(
        EffectFileCheck::WrongLength,
        QStringLiteral("file length %1 does not fit %2 LEDs x %3 lines (%4 expected)")
            .arg(size).arg(leds).arg(lines).arg(expected),
        size);
}

Outcome checkIndexed(const QByteArray &head, qint64 size, int leds, int lines)
{
    QString error;
    const auto header = IndexedHeader::parse(head, &error);
    if (!header)
        return EffectFileCheck::failure(EffectFileCheck::Unreadable, error, size);
    const qint64 expected = EffectFormat::kHeaderSize
                            + DataBitCalculation::ledDataLength(leds, lines) * header->recordCount;
    return lengthOutcome(size, expected, leds, lines);
}

Outcome checkSlotted(const QByteArray &head, qint64 size, int leds, int lines)
{
    const auto header = SlottedHeader::parse(head);
    if (!header)
        return EffectFileCheck::failure(EffectFileCheck::TooShort,
                                        QStringLiteral("%1 bytes").arg(size), size);
    const qint64 records = EffectFormat::kSlotCount + header->totalFrames();
    const qint64 expected = EffectFormat::kSlottedHeaderSize
                            + EffectFormat::tripleRecordLength(leds, lines) * records;
    return lengthOutcome(size, expected, leds, lines);
}

} // namespace

EffectFileCheck::Outcome EffectFileCheck::failure(Problem problem, const QString &detail,
                                                  qint64 size)
{
    Outcome outcome;
    outcome.problem = problem;
    outcome.detail = detail;
    outcome.size = size;
    return outcome;
}

EffectFileCheck::Outcome EffectFileCheck::check(const QString &path, int ledCount,
                                                int lineNumber)
{
    const QString problem = InputFileCheck::problem(path);
    if (problem == QLatin1String("no such file"))
        return failure(Missing, problem);
    if (!problem.isEmpty())
        return failure(CannotOpen, problem);
    if (ledCount < 1 || lineNumber < 1)
        return failure(WrongLength, QStringLiteral("invalid display geometry %1 x %2")
                                        .arg(ledCount).arg(lineNumber));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(CannotOpen, file.errorString());
    const qint64 size = file.size();
    if (size < EffectFormat::kSlottedHeaderSize)
        return failure(TooShort, QStringLiteral("%1 bytes").arg(size), size);
    const QByteArray head = file.read(EffectFormat::kHeaderSize);
    if (IndexedHeader::hasMagic(head))
        return checkIndexed(head, size, ledCount, lineNumber);
    const QString damage = IndexedHeader::damage(head);
    if (!damage.isEmpty())
        return failure(Unreadable, damage, size);
    return checkSlotted(head, size, ledCount, lineNumber);
}
