#include "cli/PerFileOptions.h"

#include <QHash>

namespace {

// The values given for an option; values() would answer the defaults for none.
QStringList givenValues(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    return parser.isSet(option) ? parser.values(option) : QStringList();
}

// Whether the option named name (as it stood, "-x" or "--name") takes a value: the parser
// itself says so, as it misses the value when the option stands alone.
class ValueTaking
{
public:
    ValueTaking(QCommandLineParser &parser, const QString &program)
        : parser(parser), program(program) {}

    bool operator()(const QString &dashedName)
    {
        const auto known = answers.constFind(dashedName);
        if (known != answers.cend())
            return *known;
        const bool takes = !parser.parse({program, dashedName});
        answers.insert(dashedName, takes);
        return takes;
    }

private:
    QCommandLineParser &parser;
    const QString program;
    QHash<QString, bool> answers;
};

} // namespace

QList<QStringList> PerFileOptions::valuesFor(QCommandLineParser &parser,
                                             const QStringList &arguments,
                                             const QList<QCommandLineOption> &options)
{
    if (arguments.isEmpty())
        return {};
    // One walk over the arguments, as the parser reads them: "--" ends the options, "--name"
    // and "--name=value" are long options, "-abc" compacted short options of which the first
    // that takes a value takes the rest of the word or the next argument, "-" alone and
    // every other word is a file. For every file, how many values of each option came
    // before it.
    ValueTaking takesValue(parser, arguments.first());
    auto optionIndex = [&options](const QString &name) {
        for (qsizetype k = 0; k < options.size(); ++k) {
            if (options[k].names().contains(name))
                return k;
        }
        return qsizetype(-1);
    };
    QList<qsizetype> counts(options.size(), 0);
    QList<QList<qsizetype>> before;
    bool onlyFiles = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (onlyFiles || word == QLatin1String("-") || !word.startsWith(QLatin1Char('-'))) {
            before.append(counts);
            continue;
        }
        if (word == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        if (word.startsWith(QLatin1String("--"))) {
            const qsizetype equals = word.indexOf(QLatin1Char('='));
            const QString name = word.mid(2, equals < 0 ? -1 : equals - 2);
            if (const qsizetype k = optionIndex(name); k >= 0)
                ++counts[k];
            if (equals < 0 && takesValue(QStringLiteral("--") + name))
                ++i;
            continue;
        }
        for (qsizetype c = 1; c < word.size(); ++c) {
            const QString name(word[c]);
            if (const qsizetype k = optionIndex(name); k >= 0)
                ++counts[k];
            if (takesValue(QStringLiteral("-") + name)) {
                if (c + 1 == word.size())
                    ++i;
                break;
            }
        }
    }
    parser.parse(arguments);

    QList<QStringList> given;
    for (const QCommandLineOption &option : options)
        given << givenValues(parser, option);
    // The walk must agree with the parser; when it does not, nobody can tell.
    if (before.size() != parser.positionalArguments().size())
        return {};
    for (qsizetype k = 0; k < options.size(); ++k) {
        if (counts[k] != given[k].size())
            return {};
    }

    QList<QStringList> result;
    result.reserve(before.size());
    for (const QList<qsizetype> &at : std::as_const(before)) {
        QStringList values;
        for (qsizetype k = 0; k < options.size(); ++k) {
            const qsizetype trailing = before.last()[k];
            if (at[k] > 0)
                values << given[k][at[k] - 1];
            else if (given[k].size() > trailing)
                values << given[k].last();
            else
                values << options[k].defaultValues().value(0);
        }
        result.append(values);
    }
    return result;
}
