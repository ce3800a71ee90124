#pragma once

#include <memory>

class QTranslator;
struct Language;

// The two translators of the active language, the program's texts and Qt's own (standard
// buttons and the like), installed in the application. A language is taken whole or not at
// all: its catalogues are loaded aside first, and when one of them does not load the failure
// is logged and the previous language stays installed, so no raw key reaches the screen.
class LanguageSwitcher
{
public:
    LanguageSwitcher();
    // Removes the translators from the application.
    ~LanguageSwitcher();
    LanguageSwitcher(const LanguageSwitcher &) = delete;
    LanguageSwitcher &operator=(const LanguageSwitcher &) = delete;

    // Loads and installs the catalogues of language (paths in UTF-8); English has no Qt
    // catalogue, so Qt's
    // built-in English comes back. False (nothing changed) when a catalogue cannot be loaded.
    bool switchTo(const Language &language);
    // languageCode of the installed language, 0 before the first switch.
    int activeCode() const { return active; }
    const QTranslator *programTranslator() const { return program.get(); }
    const QTranslator *toolkitTranslator() const { return toolkit.get(); }

private:
    static std::unique_ptr<QTranslator> load(const char *path);
    void uninstall();

    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> toolkit;
    int active = 0;
};
