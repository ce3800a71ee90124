#include "cli/PerFileOptions.h"

namespace {

// The values given for an option; values() would answer the defaults for none.
QStringList givenValues(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    return parser.isSet(option) ? parser.values(option) : QStringList();
}

// How many values of each option a parse holds.
QList<qsizetype> valueCounts(const QCommandLineParser &parser,
                             const QList<QCommandLineOption> &options)
{
    QList<qsizetype> counts;
    for (const QCommandLineOption &option : options)
        counts << givenValues(parser, option).size();
    return counts;
}

} // namespace

QList<QStringList> PerFileOptions::valuesFor(QCommandLineParser &parser,
                                             const QStringList &arguments,
                                             const QList<QCommandLineOption> &options)
{
    // For every positional argument, how many values of each option came before it.
    // Growing prefixes: a prefix that ends in an option waiting for its value does not
    // parse, and one more positional argument appears exactly where one stands (the
    // argument that made it cannot have changed an option).
    QList<QList<qsizetype>> before;
    for (qsizetype end = 1; end <= arguments.size(); ++end) {
        if (!parser.parse(arguments.mid(0, end)))
            continue;
        const QList<qsizetype> counts = valueCounts(parser, options);
        while (before.size() < parser.positionalArguments().size())
            before.append(counts);
    }
    parser.parse(arguments);

    QList<QStringList> result;
    for (const QList<qsizetype> &counts : std::as_const(before)) {
        QStringList values;
        for (qsizetype k = 0; k < options.size(); ++k) {
            const QStringList given = givenValues(parser, options[k]);
            const qsizetype trailing = before.last()[k];
            if (counts[k] > 0)
                values << given[counts[k] - 1];
            else if (given.size() > trailing)
                values << given.last();
            else
                values << options[k].defaultValues().value(0);
        }
        result.append(values);
    }
    return result;
}
