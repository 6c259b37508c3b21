#pragma once

#include "dialogs/CInvalidActLog.h"

#include <QColor>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;

// The modeless window that names one illegal activity: the activity in its colour across the
// top, the person's photograph, the name and the time large enough to read from across the
// room. OK, Escape and the close box all acknowledge it: acknowledged() is emitted once and the
// window deletes itself. It stays above the program's other windows without taking the keyboard
// from the window the user is typing in; keys acknowledge it only once it has been the active
// window for a moment, so a key meant for another window never does.
class CD_AckInvalidAct : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 600;      // pixels of the window's width
    static constexpr int kPhotoWidth = 150; // the photograph's cell
    static constexpr int kPhotoHeight = 190;
    static constexpr int kTimePixels = 64;   // the time: about 17 mm high on a common screen
    static constexpr int kNamePixels = 32;   // name and activity
    static constexpr int kDetailPixels = 20; // date and ID

    CD_AckInvalidAct(const InvalidActFields &fields, QWidget *owner = nullptr);

    const InvalidActFields &fields() const { return m_fields; }
    bool isAcknowledged() const { return m_acknowledged; }

    // Every way of closing the dialog ends here (accept, reject, the close box through reject).
    void done(int result) override;
    // How long the window must have been active before a key acknowledges it.
    static void setKeyGuardMs(int ms);
    // A line under the fields saying that the warning log cannot be written (empty: none).
    void setLogProblem(const QString &text);
    // A line saying that the alarm cannot sound, so the guard watches the screen (empty: none).
    void setSoundProblem(const QString &text);
    // The activity's colour across the top (invalid: a neutral grey).
    void setActivityColour(const QColor &colour);
    QColor activityColour() const { return m_colour; }
    // The person's photograph, drawn into its cell (null: the empty cell).
    void setPhotograph(const QImage &image);
    bool hasPhotograph() const { return m_hasPhoto; }
    // Shows the window and gives it the keyboard, as the user asked (a click on its notification
    // or on the tray): the keyboard is not handed back as when the warning came up by itself.
    void bringForward();

protected:
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

signals:
    void acknowledged(CD_AckInvalidAct *warning);

private:
    bool keysArmed() const;
    bool swallowsKey(QEvent *e) const;
    QLabel *addValue(const QString &value, const QString &objectName, int pixels, bool bold);
    QLabel *addCaption(const QString &key);
    void fitHeight();

    InvalidActFields m_fields;
    QFrame *m_band = nullptr;
    QLabel *m_photo = nullptr;
    QPushButton *m_ok = nullptr;
    QLabel *m_logProblem = nullptr;
    QLabel *m_soundProblem = nullptr;
    QColor m_colour;
    bool m_hasPhoto = false;
    bool m_acknowledged = false;
    QElapsedTimer m_activeSince; // invalid while the window is not active
    QElapsedTimer m_shownAt;
    QPointer<QWidget> m_typingIn; // the window that was active when this one came up
};
