#pragma once

#include <QLoggingCategory>

// The operational log's categories besides the data layer's "zorvik.db" (db/DbLog.h), all in
// English and on at the info level: "zorvik.live" (start and stop, warnings raised and
// acknowledged), "zorvik.share" (sharing with phones started and stopped, each phone's first
// tick), "zorvik.report" (reports and exports written). CLogSink says where they go.
Q_DECLARE_LOGGING_CATEGORY(lcZorvikLive)
Q_DECLARE_LOGGING_CATEGORY(lcZorvikShare)
Q_DECLARE_LOGGING_CATEGORY(lcZorvikReport)
