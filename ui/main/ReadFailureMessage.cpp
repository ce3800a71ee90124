#include "ui/main/ReadFailureMessage.h"

#include <QDir>
#include <QSize>

QString ReadFailureMessage::text(const EffectFileCheck::Outcome &outcome, const QString &path,
                                 const QSize &geometry, bool factory)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (outcome.problem) {
    case EffectFileCheck::None:
        return {};
    case EffectFileCheck::Missing:
        return factory ? tr("dialog_title_not_find_default") : tr("dialog_title_preview_error1");
    case EffectFileCheck::CannotOpen:
        return tr("dialog_title_read_cannot_open").arg(shown, outcome.detail);
    case EffectFileCheck::TooShort:
        return tr("dialog_title_read_too_short").arg(shown).arg(outcome.size);
    case EffectFileCheck::WrongLength:
        return tr("dialog_title_read_wrong_length")
            .arg(shown).arg(geometry.width()).arg(geometry.height());
    case EffectFileCheck::Unreadable:
        return tr("dialog_title_read_damaged").arg(shown, outcome.detail);
    }
    return {};
}
