#pragma once

#include "app/CAutoLoadList.h"

#include <QDialog>
#include <functional>

class CAppContext;
class CSettings;
class QCheckBox;
class QPushButton;
class QTreeWidget;

// "Open at startup": the ordered panel files the program opens by itself, and whether the
// presences window opens with them. Up, Down and Remove follow the selection only when the
// list is clicked (or the selection is moved with the keyboard), not after their own use.
class CD_AutoLoad : public QDialog
{
    Q_OBJECT
public:
    // openNow closes every window and runs the start-up opening ("Open/Arrange now").
    CD_AutoLoad(CSettings *settings, CAppContext *context, std::function<void()> openNow, QWidget *parent = nullptr);

    const CAutoLoadList &list() const { return m_list; }
    void save();

    void add();
    void remove();
    void moveUp();
    void moveDown();
    void openNow();
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int selectedRow() const;
    void fillList(int selected);
    void updateButtons();

    CSettings *m_settings;
    CAppContext *m_context;
    std::function<void()> m_openNow;
    CAutoLoadList m_list;
    QTreeWidget *m_view;
    QPushButton *m_up;
    QPushButton *m_down;
    QPushButton *m_arrange;
    QPushButton *m_add;
    QPushButton *m_remove;
    QCheckBox *m_presences;
    QCheckBox *m_guests;
    bool m_locked = false;
};
