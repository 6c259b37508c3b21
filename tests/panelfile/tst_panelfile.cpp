#include "TestSupport.h"
#include "panel/CPanelFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

using testsupport::TempDir;

namespace {

const QByteArray kSample = "<ZVPANEL>\r\n"
                           "<BKIMAGE>\r\n"
                           "<USE>0</USE>\r\n"
                           "<TILE>0</TILE>\r\n"
                           "<PATH/>\r\n"
                           "</BKIMAGE>\r\n"
                           "<PANEL>\r\n"
                           "<X>48</X>\r\n"
                           "<Y>24</Y>\r\n"
                           "<W>168</W>\r\n"
                           "<H>24</H>\r\n"
                           "<EXPANDED>0</EXPANDED>\r\n"
                           "<LASTNAME>Doe</LASTNAME>\r\n"
                           "<FIRSTNAME>Jane</FIRSTNAME>\r\n"
                           "<CARD>00012345</CARD>\r\n"
                           "<ID>17</ID>\r\n"
                           "</PANEL>\r\n"
                           "</ZVPANEL>\r\n";

PanelFileTablet tablet(const QString &id, int x = 0, int y = 0)
{
    PanelFileTablet t;
    t.id = id;
    t.x = x;
    t.y = y;
    t.lastName = "Last " + id;
    t.firstName = "First " + id;
    t.card = "C" + id;
    return t;
}

// A file with one PANEL whose children are given as markup.
PanelFileTablet onePanel(const QByteArray &children)
{
    const PanelFileData d = CPanelFile::load("<ZVPANEL><PANEL>" + children + "</PANEL></ZVPANEL>");
    EXPECT_EQ(d.tablets.size(), 1);
    return d.tablets.value(0);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(PanelFileStore, SampleComesOutByteForByteAndReadsBack)
{
    PanelFileData d;
    PanelFileTablet t;
    t.x = 48;
    t.y = 24;
    t.lastName = "Doe";
    t.firstName = "Jane";
    t.card = "00012345";
    t.id = "17";
    d.tablets << t;
    EXPECT_EQ(CPanelFile::store(d), kSample);

    const PanelFileData back = CPanelFile::load(kSample);
    EXPECT_TRUE(back.backgroundPresent);
    d.backgroundPresent = true;
    EXPECT_EQ(back, d);
}

TEST(PanelFileStore, EmptyPanel)
{
    EXPECT_EQ(CPanelFile::store({}), QByteArray("<ZVPANEL>\r\n<BKIMAGE>\r\n<USE>0</USE>\r\n<TILE>0</TILE>\r\n"
                                                "<PATH/>\r\n</BKIMAGE>\r\n</ZVPANEL>\r\n"));
}

TEST(PanelFileStore, SpecialCharactersAndBackgroundRoundTrip)
{
    PanelFileData d;
    d.backgroundPresent = true;
    d.useImage = true;
    d.tile = true;
    d.imagePath = "/home/u/slike/pozadina <1>.jpg";
    PanelFileTablet t = tablet("5", -24, 23976);
    t.lastName = "A&B <x>";
    t.firstName = QString::fromUtf8("Đorđe \"Đ\" O'Neil");
    t.expanded = true;
    t.h = 96;
    d.tablets << t;
    const QByteArray bytes = CPanelFile::store(d);
    EXPECT_TRUE(bytes.contains("\r\n<LASTNAME>A&amp;B &lt;x&gt;</LASTNAME>\r\n"));
    EXPECT_TRUE(bytes.contains("<FIRSTNAME>\xC4\x90or\xC4\x91\x65 \"\xC4\x90\" O'Neil</FIRSTNAME>"));
    EXPECT_TRUE(bytes.contains("<USE>1</USE>\r\n<TILE>1</TILE>\r\n<PATH>/home/u/slike/pozadina &lt;1&gt;.jpg</PATH>"));
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(CPanelFile::load(bytes), d);
}

TEST(PanelFileStore, TabletsInByteWiseIdOrder)
{
    PanelFileData d;
    d.tablets << tablet("9") << tablet("b") << tablet("10") << tablet("B") << tablet(QString::fromUtf8("Ž"));
    const PanelFileData back = CPanelFile::load(CPanelFile::store(d));
    QStringList ids;
    for (const PanelFileTablet &t : back.tablets)
        ids << t.id;
    EXPECT_EQ(ids, (QStringList{"10", "9", "B", "b", QString::fromUtf8("Ž")}));
    EXPECT_EQ(back.tablets[1], tablet("9"));
}

TEST(PanelFileLoad, NumbersReadTheWayScanfDoes)
{
    EXPECT_EQ(onePanel("<X> 12ab</X><Y>-7</Y><W>+200</W><H>\t96 </H>").x, 12);
    const PanelFileTablet t = onePanel("<X> 12ab</X><Y>-7</Y><W>+200</W><H>\t96 </H><ID>1</ID>");
    EXPECT_EQ(t.y, -7);
    EXPECT_EQ(t.w, 200);
    EXPECT_EQ(t.h, 96);
    // No number keeps the defaults; huge numbers saturate instead of overflowing.
    const PanelFileTablet u = onePanel("<X>abc</X><Y></Y><W>-</W><H>99999999999999999999</H>");
    EXPECT_EQ(u.x, 0);
    EXPECT_EQ(u.y, 0);
    EXPECT_EQ(u.w, 168);
    EXPECT_EQ(u.h, 2147483647);
}

TEST(PanelFileLoad, FlagsAreExact)
{
    EXPECT_FALSE(onePanel("<EXPANDED>0</EXPANDED>").expanded);
    EXPECT_TRUE(onePanel("<EXPANDED>1</EXPANDED>").expanded);
    EXPECT_TRUE(onePanel("<EXPANDED>no</EXPANDED>").expanded);
    EXPECT_TRUE(onePanel("<EXPANDED/>").expanded);
    EXPECT_TRUE(onePanel("<EXPANDED> 0</EXPANDED>").expanded);

    const auto background = [](const QByteArray &use, const QByteArray &tile) {
        return CPanelFile::load("<Z><BKIMAGE><USE>" + use + "</USE><TILE>" + tile +
                                "</TILE><PATH>p</PATH></BKIMAGE></Z>");
    };
    EXPECT_TRUE(background("1", "1").useImage);
    EXPECT_TRUE(background("1", "1").tile);
    EXPECT_FALSE(background("01", "1 ").useImage);
    EXPECT_FALSE(background("01", "1 ").tile);
    EXPECT_FALSE(background("true", "").tile);
    EXPECT_EQ(background("1", "1").imagePath, "p");
}

TEST(PanelFileLoad, MissingElementsTakeTheDataFoundLast)
{
    // USE is missing (nothing found yet: empty), PATH is missing (TILE's data is taken).
    const PanelFileData d = CPanelFile::load("<Z><BKIMAGE><TILE>1</TILE></BKIMAGE></Z>");
    EXPECT_TRUE(d.backgroundPresent);
    EXPECT_FALSE(d.useImage);
    EXPECT_TRUE(d.tile);
    EXPECT_EQ(d.imagePath, "1");
    // Searches go forward only: Y before X is not seen once X has been found.
    const PanelFileTablet t = onePanel("<Y>5</Y><X>3</X><ID>7</ID>");
    EXPECT_EQ(t.x, 3);
    EXPECT_EQ(t.y, 3);
    EXPECT_EQ(t.id, "7");
}

TEST(PanelFileLoad, AnyRootNameAndNoBackground)
{
    const PanelFileData d = CPanelFile::load("<?xml version=\"1.0\"?>\n<OTHER>\n<!-- c -->\n<PANEL><ID>4</ID></PANEL>"
                                             "<PANEL><ID>3</ID></PANEL></OTHER>");
    EXPECT_FALSE(d.backgroundPresent);
    ASSERT_EQ(d.tablets.size(), 2);
    EXPECT_EQ(d.tablets[0].id, "4"); // document order
    EXPECT_EQ(d.tablets[1].id, "3");
    EXPECT_EQ(d.tablets[0].w, 168);
    EXPECT_EQ(d.tablets[0].h, 24);
}

TEST(PanelFileLoad, UnparseableFileIsEmpty)
{
    for (const QByteArray &bytes :
         {QByteArray(), QByteArray("not a panel"), QByteArray("<ZVPANEL><BKIMAGE><USE>1</USE></BKIMAGE>"),
          kSample.left(kSample.size() / 2), QByteArray("<ZVPANEL><PANEL><ID>1</IX></PANEL></ZVPANEL>")}) {
        const PanelFileData d = CPanelFile::load(bytes);
        EXPECT_EQ(d, PanelFileData()) << bytes.constData();
    }
}

TEST(PanelFileLoad, DuplicateIdKeepsTheFirst)
{
    const PanelFileData d = CPanelFile::load("<Z><PANEL><X>1</X><ID>8</ID></PANEL><PANEL><X>2</X><ID>9</ID></PANEL>"
                                             "<PANEL><X>3</X><ID>8</ID></PANEL></Z>");
    ASSERT_EQ(d.tablets.size(), 2);
    EXPECT_EQ(d.tablets[0].id, "8");
    EXPECT_EQ(d.tablets[0].x, 1);
    EXPECT_EQ(d.tablets[1].id, "9");
}

TEST(PanelFileLoad, Windows1250FileReadsRight)
{
    // "Šćž" in Windows-1250 is 8A E6 9E: not valid UTF-8.
    QByteArray bytes = kSample;
    bytes.replace("Doe", "\x8A\xE6\x9E");
    bytes.replace("Jane", "\xC8\xE8\xD0\xF0\xA9\x80");
    const PanelFileData d = CPanelFile::load(bytes);
    ASSERT_EQ(d.tablets.size(), 1);
    EXPECT_EQ(d.tablets[0].lastName, QString::fromUtf8("Šćž"));
    EXPECT_EQ(d.tablets[0].firstName, QString::fromUtf8("ČčĐđ©€"));
    // The same name in UTF-8 is taken as UTF-8.
    bytes = kSample;
    bytes.replace("Doe", "\xC5\xA0\xC4\x87\xC5\xBE");
    EXPECT_EQ(CPanelFile::load(bytes).tablets.value(0).lastName, QString::fromUtf8("Šćž"));
}

TEST(PanelFileSave, WritesAndReadsAFile)
{
    TempDir dir;
    const QString path = dir.file("panel.zvl");
    PanelFileData d;
    d.backgroundPresent = true;
    d.tablets << tablet("2", 24, 48) << tablet("1", 0, 0);
    QString error;
    ASSERT_TRUE(CPanelFile::save(path, d, &error)) << error.toStdString();
    EXPECT_EQ(readAll(path), CPanelFile::store(d));
    bool ok = false;
    const PanelFileData back = CPanelFile::loadFile(path, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(back.tablets.size(), 2);
    EXPECT_EQ(back.tablets[0], d.tablets[1]);
    EXPECT_EQ(back.tablets[1], d.tablets[0]);

    CPanelFile::loadFile(dir.file("missing.zvl"), &ok);
    EXPECT_FALSE(ok);
}

TEST(PanelFileSave, ReadOnlyFolderFailsAndKeepsTheFile)
{
    TempDir dir;
    const QString folder = dir.file("ro");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/panel.zvl";
    QString error;
    ASSERT_TRUE(CPanelFile::save(path, {}, &error));
    const QByteArray before = readAll(path);
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    if (access(folder.toLocal8Bit().constData(), W_OK) == 0) {
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        GTEST_SKIP() << "permissions do not bind this user (root)";
    }
    PanelFileData d;
    d.tablets << tablet("1");
    EXPECT_FALSE(CPanelFile::save(path, d, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << error.toStdString();
    EXPECT_EQ(readAll(path), before);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(PanelFileSave, FullDiskFailsAndKeepsTheFile)
{
    // A file size limit makes writes fail the way a full disk does, for root as well.
    TempDir dir;
    const QString path = dir.file("panel.zvl");
    PanelFileData small;
    small.tablets << tablet("1");
    QString error;
    ASSERT_TRUE(CPanelFile::save(path, small, &error));
    const QByteArray before = readAll(path);

    PanelFileData big;
    for (int i = 0; i < 2000; ++i)
        big.tablets << tablet(QString::number(i));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = CPanelFile::save(path, big, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path))) << error.toStdString();
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"panel.zvl"}); // no temporary left
}
