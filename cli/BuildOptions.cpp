#include "cli/BuildOptions.h"

#include <QCommandLineParser>

BuildOptions::BuildOptions()
    : output({QStringLiteral("o"), QStringLiteral("output")}, QStringLiteral("effect file"),
             QStringLiteral("OUT")),
      lang(QStringLiteral("lang"), QStringLiteral("language byte"), QStringLiteral("LANG"),
           QStringLiteral("en_US")),
      time(QStringLiteral("time"), QStringLiteral("display time"), QStringLiteral("SECONDS"),
           QStringLiteral("5")),
      loops(QStringLiteral("loops"), QStringLiteral("clip loops"), QStringLiteral("N"),
            QStringLiteral("1")),
      smooth(QStringLiteral("smooth"), QStringLiteral("smooth sampling")),
      gifTiming(QStringLiteral("gif-timing"), QStringLiteral("GIFs keep their own speed"))
{
}

void BuildOptions::addTo(QCommandLineParser &parser)
{
    parser.addOptions({output, lang, time, loops, smooth, gifTiming});
    geometry.addTo(parser);
    video.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("pictures, GIFs and videos"));
}
