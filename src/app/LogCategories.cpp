#include "app/LogCategories.h"

Q_LOGGING_CATEGORY(lcZorvikLive, "zorvik.live", QtInfoMsg)
Q_LOGGING_CATEGORY(lcZorvikShare, "zorvik.share", QtInfoMsg)
Q_LOGGING_CATEGORY(lcZorvikReport, "zorvik.report", QtInfoMsg)
