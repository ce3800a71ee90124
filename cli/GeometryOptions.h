#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>

// The --leds N and --lines L options shared by the effect commands.
class GeometryOptions
{
public:
    GeometryOptions();
    void addTo(QCommandLineParser &parser) const;
    // Reads both values; false with *error set when one is out of range.
    bool read(const QCommandLineParser &parser, int *leds, int *lines, QString *error) const;

private:
    QCommandLineOption leds;
    QCommandLineOption lines;
};
