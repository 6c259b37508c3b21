#pragma once

#include "app/CDocument.h"
#include "live/CLiveStatus.h"
#include "rollcall/COnSiteList.h"
#include "rollcall/CRollCallDrill.h"
#include "rollcall/CRollCallLog.h"

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
// roll-call file at every change; when that fails they are kept in memory, the write is tried
// again at the next change, and the document says so until a write succeeds.
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
    QString logFilePath() const { return m_log.filePath(); }
    // Appends one line, stamped with the time, to the day's log.
    void log(const QString &text) { m_log.write(text); }
    // One request of a phone (refused ones are counted per address and minute).
    void logRequest(const QString &peer, const QByteArray &method, const QString &path, int status)
    {
        m_log.request(peer, method, path, status);
    }
    // Writes the request counts of past minutes (all with everything true).
    void flushLog(bool everything = false) { m_log.flush(everything); }

    // Whether the ticks as they are now are in the ticks file; the reason when not.
    bool ticksSaved() const { return m_saveError.isEmpty(); }
    QString saveError() const { return m_saveError; }
    // Ticks held only in memory: set since the last write that succeeded.
    bool onlyInMemory(const QString &key) const;

    // Reads the list from the shared cursors (takes DBMutex) unless the database is failing.
    // With a source, shows the source's latest list at once and asks it for a new one instead,
    // which arrives through apply().
    void refresh();
    void onUpdatePass(const CCycleChanges &changes) override
    {
        Q_UNUSED(changes);
        refresh();
    }
    using CDocument::onUpdatePass;
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

    // "On site: N · Guests: M · Ticked: K of T"; during a drill K of T are the drill's found
    // and expected (tally()).
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
    // Where the records go (with a trailing separator): a folder the user finds, such as
    // Documents/Zorvik; beside the ticks file until set.
    void setRecordFolder(const QString &folder) { m_recordFolder = folder; }
    QString recordFolder() const { return m_recordFolder.isEmpty() ? m_folder : m_recordFolder; }
    void startDrill(CRollCallDrill::Kind kind);
    bool endDrill(QString *pdfPath, QString *csvPath, QString *error);
    // Why the last End could not write the record; empty when it did.
    QString recordError() const { return m_recordError; }
    // The drill's one count of found, missing and left (empty outside a drill).
    CRollCallDrill::Tally tally() const;
    // The drill's missing, in department and name order.
    QList<CRollCallModel::Person> stillMissing() const;

signals:
    void listChanged();
    // The ticks could not be written, or could again: see ticksSaved().
    void saveStateChanged();
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
    QString m_recordFolder;
    CRollCallModel *m_model;
    QDate m_day;
    QPointer<CLiveStatus> m_status;
    mutable CLiveStatus m_ownStatus;
    bool m_loading = false;
    QSet<QString> m_savedTicks; // the ticks of the last write that succeeded
    QString m_saveError;
    CRollCallLog m_log;
    CRollCallDrill m_drill;
    QString m_recordError;
};
