#include "import/ImportLog.h"

Q_LOGGING_CATEGORY(lcImport, "hologram.import")
