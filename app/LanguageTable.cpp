#include "app/LanguageTable.h"

#include <QStringList>

#include <array>

namespace {
// Both Chinese variants share a byte; Japanese has none of its own in the file.
constexpr std::array<Language, 4> kLanguages{{
    {1, "zh_CN", 0x11, ":/ts/translate_zh_CN.qm", ":/ts/qt_zh_CN.qm", "zh_CN"},
    {2, "zh_HK", 0x11, ":/ts/translate_zh_HK.qm", ":/ts/qt_zh_TW.qm", "zh_HK"},
    {3, "en_US", 0x22, ":/ts/translate_en_US.qm", "", "en_US"},
    {4, "jp", 0x00, ":/ts/translate_jp.qm", ":/ts/qt_ja.qm", "ja_JP"},
}};
} // namespace

std::span<const Language> LanguageTable::all()
{
    return kLanguages;
}

const Language *LanguageTable::byCode(int code)
{
    for (const Language &language : kLanguages) {
        if (language.code == code)
            return &language;
    }
    return nullptr;
}

const Language *LanguageTable::byName(QStringView name)
{
    for (const Language &language : kLanguages) {
        if (name == QLatin1String(language.name))
            return &language;
    }
    return nullptr;
}

QLocale LanguageTable::locale(int code)
{
    const Language *language = byCode(code);
    return language ? QLocale(QLatin1String(language->locale)) : QLocale::system();
}

quint8 LanguageTable::fileByte(int code)
{
    const Language *language = byCode(code);
    return language ? language->fileByte : 0x00;
}

QString LanguageTable::namesOfFileByte(quint8 byte)
{
    if (byte == 0x00)
        return QStringLiteral("none");
    QStringList names;
    for (const Language &language : kLanguages) {
        if (language.fileByte == byte)
            names << QLatin1String(language.name);
    }
    return names.join(u'/');
}
