#include "show/ShowLog.h"

Q_LOGGING_CATEGORY(lcShow, "hologram.show")
