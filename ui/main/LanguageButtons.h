#pragma once

#include "app/LanguageSwitcher.h"

#include <QList>
#include <QObject>

class QPushButton;
class QWidget;
struct Language;

// The toolbar's language buttons, one per entry of the language table: button "btn" and
// slot "onBtn" + "Click" around the language's name in camel case ("zh_CN": btnZhCn,
// onBtnZhCnClick). A click switches the program's and Qt's catalogues (LanguageSwitcher)
// and languageCode; afterwards only the active language's button is checked.
class LanguageButtons : public QObject
{
    Q_OBJECT
public:
    // Finds the buttons among window's children and connects their clicks.
    explicit LanguageButtons(QWidget *window, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(LanguageButtons)

    // The language of code (1 zh_CN ... 4 jp), traced with its slot's name. Nothing happens
    // for the active language or when a catalogue does not load (the previous one stays).
    void choose(int code);

signals:
    // Another language has been installed: the window's texts follow.
    void switched();

private:
    struct Entry
    {
        const Language *language;
        QPushButton *button;
    };
    void checkActive();

    LanguageSwitcher switcher;
    QList<Entry> entries;
};
