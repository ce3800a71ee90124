#pragma once

#include <QCoreApplication>

class PlaylistController;
class QWidget;

// Changing one number of the display geometry: asks for the LED count or the line number,
// and since all LED data in the playlists was made for the old geometry, empties both lists
// after a confirmation before the new number takes effect.
class GeometryChange
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    enum Dimension { LedCount, LineNumber };

    // Runs the dialog and the confirmation over window; true when the number changed (and
    // the playlists were emptied). Refused while the playlists may not be replaced.
    static bool ask(Dimension dimension, QWidget *window, PlaylistController &playlists);
};
