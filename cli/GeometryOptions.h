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
    // When neither option was given and the slotted file at path does not fit *leds x *lines
    // but fits exactly one other known display (36 x 360 of the factory file, 112 x 430):
    // switches to that one and returns a note saying so; empty otherwise.
    QString adoptFittingGeometry(const QCommandLineParser &parser, const QString &path,
                                 int *leds, int *lines) const;

private:
    QCommandLineOption leds;
    QCommandLineOption lines;
};
