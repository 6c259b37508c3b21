#include "app/CConnectionStore.h"

#include "app/CDataFiles.h"
#include "app/CSettings.h"
#include "db/CConnectionString.h"
#include "db/DbLog.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kConnection = QStringLiteral("Connection");

struct Outcome
{
    bool finished = false;
    QKeychain::Error error = QKeychain::NoError;
    QString errorText;
    QString text;
};

// Runs a job to its end or to the time-out. A job still running then is left to free itself
// when its answer comes: the store's reply must never reach a job already freed.
Outcome run(QKeychain::Job *job)
{
    auto outcome = std::make_shared<Outcome>();
    QEventLoop loop;
    job->setAutoDelete(true);
    QObject::connect(job, &QKeychain::Job::finished, &loop, [outcome, &loop](QKeychain::Job *done) {
        outcome->finished = true;
        outcome->error = done->error();
        outcome->errorText = done->errorString();
        if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(done))
            outcome->text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(CConnectionStore::kTimeoutMs, &loop, &QEventLoop::quit);
    job->start();
    if (!outcome->finished)
        loop.exec();
    if (!outcome->finished) {
        outcome->error = QKeychain::OtherError;
        outcome->errorText = QStringLiteral("the secret store did not answer");
    }
    return *outcome;
}

QString withPassword(const QString &cs, const QString &password)
{
    CConnectionString parsed(cs);
    parsed.setValue(CConnectionString::passwordKeys(), password);
    return parsed.toString();
}

} // namespace

QString CConnectionStore::service()
{
    return CDataFiles::applicationId();
}

QString CConnectionStore::withoutPassword(const QString &cs)
{
    CConnectionString parsed(cs);
    if (!parsed.contains(CConnectionString::passwordKeys()))
        return cs;
    parsed.setValue(CConnectionString::passwordKeys(), QString());
    return parsed.toString();
}

bool CConnectionStore::readSecret(const QString &key, QString *secret, QString *error)
{
    auto *job = new QKeychain::ReadPasswordJob(service());
    job->setKey(key);
    const Outcome o = run(job);
    if (o.error != QKeychain::NoError) {
        if (error)
            *error = o.errorText;
        return false;
    }
    *secret = o.text;
    return true;
}

bool CConnectionStore::writeSecret(const QString &key, const QString &secret, QString *error)
{
    auto *job = new QKeychain::WritePasswordJob(service());
    job->setKey(key);
    job->setTextData(secret);
    const Outcome o = run(job);
    if (o.error != QKeychain::NoError && error)
        *error = o.errorText;
    return o.error == QKeychain::NoError;
}

void CConnectionStore::deleteSecret(const QString &key)
{
    auto *job = new QKeychain::DeletePasswordJob(service());
    job->setKey(key);
    run(job);
}

CConnectionStore::Kept CConnectionStore::store(CSettings &settings, const QString &cs)
{
    if (settings.isLocked(kSettings, kConnection))
        return Kept::Locked;
    const QString previous = settings.readText(kSettings, kConnection);
    const QString password = CConnectionString(cs).value(CConnectionString::passwordKeys());
    const QString bare = withoutPassword(cs);
    Kept kept = Kept::NoPassword;
    QString error;
    // A password belongs to a user; one alone (no user named) stays in the string.
    if (password.isEmpty() || !CConnectionString(cs).contains(CConnectionString::userKeys())) {
        settings.writeText(kSettings, kConnection, cs);
        kept = password.isEmpty() ? Kept::NoPassword : Kept::SettingsFile;
    } else if (writeSecret(bare, password, &error)) {
        settings.writeText(kSettings, kConnection, bare);
        kept = Kept::SecretStore;
    } else {
        settings.writeText(kSettings, kConnection, cs);
        kept = Kept::SettingsFile;
        qCWarning(lcZorvikDb, "No secret store answered (%s): the password is kept in %s", qPrintable(error),
                  qPrintable(QDir::toNativeSeparators(settings.fileName())));
    }
    // The password of a string no longer used goes with it.
    if (!previous.isEmpty() && previous != bare && withoutPassword(previous) == previous)
        deleteSecret(previous);
    settings.sync();
    return kept;
}

QString CConnectionStore::load(const CSettings &settings, QString *error)
{
    const QString cs = settings.readText(kSettings, kConnection);
    const CConnectionString parsed(cs);
    if (cs.isEmpty() || parsed.contains(CConnectionString::passwordKeys()))
        return cs;
    // Only a string that names a user has a password in the secret store (not the demo's file).
    QString secret;
    if (parsed.contains(CConnectionString::userKeys()) && readSecret(cs, &secret))
        return withPassword(cs, secret);
    const QString passwordFile = settings.readText(kSettings, QStringLiteral("PasswordFile"));
    if (passwordFile.isEmpty())
        return cs; // no password at all: a data source of odbc.ini may hold it
    QFile file(passwordFile);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read the password file %1: %2")
                         .arg(QDir::toNativeSeparators(passwordFile), file.errorString());
        return cs;
    }
    // The first line, without its line end.
    QString password = QString::fromUtf8(file.readLine());
    while (password.endsWith(u'\n') || password.endsWith(u'\r'))
        password.chop(1);
    return withPassword(cs, password);
}
