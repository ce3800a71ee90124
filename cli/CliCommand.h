#pragma once

#include "app/AppGlobals.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

// One sub-command of hologram-cli. main.cpp holds the table of commands; each command
// parses its own arguments.
class CliCommand
{
public:
    virtual ~CliCommand() = default;
    virtual QString name() const = 0;
    // Usage line and description for --help.
    virtual QString help() const = 0;
    // arguments: everything after the command name. Returns the process exit code;
    // errors are reported as one line on stderr.
    virtual int run(const QStringList &arguments) = 0;
    // Whether this command takes these arguments; two commands of one name (build of files,
    // build of a show) tell them apart here.
    virtual bool accepts(const QStringList &arguments) const
    {
        Q_UNUSED(arguments);
        return true;
    }

    // Reads text as a whole number from low to high into *value.
    static bool readWholeNumber(const QString &text, int low, int high, int *value)
    {
        bool ok = false;
        *value = text.toInt(&ok);
        return ok && *value >= low && *value <= high;
    }

protected:
    // Reports message on stderr as "hologram-cli NAME: message"; returns the exit code 1.
    int fail(const QString &message) const
    {
        QTextStream(stderr) << "hologram-cli " << name() << ": " << message << Qt::endl;
        return 1;
    }

    // The command's arguments with a program name in front, as QCommandLineParser::parse()
    // wants them.
    static QStringList withProgramName(const QStringList &arguments)
    {
        return QStringList{QStringLiteral("hologram-cli")} + arguments;
    }

    // Points the core's work directory at work (items keep their files there; removed with
    // work) and sets the display geometry. False when work could not be created.
    static bool enterWorkDirectory(const QTemporaryDir &work, int leds, int lines)
    {
        if (!work.isValid())
            return false;
        initAppGlobals(work.path());
        ledCount = leds;
        lineNumber = lines;
        return true;
    }
};
