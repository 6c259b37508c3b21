#include "dialogs/CWarningCenter.h"

#include "app/CAppContext.h"
#include "app/CDataFiles.h"
#include "app/CStringTable.h"
#include "db/CReferenceData.h"
#include "dialogs/CD_AckInvalidAct.h"
#include "dialogs/CNotifications.h"
#include "panel/CPhotoLoader.h"
#include "panel/CTablet.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QPointer>
#include <QScreen>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace {
CWarningCenter *g_instance = nullptr;
int g_logRetryMs = 30 * 1000;
} // namespace

CWarningCenter::CWarningCenter(const QString &programFolder, const QString &logFolder, QObject *parent)
    : QObject(parent), m_folder(programFolder), m_log(logFolder.isEmpty() ? programFolder : logFolder),
      m_logRetry(new QTimer(this))
{
    if (!g_instance)
        g_instance = this;
    m_logRetry->setInterval(g_logRetryMs);
    connect(m_logRetry, &QTimer::timeout, this, [this] {
        m_log.retry();
        logWritten();
    });
    // Speakers plugged in or taken away while the program runs.
    auto *devices = new QMediaDevices(this);
    connect(devices, &QMediaDevices::audioOutputsChanged, this, &CWarningCenter::checkSound);
    checkSound();
}

void CWarningCenter::checkSound()
{
    // Without a sound file or an audio device the alarm is silent: the guard must know to watch
    // the screen (an alarm with no device still says it plays).
    const bool file = QFileInfo(CDataFiles::find(QStringLiteral("InvalidAct.wav"), m_folder)).isFile();
    const bool device = !QMediaDevices::audioOutputs().isEmpty();
    const QString text = file && device ? QString() : CStringTable::text(QStringLiteral("warning.soundUnavailable"));
    if (text == m_soundProblem)
        return;
    m_soundProblem = text;
    for (CD_AckInvalidAct *w : std::as_const(m_windows))
        w->setSoundProblem(text);
    emit soundProblemChanged(text);
}

void CWarningCenter::setLogRetryMs(int ms)
{
    g_logRetryMs = ms;
}

void CWarningCenter::logWritten()
{
    const QString problem = m_log.problem();
    const QString text =
        problem.isEmpty() ? QString() : CStringTable::text(QStringLiteral("warning.logFailed")).arg(problem);
    if (m_log.waitingBytes() > 0)
        m_logRetry->start();
    else
        m_logRetry->stop();
    if (text == m_logProblem)
        return;
    m_logProblem = text;
    for (CD_AckInvalidAct *w : std::as_const(m_windows))
        w->setLogProblem(text);
    emit logProblemChanged(text);
}

CWarningCenter::~CWarningCenter()
{
    if (g_instance == this)
        g_instance = nullptr;
    // Nobody is told of windows that go with the center itself.
    blockSignals(true);
    dismissAll();
}

void CWarningCenter::dismissAll()
{
    const QList<CD_AckInvalidAct *> windows = openWindows();
    for (CD_AckInvalidAct *w : windows) {
        disconnect(w, nullptr, this, nullptr);
        withdrawNotification(w);
        delete w;
    }
    m_windows.clear();
    m_notified.clear();
    m_waitingPhoto.clear();
    const bool any = m_openWarnings > 0;
    m_openWarnings = 0;
    stopSound();
    if (any)
        emit openWarningsChanged(0);
}

CWarningCenter *CWarningCenter::instance()
{
    return g_instance;
}

QList<CD_AckInvalidAct *> CWarningCenter::openWindows() const
{
    return m_windows;
}

CD_AckInvalidAct *CWarningCenter::raise(QWidget *owner, const InvalidActFields &fields, const QColor &colour)
{
    m_log.writeRaised(fields);
    startSound();
    ++m_openWarnings;

    auto *window = new CD_AckInvalidAct(fields, owner);
    window->setActivityColour(colour);
    window->setLogProblem(m_logProblem);
    window->setSoundProblem(m_soundProblem);
    window->move(cascadePosition(window->size(), owner));
    m_windows.append(window);
    connect(window, &CD_AckInvalidAct::acknowledged, this, &CWarningCenter::onAcknowledged);
    connect(window, &QObject::destroyed, this, &CWarningCenter::onWindowGone);
    window->show();
    window->raise();
    if (m_notifications) {
        const QString title =
            CStringTable::text(QStringLiteral("warning.notifyTitle")).arg(fields.firstName, fields.lastName);
        const QString body =
            CStringTable::text(QStringLiteral("warning.notifyBody")).arg(fields.activity, fields.date, fields.time);
        if (const quint32 id = m_notifications->notify(title, body))
            m_notified.insert(id, window);
    }
    emit openWarningsChanged(m_openWarnings);
    logWritten();
    return window;
}

bool CWarningCenter::showOldest()
{
    if (m_windows.isEmpty())
        return false;
    bringForward(m_windows.first());
    return true;
}

void CWarningCenter::bringForward(CD_AckInvalidAct *window)
{
    window->bringForward();
}

void CWarningCenter::withdrawNotification(QObject *window)
{
    for (auto it = m_notified.begin(); it != m_notified.end();) {
        if (static_cast<QObject *>(it.value()) != window) {
            ++it;
            continue;
        }
        if (m_notifications)
            m_notifications->withdraw(it.key());
        it = m_notified.erase(it);
    }
}

void CWarningCenter::setNotifications(CNotifications *notifications)
{
    if (m_notifications)
        disconnect(m_notifications, nullptr, this, nullptr);
    m_notifications = notifications;
    if (!m_notifications)
        return;
    connect(m_notifications, &CNotifications::activated, this, [this](quint32 id) {
        CD_AckInvalidAct *w = m_notified.value(id);
        if (w && m_windows.contains(w))
            bringForward(w);
    });
}

QPoint CWarningCenter::cascadePosition(const QSize &size, QWidget *owner) const
{
    // Centred over the owner (or the screen), each further open warning a step lower and to
    // the right, so that none hides another; within the screen, starting over at its edge.
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QRect over = owner && owner->isVisible() ? QRect(owner->mapToGlobal(QPoint(0, 0)), owner->size()) : avail;
    const QPoint centred = over.center() - QPoint(size.width() / 2, size.height() / 2);
    constexpr int kStep = 28;
    const int room = qMax(
        1, qMin(avail.right() - centred.x() - size.width(), avail.bottom() - centred.y() - size.height()) / kStep + 1);
    const int n = int(m_windows.size()) % room;
    QPoint p = centred + QPoint(n * kStep, n * kStep);
    p.setX(qBound(avail.left(), p.x(), qMax(avail.left(), avail.right() - size.width())));
    p.setY(qBound(avail.top(), p.y(), qMax(avail.top(), avail.bottom() - size.height())));
    return p;
}

void CWarningCenter::onAcknowledged(CD_AckInvalidAct *warning)
{
    m_log.writeAcknowledged(warning->fields());
    logWritten();
    // Dealt with: the desktop's notification of it goes too.
    withdrawNotification(warning);
}

void CWarningCenter::onWindowGone(QObject *window)
{
    // Only the address is compared: the window is already half destroyed.
    m_windows.removeIf([window](CD_AckInvalidAct *w) { return static_cast<QObject *>(w) == window; });
    withdrawNotification(window);
    if (m_openWarnings > 0 && --m_openWarnings == 0)
        stopSound();
    emit openWarningsChanged(m_openWarnings);
}

void CWarningCenter::startSound()
{
    // A loop that already sounds goes on; a new warning adds nothing to it.
    if (m_soundPlaying)
        return;
    m_soundPlaying = true;
    const QString path = CDataFiles::find(QStringLiteral("InvalidAct.wav"), m_folder);
    // Without the file the warning stays silent.
    if (!QFileInfo(path).isFile())
        return;
    if (!m_sound) {
        m_sound = new QSoundEffect(this);
        m_sound->setLoopCount(QSoundEffect::Infinite);
    }
    const QUrl url = QUrl::fromLocalFile(path);
    if (m_sound->source() != url)
        m_sound->setSource(url);
    m_sound->play();
}

void CWarningCenter::stopSound()
{
    m_soundPlaying = false;
    if (m_sound)
        m_sound->stop();
}

CD_AckInvalidAct *CWarningCenter::raiseFor(QWidget *owner, const CTablet &tablet)
{
    QColor colour;
    CAppContext *ctx = CAppContext::current();
    if (CReferenceData *ref = ctx ? ctx->reference() : nullptr) {
        const auto it = ref->activityColourMap.find(tablet.activityId);
        if (it != ref->activityColourMap.end())
            colour = activityQColor(it->second);
    }
    CD_AckInvalidAct *window =
        raise(owner,
              InvalidActFields{tablet.employeeId, tablet.lastName, tablet.firstName, tablet.warnedDate(),
                               tablet.warnedTime(), tablet.warnedActivity()},
              colour);
    // The photograph: the tablet's bytes when it has them, else read from the database; either
    // way decoded off the interface thread, and shown when it arrives.
    if (!m_photos) {
        m_photos = new CPhotoLoader(this);
        connect(m_photos, &CPhotoLoader::ready, this, [this](const CPhotoLoader::Result &r) {
            for (const QPointer<CD_AckInvalidAct> &w : m_waitingPhoto.take(r.employeeId))
                if (w && !r.image.isNull())
                    w->setPhotograph(r.image);
        });
    }
    m_waitingPhoto[tablet.employeeId].append(window);
    m_photos->request(tablet.employeeId, tablet.photograph(),
                      QRect(0, 0, CD_AckInvalidAct::kPhotoWidth - 2, CD_AckInvalidAct::kPhotoHeight - 2),
                      window->devicePixelRatioF());
    return window;
}

void CWarningCenter::attachTablets(QWidget *owner)
{
    QPointer<QWidget> guardedOwner(owner);
    QPointer<CWarningCenter> self(this);
    CTablet::setWarningHandler([self, guardedOwner](const CTablet &t) {
        if (self)
            self->raiseFor(guardedOwner, t);
    });
}
