#pragma once

class CSettings;
class QWidget;

// The main window's placement, "ZVPlacement" in section "Settings".
class CMainPlacement
{
public:
    // The stored placement, brought wholly onto the window's screen; without one, most of the
    // screen, centred, rather than a small window.
    static void restore(QWidget *window, const CSettings *settings);
    static void store(const QWidget *window, CSettings *settings);

private:
    static void fitToScreen(QWidget *window);
};
