#pragma once

#include <QObject>

class CDocTemplate;
class C_ChildFrame;
class C_MainFrame;
class C_ZorvikDoc;

// What the main frame does with panel files: open (or find the open one), save, save under a
// new name, and offer modified panels for saving before they close. Every opened or saved
// file goes to the recent-file list.
class CPanelFileActions : public QObject
{
    Q_OBJECT
public:
    explicit CPanelFileActions(C_MainFrame *frame);

    // Opens a panel file, or activates the panel that shows it; reports a failure itself.
    C_ChildFrame *open(const QString &path);
    // The file dialog over every registered kind of file; a guests, presences or report file
    // opens its window, anything else as a panel.
    void openFromDialog();
    // An empty panel, named like the toolkit names new documents.
    void newPanel();
    // Saves under the panel's name, or under a name asked for; reports a failure itself, and
    // the panel then stays modified under its old name.
    bool save(C_ZorvikDoc *doc, bool askName);
    // Yes, No or Cancel for a modified panel. True when it may close: not modified, saved, or
    // not to be saved.
    bool offerToSave(C_ZorvikDoc *doc);
    // Every modified panel in turn; Cancel or a failed save ends the questions and answers false
    // (then nothing may close: the unsaved changes would be lost).
    bool offerToSaveAll();

signals:
    void recentFilesChanged();

private:
    CDocTemplate *panels() const;
    void remember(const QString &path);

    C_MainFrame *m_frame;
    int m_newCount = 0;
};
