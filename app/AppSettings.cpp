#include "app/AppSettings.h"

#include "app/AppGlobals.h"
#include "app/AppLog.h"
#include "app/LanguageTable.h"

#include <QDataStream>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSettings>

namespace {

const QString kLanguage = QStringLiteral("ui/language");
const QString kLedCount = QStringLiteral("display/led_count");
const QString kLineNumber = QStringLiteral("display/line_number");
// The key and words the sampling choice has always been kept under.
const QString kSampling = QStringLiteral("conversion/sampling");
const QString kSmooth = QStringLiteral("smooth");
const QString kSharp = QStringLiteral("sharp");
const QString kWindowGeometry = QStringLiteral("window/geometry");
const QString kWindowState = QStringLiteral("window/state");

constexpr int kDefaultLanguage = 3;  // en_US

// QWidget::saveGeometry() begins with this magic number and a major version (1 to 3 so far);
// QMainWindow::saveState() with the marker 0xff and the caller's version.
constexpr quint32 kGeometryMagic = 0x1D9D0CB;
constexpr quint16 kGeometryNewestMajor = 3;
constexpr qint32 kStateMarker = 0xff;

bool looksLikeGeometry(const QByteArray &blob)
{
    QDataStream stream(blob);
    quint32 magic = 0;
    quint16 major = 0;
    stream >> magic >> major;
    return stream.status() == QDataStream::Ok && magic == kGeometryMagic && major >= 1
           && major <= kGeometryNewestMajor;
}

bool looksLikeState(const QByteArray &blob)
{
    QDataStream stream(blob);
    qint32 marker = 0;
    qint32 version = 0;
    stream >> marker >> version;
    return stream.status() == QDataStream::Ok && marker == kStateMarker;
}

// Directories whose listing never ends or blocks: a file dialog opened there hangs.
bool isVirtualFileSystem(const QString &dir)
{
    for (const char *root : {"/proc", "/sys", "/dev"}) {
        const QString top = QLatin1String(root);
        if (dir == top || dir.startsWith(top + u'/'))
            return true;
    }
    return false;
}

// QSettings parses a file once per process and tells only the object that parsed it that it
// failed; later objects share the parsed remains. The files found damaged are remembered
// here by their size and time, for as long as they stay as they were.
struct FileVersion
{
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const FileVersion &) const = default;
};

QMutex damagedMutex;
QHash<QString, FileVersion> damagedFiles;

FileVersion versionOf(const QString &file)
{
    const QFileInfo info(file);
    return {info.size(), info.lastModified()};
}

} // namespace

AppSettings::AppSettings()
    : settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QLatin1String(Organisation),
                                           QLatin1String(Application)))
{
    checkReadable();
}

AppSettings::AppSettings(const QString &iniFile)
    : settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
    checkReadable();
}

AppSettings::~AppSettings() = default;

void AppSettings::checkReadable()
{
    // QSettings parses a section when it is first asked for; only a look at every section
    // makes status() tell a damaged file.
    settings->allKeys();
    const QString file = settings->fileName();
    {
        const QMutexLocker lock(&damagedMutex);
        if (settings->status() == QSettings::FormatError) {
            damagedFiles.insert(file, versionOf(file));
            damaged = true;
        } else if (const auto known = damagedFiles.constFind(file); known != damagedFiles.cend()) {
            damaged = *known == versionOf(file);
            if (!damaged)
                damagedFiles.remove(file);
        }
    }
    if (damaged)
        qCWarning(lcApp).noquote() << "#AppSettings# cannot parse" << settings->fileName()
                                   << "- every setting starts from its default";
}

QString AppSettings::fileName() const
{
    return settings->fileName();
}

QVariant AppSettings::read(const QString &key) const
{
    return damaged ? QVariant() : settings->value(key);
}

void AppSettings::write(const QString &key, const QVariant &value)
{
    if (damaged) {
        // The unreadable file is kept for whoever wants to look at it; the settings start
        // afresh rather than carry its debris along.
        const QString file = settings->fileName();
        const QString aside = file + QStringLiteral(".damaged");
        QFile::remove(aside);
        if (!QFile::copy(file, aside))
            qCWarning(lcApp).noquote() << "#AppSettings# cannot keep a copy of" << file;
        settings->clear();
        damaged = false;
        const QMutexLocker lock(&damagedMutex);
        damagedFiles.remove(file);
    }
    settings->setValue(key, value);
}

int AppSettings::boundedInt(const QString &key, int top, int fallback) const
{
    const QVariant value = read(key);
    bool ok = false;
    int number = 0;
    switch (value.typeId()) {
    case QMetaType::QString:
        number = value.toString().toInt(&ok);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        number = value.toInt(&ok);
        break;
    default:
        break;
    }
    return ok && number >= 1 && number <= top ? number : fallback;
}

int AppSettings::languageCode() const
{
    const QVariant value = read(kLanguage);
    if (value.typeId() != QMetaType::QString)
        return kDefaultLanguage;
    const Language *language = LanguageTable::byName(value.toString());
    return language ? language->code : kDefaultLanguage;
}

void AppSettings::setLanguageCode(int code)
{
    if (const Language *language = LanguageTable::byCode(code))
        write(kLanguage, QString::fromLatin1(language->name));
}

int AppSettings::ledCount() const
{
    return boundedInt(kLedCount, kMaxLedCount, kDefaultLedCount);
}

int AppSettings::lineNumber() const
{
    return boundedInt(kLineNumber, kMaxLineNumber, kDefaultLineNumber);
}

void AppSettings::setDisplayGeometry(int leds, int lines)
{
    if (leds >= 1 && leds <= kMaxLedCount)
        write(kLedCount, leds);
    if (lines >= 1 && lines <= kMaxLineNumber)
        write(kLineNumber, lines);
}

bool AppSettings::smoothSampling() const
{
    const QVariant value = read(kSampling);
    return value.typeId() == QMetaType::QString && value.toString() == kSmooth;
}

void AppSettings::setSmoothSampling(bool smooth)
{
    write(kSampling, smooth ? kSmooth : kSharp);
}

QByteArray AppSettings::windowGeometry() const
{
    const QVariant value = read(kWindowGeometry);
    if (value.typeId() != QMetaType::QByteArray || !looksLikeGeometry(value.toByteArray()))
        return {};
    return value.toByteArray();
}

QByteArray AppSettings::windowState() const
{
    const QVariant value = read(kWindowState);
    if (value.typeId() != QMetaType::QByteArray || !looksLikeState(value.toByteArray()))
        return {};
    return value.toByteArray();
}

void AppSettings::setWindowGeometry(const QByteArray &geometry)
{
    if (looksLikeGeometry(geometry))
        write(kWindowGeometry, geometry);
}

void AppSettings::setWindowState(const QByteArray &state)
{
    if (looksLikeState(state))
        write(kWindowState, state);
}

QString AppSettings::folderKey(Folder dialog)
{
    switch (dialog) {
    case Folder::Pictures:
        return QStringLiteral("folders/pictures");
    case Folder::Video:
        return QStringLiteral("folders/video");
    case Folder::Gif:
        return QStringLiteral("folders/gif");
    case Folder::DownloadLocal:
        return QStringLiteral("folders/download_local");
    case Folder::DiySave:
        return QStringLiteral("folders/diy_save");
    }
    return QStringLiteral("folders/other");
}

QString AppSettings::lastFolder(Folder dialog, const QString &fallback) const
{
    const QVariant value = read(folderKey(dialog));
    if (value.typeId() != QMetaType::QString)
        return fallback;
    const QString dir = value.toString();
    if (dir.isEmpty() || !QDir::isAbsolutePath(dir) || !QFileInfo(dir).isDir())
        return fallback;
    const QString clean = QDir::cleanPath(dir);
    return isVirtualFileSystem(clean) ? fallback : clean;
}

void AppSettings::setLastFolder(Folder dialog, const QString &path)
{
    if (path.isEmpty())
        return;
    const QFileInfo info(path);
    const QString dir = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    write(folderKey(dialog), QDir::cleanPath(dir));
}
