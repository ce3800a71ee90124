#pragma once

#include <QCoreApplication>

#include <functional>

class PlaylistController;
class PlaylistConversion;
class ProgressDialog;
class QWidget;

// Runs a playlist conversion (new geometry or sampling) off the GUI thread under a busy
// dialog with progress, and swaps the new items into both lists only when every one
// succeeded. Cancel or a failure leaves the lists exactly as they were.
class ConversionRun final
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)
public:
    enum class Result { Converted, Cancelled, Failed, Refused };

    // conversion: made from the lists' items a moment ago, on the GUI thread. Refused (and
    // said why) while the playlist's lock rule forbids replacing the lists; a failure is
    // told in a box over window and its reason left in *error.
    static Result run(PlaylistConversion &conversion, QWidget *window,
                      PlaylistController &playlists, QString *error = nullptr);

    // Seam for tests: called on the GUI thread with the busy dialog after each progress step
    // (done of total), as the user sees it; may reject the dialog as Cancel does.
    static void setProgressHook(std::function<void(ProgressDialog *, int done, int total)> hook);
};
