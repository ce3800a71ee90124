#include "ui/main/LanguageButtons.h"

#include "app/AppGlobals.h"
#include "app/LanguageTable.h"
#include "ui/UiLog.h"

#include <QDebug>
#include <QPushButton>
#include <QWidget>

namespace {

// "zh_CN" -> "ZhCn", "jp" -> "Jp".
QString camelName(const Language &language)
{
    QString camel;
    for (const QString &part : QString::fromLatin1(language.name).split(u'_')) {
        if (!part.isEmpty())
            camel += part.left(1).toUpper() + part.mid(1).toLower();
    }
    return camel;
}

} // namespace

LanguageButtons::LanguageButtons(QWidget *window, QObject *parent) : QObject(parent)
{
    for (const Language &language : LanguageTable::all()) {
        auto *button = window->findChild<QPushButton *>(QStringLiteral("btn") + camelName(language));
        if (!button)
            continue;
        entries.append({&language, button});
        connect(button, &QPushButton::clicked, this, [this, code = language.code] { choose(code); });
    }
}

void LanguageButtons::choose(int code)
{
    const Language *language = LanguageTable::byCode(code);
    if (language)
        qCDebug(lcUi).noquote() << QStringLiteral("onBtn%1Click").arg(camelName(*language));
    // A catalogue that does not load leaves the previous language in place.
    if (languageCode != code && language && switcher.switchTo(*language)) {
        languageCode = code;
        emit switched();
    }
    // A click has toggled its button; only the active language's stays checked.
    checkActive();
}

void LanguageButtons::checkActive()
{
    for (const Entry &entry : std::as_const(entries))
        entry.button->setChecked(entry.language->code == languageCode);
}
