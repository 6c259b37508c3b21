#pragma once

#include <QComboBox>

class CCheckListModel;

// A drop-down list whose items carry check boxes. The closed face shows the checked texts
// joined with the locale's list separator; clicking an item or pressing Space toggles it and
// keeps the list open, so that several items are ticked in one go. There is no single current
// item: the face never shows one.
class CCheckListCombo : public QComboBox
{
    Q_OBJECT
public:
    explicit CCheckListCombo(QWidget *parent = nullptr);

    void setItems(const QStringList &texts);

    // 1 checked, 0 not, -1 for a bad index.
    int getCheck(int index) const;
    // 0, or -1 for a bad index (and then nothing changes).
    int setCheck(int index, bool checked);
    QList<int> checkedIndexes() const;

    // The checked texts joined: what the face shows.
    QString text() const;
    // The locale's list separator with one blank: "; " where the decimal separator is a comma,
    // else ", ".
    static QString separator(const QLocale &locale);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // One per toggle made by the user.
    void checkChanged(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void toggle(int index);

    CCheckListModel *m_model;
    mutable QString m_text;
    mutable bool m_textValid = false;
};
