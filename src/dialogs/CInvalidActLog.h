#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// What a warning names: the employee, the moment of the registration and the activity.
struct InvalidActFields
{
    QString id, lastName, firstName, date, time, activity;
};

// The daily log of illegal-activity warnings, "InvalidAct-YYYYMMDD.log" in the program folder.
// The file is named after the day of the first warning of a run and kept for the rest of the
// run (so a run that crosses midnight keeps writing to the earlier day's file). Every write is
// checked: a line that cannot be written (a full disk, a file that cannot be opened) is kept in
// memory with the moment it was meant for, and written before any later line at the next
// warning or retry(), so no line is lost while the program runs.
class CInvalidActLog
{
public:
    // programFolder ends with a separator.
    explicit CInvalidActLog(const QString &programFolder);
    // Lines still waiting get a last try.
    ~CInvalidActLog();

    // The first warning of the run starts the log (its start line); then the raised line.
    // False when it could not be written yet (problem() says why; the lines wait).
    bool writeRaised(const InvalidActFields &fields);
    // The acknowledged line; nothing before the log is started.
    bool writeAcknowledged(const InvalidActFields &fields);
    // Writes the lines still waiting; true when none is left.
    bool retry();

    bool isOpen() const { return m_file.isOpen(); }
    // The open file's path, empty while closed.
    QString filePath() const;
    // Bytes of lines not written yet.
    qint64 waitingBytes() const { return m_waiting.size(); }
    // Why lines are waiting (the file and the system's reason); empty when every line is written.
    QString problem() const { return m_problem; }

    // The file a first warning on date would open.
    static QString filePathFor(const QString &programFolder, const QDate &date);

private:
    void queueLine(const QString &body);
    bool writeWaiting();

    QString m_folder;
    QString m_path; // chosen at the first warning of the run
    QFile m_file;
    QByteArray m_waiting;
    QString m_problem;
};
