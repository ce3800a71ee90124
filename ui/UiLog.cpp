#include "ui/UiLog.h"

Q_LOGGING_CATEGORY(lcUi, "hologram.ui")
