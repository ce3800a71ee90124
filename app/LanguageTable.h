#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <span>

// The four interface languages in one table: the process-wide languageCode, the name the
// command line and the trace use, the byte an effect file stores, and the catalogues loaded
// for it (the program's own and Qt's, at their resource paths).
struct Language
{
    int code;                 // languageCode: 1 zh_CN, 2 zh_HK, 3 en_US, 4 jp
    const char *name;         // "zh_CN", "zh_HK", "en_US", "jp"
    quint8 fileByte;          // the effect file's language byte
    const char *catalogue;    // ":/ts/translate_<name>.qm"
    const char *qtCatalogue;  // Qt's own texts, empty for English
    const char *locale;       // how dates and times are written in it
};

class LanguageTable
{
public:
    static std::span<const Language> all();
    // Null for 0 (no language loaded yet) and unknown codes.
    static const Language *byCode(int code);
    // Null for unknown names.
    static const Language *byName(QStringView name);
    // The file byte of a code; 0x00 for none or an unknown code.
    static quint8 fileByte(int code);
    // The locale the interface language writes dates in; the system's for an unknown code,
    // so that a text never mixes the chosen language with the system's.
    static QLocale locale(int code);
    // The names a file byte stands for ("zh_CN/zh_HK"), "none" for 0x00, empty if unknown.
    static QString namesOfFileByte(quint8 byte);
};
