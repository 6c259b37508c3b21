#pragma once

#include <QAccessibleWidget>
#include <QPointer>

class CTablet;
class C_PanelCanvas;

// What assistive technology sees of a panel: a list whose items are the tablets, in reading
// order, each named by what it shows (employee, activity, time, "not allowed today", "a day old")
// with its selection and expansion as states. The canvas draws its tablets itself, so without
// this a screen reader would find an empty surface.
class CPanelAccessible : public QAccessibleWidget
{
public:
    explicit CPanelAccessible(C_PanelCanvas *canvas);

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // Makes the interfaces of panels when Qt asks for one (installed once).
    static void install();

private:
    C_PanelCanvas *canvas() const;
};

// One tablet as an item of its panel's list.
class CTabletAccessible : public QAccessibleInterface
{
public:
    CTabletAccessible(C_PanelCanvas *canvas, CTablet *tablet);

    bool isValid() const override;
    QObject *object() const override { return nullptr; }
    QWindow *window() const override;
    QAccessibleInterface *parent() const override;
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override;

    CTablet *tablet() const { return m_tablet; }

private:
    QPointer<C_PanelCanvas> m_canvas;
    CTablet *m_tablet; // valid while its canvas shows it (the canvas drops this item first)
};
