#pragma once

#include <QLoggingCategory>

// Diagnostic lines of the polling thread and the update pass; off unless QT_LOGGING_RULES
// turns "zorvik.db.debug" on.
Q_DECLARE_LOGGING_CATEGORY(lcZorvikDb)
