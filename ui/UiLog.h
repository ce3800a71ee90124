#pragma once

#include <QLoggingCategory>

// Trace lines of the main window, playlists and picture import ("hologram.ui"). Tools and tests switch them off by filter rules.
Q_DECLARE_LOGGING_CATEGORY(lcUi)
