#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class CDbWorker;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// Composes the ODBC connection string of the attendance database: a driver or data source
// that unixODBC lists, server, port, database, user, password and, for FreeTDS, the TDS
// version. The string is shown (its password masked) and can be edited by hand; keys the
// fields do not cover are kept. "Test connection" opens the string on a thread of its own, so
// a silent server never freezes the dialog; "Demo database" takes the embedded SQLite demo.
class CConnectionBuilder : public QDialog
{
    Q_OBJECT
public:
    enum Mode
    {
        NewSource,
        EditSource
    };

    explicit CConnectionBuilder(QWidget *owner = nullptr);
    ~CConnectionBuilder() override;

    // Asks for a new data source: true with the string stored on OK; on Cancel the stored
    // string becomes empty and the result is false.
    bool New();
    // Edits connectionString, pre-filled; true with the result stored on OK, else false.
    bool Edit(const QString &connectionString);
    // The string of the last confirmed prompt.
    QString connectionString() const { return m_result; }

    Mode mode() const { return m_mode; }
    // The string as it stands in the dialog, password included.
    QString composedString() const { return m_text; }
    // Loads a string into the fields and the string view, as Edit does before it shows.
    void load(const QString &connectionString);
    void testConnection();
    bool isTesting() const;

signals:
    void testFinished(bool ok);

private:
    void buildLayout();
    void fieldsEdited();
    void driverChosen();
    void dataSourceChosen();
    void acceptIfUsable();
    void stringEdited();
    void fillFields();
    void showString();
    void chooseDemo();
    void updateButtons();
    bool run();

    Mode m_mode = NewSource;
    QString m_text;   // the composed string, password included
    QString m_result; // the string of the last OK
    bool m_updating = false;
    int m_typedDataSource = -1; // the entry of a data source not installed here, or -1
    bool m_testing = false;
    std::unique_ptr<CDbWorker> m_worker;

    QComboBox *m_dataSource = nullptr;
    QComboBox *m_driver = nullptr;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_port = nullptr;
    QLineEdit *m_database = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_password = nullptr;
    QComboBox *m_tdsVersion = nullptr;
    QLabel *m_tdsLabel = nullptr;
    QPlainTextEdit *m_string = nullptr;
    QPushButton *m_demo = nullptr;
    QPushButton *m_test = nullptr;
    QLabel *m_testResult = nullptr;
    QPushButton *m_ok = nullptr;
};
