#pragma once

#include <QMutex>
#include <QString>
#include <atomic>

// Process-wide values shared by every subsystem. Each start begins from these defaults; the
// program then takes the display geometry and the language of the last run from AppSettings.

// Display geometry: LEDs along the blade's radius and angular lines per turn. Written only
// on the GUI thread while no conversion runs; read by conversion threads.
extern std::atomic<int> ledCount;
extern std::atomic<int> lineNumber;

inline constexpr int kDefaultLedCount = 112;
inline constexpr int kDefaultLineNumber = 430;
inline constexpr int kMaxLedCount = 500;
inline constexpr int kMaxLineNumber = 600;

// Directory the program was started in; the work directory lies beneath it.
extern QString appDirectory;
// Start location of the open-file dialogs.
extern QString lastBrowseDirectory;
// 0 none loaded yet, 1 zh_CN, 2 zh_HK, 3 en_US, 4 jp.
extern std::atomic<int> languageCode;

// Id source of picture items; items are created on several import threads at once.
extern std::atomic<int> nextItemId;

// Counters naming the temporary files importers place in the work directory. Each starts
// at 1 and is never reset during a run.
extern std::atomic<int> imageCopyCounter;  // "image_" + n + "." + suffix
extern std::atomic<int> diyCounter;        // "diy_" + n + ".png"
extern std::atomic<int> loadMediaCounter;  // "loadMedia_" + n + ".frame" (the dialog's check: ".png")
extern std::atomic<int> loadGifCounter;    // "loadGif_" + n + ".frame"

// Guards the creation of the colour correction table singleton (TestColorUtil).
extern QMutex colourTableMutex;

// Every temporary file of the run lives directly in the work directory: the instance's private
// directory once setWorkDirectory() named one (the program does so at start, see
// WorkDirectory), else appDirectory + "/" + "/temp/". Ends with a separator.
QString workDirectory();
// Names the work directory; an empty path returns to the default under appDirectory.
void setWorkDirectory(const QString &path);
// Path of a file directly in the work directory.
QString workFilePath(const QString &fileName);
// Creates the work directory (one level) when it is missing; true when it exists afterwards.
bool ensureWorkDirectory();

// Resets every value above to its start-up default and sets appDirectory (and
// lastBrowseDirectory) to dir; the work directory returns to its default beneath dir.
// Start-up calls it once; tests call it to begin afresh.
void initAppGlobals(const QString &dir);
