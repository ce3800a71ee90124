#pragma once

#include "app/AppGlobals.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTranslator>

#include <memory>

// What several test programs set up alike.
namespace TestEnvironment {

// Texts users see are compared in English: installs the English catalogue once per
// process. False when it is not in the resources.
inline bool installEnglishTexts()
{
    static QTranslator english;
    static const bool loaded = english.load(QStringLiteral(":/ts/translate_en_US.qm"))
                               && QCoreApplication::installTranslator(&english);
    return loaded;
}

// A new temporary folder as the program's start directory, every global reset to its
// start-up value: each test function begins with an empty work directory.
inline bool enterFreshDirectory(std::unique_ptr<QTemporaryDir> &dir)
{
    dir = std::make_unique<QTemporaryDir>();
    if (!dir->isValid())
        return false;
    initAppGlobals(dir->path());
    return true;
}

} // namespace TestEnvironment
