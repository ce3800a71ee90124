#pragma once

#include <QByteArray>

// One picture or clip frame as an effect file holds it, before any item is made of it.
struct EffectRecord
{
    // Slotted files hold LED colour triples (green, red, blue); indexed files LED data.
    enum class Form { ColourTriples, LedData };

    int number = 0;           // picture: its number in the playlist; frame: 1, 2, ... in its clip
    double displayTime = 0.0; // seconds
    Form form = Form::LedData;
    QByteArray bytes;         // exactly one record of the file's layout and geometry
};
