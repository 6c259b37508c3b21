#pragma once

#include <QDialog>

class QRadioButton;

// "Name display format": last name first (0) or first name first (1) on the tablets.
class CD_NameFormat : public QDialog
{
    Q_OBJECT
public:
    explicit CD_NameFormat(int format, QWidget *parent = nullptr);

    int format() const;
    void setFormat(int format);

private:
    QRadioButton *m_lastFirst;
    QRadioButton *m_firstLast;
};
