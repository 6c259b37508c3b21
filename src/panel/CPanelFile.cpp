#include "panel/CPanelFile.h"

#include "app/CStringTable.h"
#include "markup/CTagDocument.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <climits>

namespace {

// Windows-1250 bytes 0x80 to 0xFF. The five bytes the code page leaves undefined map to the
// control character of the same number, as Windows itself converts them.
const char16_t kWindows1250High[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160, 0x2039, 0x015A,
    0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6,
    0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154,
    0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD,
    0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA,
    0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4,
    0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// The data of the next child called `name`; when there is none the child position stays and
// the data is that of the element found last, which is how files with gaps have always read.
QString nextChildData(CTagDocument &doc, const QString &name)
{
    doc.findChildElement(name);
    return doc.childData();
}

void readInt(CTagDocument &doc, const QString &name, int *value)
{
    int v = 0;
    if (CPanelFile::scanInt(nextChildData(doc, name), &v))
        *value = v;
}

} // namespace

QString CPanelFile::fromWindows1250(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (char b : bytes) {
        const unsigned char c = static_cast<unsigned char>(b);
        *out++ = QChar(c < 0x80 ? char16_t(c) : kWindows1250High[c - 0x80]);
    }
    return text;
}

bool CPanelFile::scanInt(const QString &text, int *value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    // "%d" skips the C locale's white space: space, tab, line feed, vertical tab, form feed, CR.
    while (i < n && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i >= n || text[i] < u'0' || text[i] > u'9')
        return false;
    long long v = 0;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        // Saturate instead of overflowing on absurd values.
        if (v <= static_cast<long long>(INT_MAX) + 1)
            v = v * 10 + (text[i].unicode() - u'0');
    }
    if (negative)
        v = -v;
    *value = static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    return true;
}

QByteArray CPanelFile::store(const PanelFileData &data)
{
    // The file lists tablets in the byte-wise order of their IDs, as the panel's map keeps them.
    QList<QPair<QByteArray, qsizetype>> order;
    order.reserve(data.tablets.size());
    for (qsizetype i = 0; i < data.tablets.size(); ++i)
        order.append({data.tablets[i].id.toUtf8(), i});
    std::stable_sort(order.begin(), order.end(), [](const auto &a, const auto &b) { return a.first < b.first; });

    CTagDocument doc;
    // About 180 bytes of markup per tablet besides its texts.
    doc.reserve(256 + data.imagePath.size() + data.tablets.size() * 240);
    doc.addElement(QStringLiteral("ZVPANEL"));
    doc.addChildElement(QStringLiteral("BKIMAGE"));
    doc.intoElement();
    doc.addChildElement(QStringLiteral("USE"), data.useImage ? QStringLiteral("1") : QStringLiteral("0"));
    doc.addChildElement(QStringLiteral("TILE"), data.tile ? QStringLiteral("1") : QStringLiteral("0"));
    doc.addChildElement(QStringLiteral("PATH"), data.imagePath);
    doc.outOfElement();
    for (const auto &entry : order) {
        const PanelFileTablet &t = data.tablets[entry.second];
        doc.addChildElement(QStringLiteral("PANEL"));
        doc.intoElement();
        doc.addChildElement(QStringLiteral("X"), QString::number(t.x));
        doc.addChildElement(QStringLiteral("Y"), QString::number(t.y));
        doc.addChildElement(QStringLiteral("W"), QString::number(t.w));
        doc.addChildElement(QStringLiteral("H"), QString::number(t.h));
        doc.addChildElement(QStringLiteral("EXPANDED"), t.expanded ? QStringLiteral("1") : QStringLiteral("0"));
        doc.addChildElement(QStringLiteral("LASTNAME"), t.lastName);
        doc.addChildElement(QStringLiteral("FIRSTNAME"), t.firstName);
        doc.addChildElement(QStringLiteral("CARD"), t.card);
        doc.addChildElement(QStringLiteral("ID"), t.id);
        doc.outOfElement();
    }
    return doc.document();
}

bool CPanelFile::save(const QString &path, const PanelFileData &data, QString *error)
{
    const QByteArray bytes = store(data);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = CStringTable::format(1043, QDir::toNativeSeparators(path)) + u'\n' + file.errorString();
    return false;
}

PanelFileData CPanelFile::load(const QByteArray &fileBytes)
{
    PanelFileData data;
    CTagDocument doc;
    if (!doc.setDocument(fileBytes.isValidUtf8() ? fileBytes : fromWindows1250(fileBytes).toUtf8()))
        return data;
    // The first element is the root, whatever its name.
    if (!doc.findElement())
        return data;
    if (doc.findChildElement(QStringLiteral("BKIMAGE"))) {
        data.backgroundPresent = true;
        doc.intoElement();
        data.useImage = nextChildData(doc, QStringLiteral("USE")) == u"1";
        data.tile = nextChildData(doc, QStringLiteral("TILE")) == u"1";
        data.imagePath = nextChildData(doc, QStringLiteral("PATH"));
        doc.outOfElement();
    }
    QSet<QString> ids;
    while (doc.findChildElement(QStringLiteral("PANEL"))) {
        doc.intoElement();
        PanelFileTablet t;
        readInt(doc, QStringLiteral("X"), &t.x);
        readInt(doc, QStringLiteral("Y"), &t.y);
        readInt(doc, QStringLiteral("W"), &t.w);
        readInt(doc, QStringLiteral("H"), &t.h);
        t.expanded = nextChildData(doc, QStringLiteral("EXPANDED")) != u"0";
        t.lastName = nextChildData(doc, QStringLiteral("LASTNAME"));
        t.firstName = nextChildData(doc, QStringLiteral("FIRSTNAME"));
        t.card = nextChildData(doc, QStringLiteral("CARD"));
        t.id = nextChildData(doc, QStringLiteral("ID"));
        doc.outOfElement();
        // The panel holds one tablet per ID: a second PANEL with a known ID is dropped.
        if (!ids.contains(t.id)) {
            ids.insert(t.id);
            data.tablets.append(t);
        }
    }
    return data;
}

PanelFileData CPanelFile::loadFile(const QString &path, bool *readOk)
{
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadOnly);
    const QByteArray bytes = ok ? file.readAll() : QByteArray();
    const bool readAll = ok && file.error() == QFileDevice::NoError;
    if (readOk)
        *readOk = readAll;
    return readAll ? load(bytes) : PanelFileData();
}
