#include "show/ShowDatabase.h"

#include <QSqlError>
#include <QSqlQuery>

#include <atomic>
#include <mutex>

namespace {
std::atomic<quint64> nextConnection{1};

// Qt keeps every thread's connections in one registry behind a lock of its own. Savers on
// different threads add and remove theirs one at a time, so that lock is never contended:
// its contended path runs inside uninstrumented Qt, where ThreadSanitizer misreads it.
std::mutex &registryMutex()
{
    static std::mutex mutex;
    return mutex;
}
} // namespace

ShowDatabase::ShowDatabase(const QString &path, Mode mode)
    : name(QStringLiteral("hologram-show-%1").arg(nextConnection.fetch_add(1)))
{
    {
        const std::lock_guard lock(registryMutex());
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    }
    if (!db.isValid()) {
        why = QStringLiteral("the SQLite driver of Qt SQL (QSQLITE) is not installed");
        return;
    }
    db.setDatabaseName(path);
    // A busy file (another saver of the same show) is waited for a while, not failed at once.
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");
    if (mode == Mode::ReadOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    opened = db.open();
    if (!opened)
        why = db.lastError().text();
}

ShowDatabase::~ShowDatabase()
{
    if (db.isValid())
        db.close();
    // The handle must be gone before the connection is removed.
    db = QSqlDatabase();
    const std::lock_guard lock(registryMutex());
    QSqlDatabase::removeDatabase(name);
}

bool ShowDatabase::exec(const QString &statement)
{
    QSqlQuery query(db);
    if (query.exec(statement))
        return true;
    why = query.lastError().text();
    return false;
}

QVariant ShowDatabase::value(const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next()) {
        why = query.lastError().text();
        return {};
    }
    return query.value(0);
}
