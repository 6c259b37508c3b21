#pragma once

#include <QDialog>

class QRadioButton;

// "Name display format": last name first (0) or first name first (1) on the tablets.
class CD_NameFormat : public QDialog
{
    Q_OBJECT
public:
    // locked: set by the administrator's system settings, shown but not changeable.
    explicit CD_NameFormat(int format, QWidget *parent = nullptr, bool locked = false);

    int format() const;
    void setFormat(int format);

private:
    QRadioButton *m_lastFirst;
    QRadioButton *m_firstLast;
};
