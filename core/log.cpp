#include "core/log.h"

Q_LOGGING_CATEGORY(lcMostrela, "mostrela", QtInfoMsg)
