#pragma once

#include <QString>

class CSettings;

// Where a configuration keeps its connection string. The password goes to the desktop's secret
// store (the Secret Service, or KWallet, through QtKeychain) when one answers, and the settings
// keep the string without it; with no secret store the string is kept whole in the settings file
// (readable by its owner only), and the caller says so in one line. Reading puts the password
// back: from the string itself, else from the secret store, else from the file the system
// settings name in "PasswordFile" (for desks without a keyring; readable by a group only).
// The program, --test-connection and the exports all read the string here.
class CConnectionStore
{
public:
    enum class Kept
    {
        NoPassword,   // the string has none: stored as it is
        SecretStore,  // the password in the secret store, the rest in the settings
        SettingsFile, // no secret store answered: the whole string in the settings
        Locked        // set by the administrator: nothing stored
    };

    // Stores cs as the configuration's connection string.
    static Kept store(CSettings &settings, const QString &cs);
    // The stored connection string with its password; *error (when given) says why a password
    // file named by the settings could not be read, and the string then has no password.
    static QString load(const CSettings &settings, QString *error = nullptr);
    // The string without its password, as the settings keep it beside a secret store.
    static QString withoutPassword(const QString &cs);

    // The secret store's service name; the key of a password is the string without it, so a
    // password never reaches another server's string.
    static QString service();
    // Reads and writes the secret store directly (at most kTimeoutMs each); false when no store
    // answered or, for reading, it holds nothing under key.
    static bool readSecret(const QString &key, QString *secret, QString *error = nullptr);
    static bool writeSecret(const QString &key, const QString &secret, QString *error = nullptr);
    static void deleteSecret(const QString &key);
    // Long enough for the desktop to ask for the keyring's password when it is locked.
    static constexpr int kTimeoutMs = 60000;
};
