#pragma once

#include "app/CDocument.h"
#include "live/CLiveStatus.h"
#include "rollcall/COnSiteList.h"
#include "rollcall/CRollCallDrill.h"

#include <QPointer>

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QString>

class CReferenceData;
class CRollCallModel;
class CSettings;

// The roll-call window's document: the list of everyone on the premises and the ticks of the
// day. Every update pass refreshes the list; while the database is not connected the last list
// and its ticks stay, and the document says since when the data is stale (the program's live
// status, or one of its own when it reads the data alone). Ticks are written to the day's
// roll-call file at every change.
class C_ZorvikDocRollCall : public CDocument
{
    Q_OBJECT
public:
    // folder: where the roll-call file goes (beside the warning log), ending with "/".
    C_ZorvikDocRollCall(CReferenceData *reference, CSettings *settings, const QString &folder,
                        QObject *parent = nullptr);
    ~C_ZorvikDocRollCall() override;

    CRollCallModel *model() const { return m_model; }
    QString ticksFilePath() const;
    // "RollCallLog-YYYYMMDD.txt" beside the ticks file: every tick, drill and phone request.
    QString logFilePath() const;
    // Appends one line, stamped with the time, to the day's log.
    void log(const QString &text);

    // Reads the list from the shared cursors (takes DBMutex) unless the database is failing.
    // With a source, shows the source's latest list at once and asks it for a new one instead,
    // which arrives through apply().
    void refresh();
    void onUpdatePass() override { refresh(); }
    // The program's one list of everyone on site, made off the interface thread after every pass.
    void setSource(COnSiteList *source);
    // Shows a list made from the shared cursors (or keeps the last one while the database fails).
    void apply(const COnSiteList::Result &result);
    // The program's judge of whether the data are current; without one the document judges by
    // the lists it reads.
    void setStatus(CLiveStatus *status);
    CLiveStatus *status() const { return m_status ? m_status.data() : &m_ownStatus; }
    // The connection indicator's news: a loss starts the stale period.
    void setConnected(bool connected);
    bool isStale() const { return !status()->isCurrent(); }
    void clearTicks();

    // "On site: N · Guests: M · Ticked: K of T".
    QString countsText() const;
    // Counts per department, one "Department: N" a line.
    QString departmentsText() const;
    // "Not connected since 10:42; list as of 10:41", empty while the data is live.
    QString staleText() const;
    // When the list was last read from live data (null before the first read).
    QDateTime asOf() const { return status()->asOf(); }

    // A drill or an evacuation: Start stamps the moment; End writes the event record, a PDF
    // and a CSV file beside the ticks file. A record that cannot be written keeps the event
    // open (End can be tried again) and returns the reason.
    const CRollCallDrill &drill() const { return m_drill; }
    void startDrill(CRollCallDrill::Kind kind);
    bool endDrill(QString *pdfPath, QString *csvPath, QString *error);
    // Why the last End could not write the record; empty when it did.
    QString recordError() const { return m_recordError; }
    // Listed since the start and not ticked, in department and name order.
    QList<CRollCallModel::Person> stillMissing() const;

signals:
    void listChanged();
    void saveFailed(const QString &error);
    void drillChanged();

private:
    void loadTicksOfToday();
    void saveTicks();
    void logTick(const QString &key, bool ticked, const QString &warden);

    CReferenceData *m_reference;
    CSettings *m_settings;
    QPointer<COnSiteList> m_source;
    quint64 m_shownSerial = 0; // the source's list shown last (0: none)
    QString m_folder;
    CRollCallModel *m_model;
    QDate m_day;
    QPointer<CLiveStatus> m_status;
    mutable CLiveStatus m_ownStatus;
    bool m_loading = false;
    CRollCallDrill m_drill;
    QString m_recordError;
};
