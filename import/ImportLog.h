#pragma once

#include <QLoggingCategory>

// Trace lines of video import and region selection ("hologram.import").
Q_DECLARE_LOGGING_CATEGORY(lcImport)
