#pragma once

#include <QFile>
#include <QString>

// What a warning names: the employee, the moment of the registration and the activity.
struct InvalidActFields
{
    QString id, lastName, firstName, date, time, activity;
};

// The daily log of illegal-activity warnings, "InvalidAct-YYYYMMDD.log" in the program folder.
// The file is opened at the first warning of a run, named after that day, and kept open for the
// rest of the run (so a run that crosses midnight keeps writing to the earlier day's file).
// A file that cannot be opened costs nothing but the lines: the next warning tries again.
class CInvalidActLog
{
public:
    // programFolder ends with a separator.
    explicit CInvalidActLog(const QString &programFolder);

    // Opens the file when it is not open yet (writing the start line), then writes the
    // raised line. Without an open file nothing is written.
    void writeRaised(const InvalidActFields &fields);
    // Writes the acknowledged line; never opens the file.
    void writeAcknowledged(const InvalidActFields &fields);

    bool isOpen() const { return m_file.isOpen(); }
    // The open file's path, empty while closed.
    QString filePath() const;

    // The file a first warning on date would open.
    static QString filePathFor(const QString &programFolder, const QDate &date);

private:
    bool ensureOpen();
    void writeLine(const QString &body);

    QString m_folder;
    QFile m_file;
};
