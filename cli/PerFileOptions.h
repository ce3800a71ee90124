#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>

// Options that apply to the files after them (build --time 1.5 a.png --time 0.5 b.png):
// for every positional argument, the value each option had where that argument stands.
// The parser tells options from their values, so a value that looks like a file name is
// never taken for one.
//
// A value given after the last file applies to the files that no value came before, so
// the options of a command that names its files first (build a.png -o x.bin --time 2)
// keep their meaning.
class PerFileOptions
{
public:
    // arguments: the command's arguments as parser.parse() got them (program name first).
    // For every positional argument in order, the value of each of `options` that applies
    // to it (the option's default when none does). The parser is left as a parse of the
    // whole arguments leaves it.
    static QList<QStringList> valuesFor(QCommandLineParser &parser, const QStringList &arguments,
                                        const QList<QCommandLineOption> &options);
};
