#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QPushButton;

// The start-up warning that no language library matched: English is used. Its check box says
// whether the warning comes again at the next start.
class CD_LangLib : public QDialog
{
    Q_OBJECT
public:
    explicit CD_LangLib(bool showAgain, QWidget *parent = nullptr);

    bool showAgain() const;
    QCheckBox *showAgainBox() const { return m_again; }
    QPushButton *okButton() const { return m_ok; }

    // Runs the dialog modally, or hands it to the test hook; in the prompts' test mode without
    // a hook it is not shown and ends as rejected.
    int run();
    using TestHook = std::function<int(CD_LangLib &)>;
    static void setTestHook(TestHook hook);

private:
    QCheckBox *m_again;
    QPushButton *m_ok;
};
