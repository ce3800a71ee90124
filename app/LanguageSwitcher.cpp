#include "app/LanguageSwitcher.h"

#include "app/AppLog.h"
#include "app/LanguageTable.h"

#include <QCoreApplication>
#include <QDebug>
#include <QTranslator>

LanguageSwitcher::LanguageSwitcher() = default;

LanguageSwitcher::~LanguageSwitcher()
{
    uninstall();
}

std::unique_ptr<QTranslator> LanguageSwitcher::load(const char *path)
{
    auto translator = std::make_unique<QTranslator>();
    // A catalogue that loads but holds nothing would show raw keys just the same.
    if (!translator->load(QString::fromUtf8(path)) || translator->isEmpty()) {
        qCWarning(lcApp).noquote() << "#LanguageSwitcher# catalogue failed to load:"
                                   << QString::fromUtf8(path);
        return nullptr;
    }
    return translator;
}

bool LanguageSwitcher::switchTo(const Language &language)
{
    std::unique_ptr<QTranslator> newProgram = load(language.catalogue);
    if (!newProgram)
        return false;
    std::unique_ptr<QTranslator> newToolkit;
    if (*language.qtCatalogue) {
        newToolkit = load(language.qtCatalogue);
        if (!newToolkit)
            return false;
    }
    uninstall();
    program = std::move(newProgram);
    toolkit = std::move(newToolkit);
    QCoreApplication::installTranslator(program.get());
    if (toolkit)
        QCoreApplication::installTranslator(toolkit.get());
    active = language.code;
    return true;
}

void LanguageSwitcher::uninstall()
{
    if (program)
        QCoreApplication::removeTranslator(program.get());
    if (toolkit)
        QCoreApplication::removeTranslator(toolkit.get());
}
