#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// What the program keeps between runs, read and checked in one place. Every value that is
// missing, of the wrong type, out of range or unknown reads as its default on its own; a file
// that cannot be parsed at all is not read, and the first change writes a fresh file (the
// damaged one is kept beside it as "<name>.damaged"). Values are written at once.
//
// The store is the user's "HologramDisplay/HologramDisplay" settings in QSettings' native place
// (where the sampling mode has always been kept), or an explicit INI file.
class AppSettings
{
public:
    // The file dialogs that start where the user last was, each with a key of its own.
    enum class Folder { Pictures, Video, Gif, DownloadLocal, DiySave };

    static inline const char *const Organisation = "HologramDisplay";
    static inline const char *const Application = "HologramDisplay";

    AppSettings();
    explicit AppSettings(const QString &iniFile);
    ~AppSettings();
    AppSettings(const AppSettings &) = delete;
    AppSettings &operator=(const AppSettings &) = delete;

    // The file could not be parsed: nothing of it is read.
    bool isDamaged() const { return damaged; }
    QString fileName() const;

    // languageCode of the stored language (stored by its name, "en_US"); English (3) by default.
    int languageCode() const;
    // Unknown codes are not stored.
    void setLanguageCode(int code);

    // The display geometry; each number on its own falls back to its default outside
    // 1 .. its maximum.
    int ledCount() const;
    int lineNumber() const;
    void setDisplayGeometry(int leds, int lines);

    // Smooth sampling chosen; sharp by default.
    bool smoothSampling() const;
    void setSmoothSampling(bool smooth);

    // The window's saveGeometry() and saveState() blobs; empty when missing or not such a
    // blob. The window still checks that restoring them succeeds.
    QByteArray windowGeometry() const;
    QByteArray windowState() const;
    void setWindowGeometry(const QByteArray &geometry);
    void setWindowState(const QByteArray &state);

    // The folder the dialog was last used in: an existing absolute directory, else fallback.
    QString lastFolder(Folder dialog, const QString &fallback) const;
    // Stores the folder of path (a directory is taken as it is, a file by its folder).
    void setLastFolder(Folder dialog, const QString &path);
    static QString folderKey(Folder dialog);

private:
    QVariant read(const QString &key) const;
    void write(const QString &key, const QVariant &value);
    int boundedInt(const QString &key, int top, int fallback) const;
    void checkReadable();

    std::unique_ptr<QSettings> settings;
    bool damaged = false;
};
