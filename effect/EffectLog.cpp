#include "effect/EffectLog.h"

Q_LOGGING_CATEGORY(lcEffect, "hologram.effect")
