#pragma once

#include <QString>
#include <QStringList>

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
};
