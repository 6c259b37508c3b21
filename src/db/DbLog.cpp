#include "db/DbLog.h"

Q_LOGGING_CATEGORY(lcZorvikDb, "zorvik.db", QtInfoMsg)
