#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

// One run of the hologram-cli built beside the test. A run that does not end within
// timeoutMs is killed and reported with exit code -1.
struct CliRun
{
    int exitCode = -1;
    QString out;
    QString err;

    static CliRun of(const QStringList &arguments, int timeoutMs = 60000,
                     const QProcessEnvironment &environment =
                         QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/hologram-cli"),
                      arguments);
        CliRun run;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.err = QString::fromLocal8Bit(process.readAllStandardError());
        return run;
    }
};
