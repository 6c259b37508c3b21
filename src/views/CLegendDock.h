#pragma once

#include "views/CLegendModel.h"

#include <QDockWidget>

// View > Legend: every activity in its colour with today's count, docked at a side.
class CLegendDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit CLegendDock(QWidget *parent = nullptr);

    void setEntries(const QList<CLegendModel::Entry> &entries) { m_model->setEntries(entries); }

private:
    CLegendModel *m_model;
};
