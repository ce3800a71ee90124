#pragma once

#include "model/SamplingMode.h"

#include <QCoreApplication>

#include <functional>

class PlaylistController;
class SamplingChoice;
class QWidget;

// After the sampling choice changed: offers to convert the pictures and clip frames already
// in the lists to the new mode from their sources (Convert / Keep as they are), so that one
// show does not silently mix both. Items without a source keep their sampling. A cancelled
// conversion takes the choice back as well: nothing changes.
class SamplingSwitch
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    enum class Answer { Convert, Keep };
    struct Question
    {
        SamplingMode mode = SamplingMode::Sharp;
        // Pictures and clip frames the conversion would convert, and those without a source
        // that keep their sampling.
        int toConvert = 0;
        int withoutSource = 0;
    };

    // True when items were converted.
    static bool offer(SamplingMode mode, QWidget *window, PlaylistController &playlists,
                      SamplingChoice &choice);

    // Seam for tests: answers the question instead of the message box (none: the box).
    static void setAnswerer(std::function<Answer(const Question &)> answerer);

private:
    static Answer put(const Question &question, QWidget *window);
};
