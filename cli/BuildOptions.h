#pragma once

#include "cli/GeometryOptions.h"
#include "cli/VideoOptions.h"

#include <QCommandLineOption>

class QCommandLineParser;

// The options of the build command, in one place for the command and its fuzz target, so the
// options fuzzed are the options the command parses.
struct BuildOptions
{
    BuildOptions();

    // Adds every option and the FILE argument to parser.
    void addTo(QCommandLineParser &parser);

    const QCommandLineOption output;
    const QCommandLineOption lang;
    const QCommandLineOption time;
    const QCommandLineOption loops;
    const QCommandLineOption smooth;
    const QCommandLineOption gifTiming;
    const GeometryOptions geometry;
    VideoOptions video;
};
