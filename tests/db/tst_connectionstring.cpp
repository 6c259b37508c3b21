#include "db/CConnectionString.h"
#include "db/CSqlDialect.h"

#include <gtest/gtest.h>

TEST(ConnectionString, FieldsChangeInPlaceAndUnknownKeysSurvive)
{
    CConnectionString cs(" Driver = {FreeTDS} ;Server=db1;App={Zorvik; desk};Encrypt=no;"
                         "Extra={a}}b};User ID=sa;junk;PWD=old");
    EXPECT_EQ(cs.value("driver"), "FreeTDS");
    EXPECT_EQ(cs.value("APP"), "Zorvik; desk");
    EXPECT_EQ(cs.value("Extra"), "a}b");
    EXPECT_EQ(cs.value(CConnectionString::userKeys()), "sa");

    // The alias already present keeps its spelling; a missing key is appended; an empty
    // value removes the key.
    cs.setValue(CConnectionString::userKeys(), "zorvik");
    cs.setValue(CConnectionString::passwordKeys(), " p;w}d");
    cs.setValue("Port", "1433");
    cs.setValue("Encrypt", QString());
    EXPECT_EQ(cs.toString(),
              "Driver={FreeTDS};Server=db1;App={Zorvik; desk};Extra={a}}b};User ID=zorvik;PWD={ p;w}}d};Port=1433");

    // What is written reads back the same, and the program's own reader agrees with it.
    const CConnectionString again(cs.toString());
    ASSERT_EQ(again.pairs().size(), cs.pairs().size());
    for (qsizetype i = 0; i < cs.pairs().size(); ++i) {
        EXPECT_EQ(again.pairs()[i].key, cs.pairs()[i].key);
        EXPECT_EQ(again.pairs()[i].value, cs.pairs()[i].value);
    }
    EXPECT_EQ(CSqlDialect::keyValue(cs.toString(), "Server"), "db1");
    EXPECT_EQ(CSqlDialect::target(cs.toString()).driver, "QODBC");

    // Two aliases of one field collapse into the first.
    CConnectionString twice("UID=a;User=b");
    twice.setValue(CConnectionString::userKeys(), "c");
    EXPECT_EQ(twice.toString(), "UID=c");
}

TEST(ConnectionString, MaskHidesEveryPasswordAndLeavesTheRestAsWritten)
{
    EXPECT_EQ(CConnectionString::masked("Driver={FreeTDS};Server=db;UID=sa;PWD=secret;TDS_Version=7.4"),
              "Driver={FreeTDS};Server=db;UID=sa;PWD=********;TDS_Version=7.4");
    EXPECT_EQ(CConnectionString::masked("password = {se;cr}}et} ; Database=att"), "password = ******** ; Database=att");
    EXPECT_EQ(CConnectionString::masked("Pwd=a;x=1;PASSWORD=b"), "Pwd=********;x=1;PASSWORD=********");
    // Nothing to hide: the text stays whole, an empty password included.
    for (const char *plain : {"Provider=SQLite;Data Source=/tmp/a b.db", "DSN=att;PWD=;UID=x", "not a string"})
        EXPECT_EQ(CConnectionString::masked(plain), plain);
    // A key that merely contains the word is not a password.
    EXPECT_EQ(CConnectionString::masked("OldPwd=keep;PWD=x"), "OldPwd=keep;PWD=********");
}

// A driver's message keeps its own words: the password is hidden where the string is repeated (by
// position) and where the value stands whole, never inside the driver's names.
TEST(ConnectionString, MessagesHideThePasswordOnlyWhereItStandsWhole)
{
    const QString cs = QStringLiteral("DSN=att;UID=zorvik;PWD=Server");
    EXPECT_EQ(CConnectionString::hidePasswords("[FreeTDS][SQL Server]Login failed for user 'zorvik'.", cs),
              "[FreeTDS][SQL Server]Login failed for user 'zorvik'.");
    EXPECT_EQ(CConnectionString::hidePasswords("Cannot connect with DSN=att;UID=zorvik;PWD=Server: refused", cs),
              "Cannot connect with DSN=att;UID=zorvik;PWD=********: refused");
    // The string as the driver got it, with a key added; the value quoted in a message.
    EXPECT_EQ(CConnectionString::hidePasswords("Str In = [att;UID=zorvik;PWD=Server;Timeout=30;]", cs),
              "Str In = [att;UID=zorvik;PWD=********;Timeout=30;]");
    EXPECT_EQ(CConnectionString::hidePasswords("Login failed for user 'Server'. Server is down", cs),
              "Login failed for user '********'. ******** is down");
    EXPECT_EQ(CConnectionString::hidePasswords("ServerName=Servers", cs), "ServerName=Servers");
    const QString braced = QStringLiteral("Driver={FreeTDS};PWD={a;b}");
    EXPECT_EQ(CConnectionString::hidePasswords("echo PWD={a;b};", braced), "echo PWD={********};");
}
