#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QLockFile>
#include <QString>

#include <memory>

// The recovery copies of shows in one folder (by default the user's data location +
// "/recovery"). Every running instance owns one copy "<uuid>.hdshow" and holds the lock
// "<uuid>.hdshow.lock" from before the copy is first written until it has been removed, so
// two instances never share a copy, and a copy whose owner has gone without cleaning up
// (killed, crashed: its lock is stale) is told from one still in use.
//
// An orphaned copy is claimed (its lock taken over) when it is listed, so a second instance
// starting at the same moment does not offer it as well; it stays claimed until removed or
// until this store goes, and then waits for a later start.
class RecoveryStore final
{
public:
    struct Copy
    {
        QString path;
        // The copy's last save.
        QDateTime savedAt;
    };

    // directory: the folder of the copies; empty for defaultDirectory(). Makes the folder
    // and takes this instance's lock.
    explicit RecoveryStore(const QString &directory = QString());
    // The end: this instance's copy goes (unless kept) with its lock; claimed orphans are
    // let go.
    ~RecoveryStore();
    Q_DISABLE_COPY_MOVE(RecoveryStore)

    static QString defaultDirectory();
    static constexpr const char *LockSuffix = ".lock";

    // False when the folder could not be made or the lock not taken: no copy is written.
    bool isValid() const { return valid; }
    QString errorString() const { return error; }
    QString directory() const { return folder; }
    // Where this instance's copy is written.
    QString copyPath() const { return own; }

    // Copies of instances that are gone, newest first; each is claimed until removed.
    // Leftovers of a first save that never finished (no copy beside them) are removed.
    QList<Copy> claimOrphans();
    // Removes a claimed copy with its journal, leftovers and lock; true when nothing of it
    // stays. Never removes this instance's own copy or one another instance holds.
    bool remove(const QString &path);
    // Takes a claimed copy over as this instance's own (its show has been restored, so it
    // is what the own copy would hold): renamed into place, the rest of it removed. False
    // when it could not be; the copy is then removed.
    bool adopt(const QString &path);
    // Removes this instance's copy (the show has been saved, or the instance ends); the
    // lock stays while the instance runs.
    void removeOwnCopy();
    // The end was not the user's choice (the session ended): the copy stays for the next
    // start, which finds it without an owner.
    void keepOwnCopy() { keep = true; }

private:
    // Every file of the copy at path but its lock: the copy, its journal, unfinished saves.
    static QStringList filesOf(const QString &path);

    QString folder;
    QString own;
    QString error;
    bool valid = false;
    bool keep = false;
    std::unique_ptr<QLockFile> lock;
    QHash<QString, std::shared_ptr<QLockFile>> claimed;
};
