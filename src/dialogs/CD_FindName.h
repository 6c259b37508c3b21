#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// "Find": asks for a part of a last name and/or a first name to select on a panel.
class CD_FindName : public QDialog
{
    Q_OBJECT
public:
    explicit CD_FindName(QWidget *parent = nullptr);

    QString lastName() const;
    QString firstName() const;
    void setNames(const QString &lastName, const QString &firstName);
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Runs the dialog modally, or hands it to the test hook when one is set; returns
    // QDialog::Accepted or QDialog::Rejected.
    int run();

    // A test fills the real dialog and presses its buttons instead of a user; the hook returns
    // the dialog's result. An empty function removes the hook.
    using TestHook = std::function<int(CD_FindName &)>;
    static void setTestHook(TestHook hook);

private:
    QLineEdit *m_last;
    QLineEdit *m_first;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
