#pragma once

#include <QString>
#include <QWidget>

// A plain text of several lines that changes at every update pass (the head count by department),
// wrapped to the width it is given. A label lays its window out again at each new text; this asks
// for that only when the new text needs another height, and otherwise repaints itself alone.
class CWrappedText : public QWidget
{
    Q_OBJECT
public:
    explicit CWrappedText(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_text;
    // The height measured last and the width it was measured for.
    mutable int m_measuredWidth = -1;
    mutable int m_measuredHeight = 0;
};
