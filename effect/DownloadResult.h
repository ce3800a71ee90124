#pragma once

#include <QString>
#include <QtGlobal>

// Outcome of writing an effect file. A failure always carries a reason for the user, and
// an existing file at the target is then left as it was.
struct DownloadResult
{
    bool ok = false;
    QString path;          // the target path
    QString error;         // empty on success
    qint64 bytesWritten = 0;

    static DownloadResult success(const QString &path, qint64 bytes)
    {
        return {true, path, QString(), bytes};
    }
    static DownloadResult failure(const QString &path, const QString &reason)
    {
        return {false, path, reason, 0};
    }
};
