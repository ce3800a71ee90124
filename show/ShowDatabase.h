#pragma once

#include <QSqlDatabase>
#include <QString>

// One SQLite connection to one show file, for the thread that makes it. Qt's connections
// belong to the thread that opened them, so every save, load and look gets a connection of
// its own under a name used by nobody else, closed and removed again when this goes.
class ShowDatabase final
{
public:
    enum class Mode { ReadOnly, ReadWrite };

    ShowDatabase(const QString &path, Mode mode);
    ~ShowDatabase();
    Q_DISABLE_COPY_MOVE(ShowDatabase)

    bool isOpen() const { return opened; }
    // Why the connection could not be opened.
    QString errorText() const { return why; }
    QSqlDatabase &database() { return db; }

    // Runs one statement without results; false with errorText() set on failure.
    bool exec(const QString &statement);
    // The first column of the first row of a statement, or an invalid value.
    QVariant value(const QString &statement);

private:
    QString name;
    QSqlDatabase db;
    bool opened = false;
    QString why;
};
