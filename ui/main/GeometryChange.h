#pragma once

#include <QCoreApplication>

#include <functional>

class PlaylistController;
class QWidget;

// Changing one number of the display geometry: asks for the LED count or the line number.
// All LED data in the playlists was made for the old geometry, so a non-empty playlist is
// either converted for the new one from the items' sources (under a busy dialog; items
// without a source are removed once the user agrees), or emptied, or the change is
// cancelled. The new number takes effect only once the lists suit it.
class GeometryChange
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    enum Dimension { LedCount, LineNumber };

    enum class Answer { Convert, Clear, RemoveUnconvertible, Cancel };
    // What the user is asked: what to do with the lists (Convert / Clear / Cancel), or,
    // when some items cannot be converted, whether to remove them (RemoveUnconvertible /
    // Cancel).
    struct Question
    {
        enum Kind { Lists, Unconvertible };
        Kind kind = Lists;
        Dimension dimension = LedCount;
        int from = 0;
        int to = 0;
        // Lists: the items in the lists; Unconvertible: those without a source.
        int pictures = 0;
        int clips = 0;
    };

    // Runs the dialog and the questions over window; true when the number changed (and
    // the lists were converted or emptied). Refused while the lists may not be replaced.
    static bool ask(Dimension dimension, QWidget *window, PlaylistController &playlists);
    // The same once value has been entered.
    static bool change(Dimension dimension, int value, QWidget *window,
                       PlaylistController &playlists);

    // Seam for tests: answers the questions instead of the message boxes (none: the boxes).
    static void setAnswerer(std::function<Answer(const Question &)> answerer);

private:
    static Answer put(const Question &question, QWidget *window);
};
