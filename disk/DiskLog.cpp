#include "disk/DiskLog.h"

Q_LOGGING_CATEGORY(lcDisk, "hologram.disk")
