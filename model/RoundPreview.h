#pragma once

#include <QByteArray>
#include <QImage>

class ImageObject;

// Draws LED colour triples (line-major, outermost LED first, bytes green, red, blue) back
// into a round size x size picture the way the display shows them (drive values turned back
// through the colour table, ColourTableInverse), and stores it as the
// item's sampling preview "%1_2.png". The geometry is the process-wide ledCount and
// lineNumber. A short block draws as far as it has complete triples.
void renderRoundPreview(ImageObject *item, int size, const QByteArray &triples);

// The same picture, for an explicit geometry, without touching any file.
QImage roundPreviewImage(int size, const QByteArray &triples, int ledCount, int lineNumber);
