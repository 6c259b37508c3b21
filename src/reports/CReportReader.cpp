#include "reports/CReportReader.h"

#include "reports/CReportBox.h"
#include "reports/CReportEllipse.h"
#include "reports/CReportField.h"
#include "reports/CReportGrid.h"
#include "reports/CReportLabel.h"
#include "reports/CReportLine.h"
#include "reports/CReportPicture.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>

namespace {

// The common head: edges, text and name; the kind's own attributes follow at token 7.
constexpr int kHeadTokens = 7;

void readHead(CReportItem &item, const QStringList &t)
{
    item.left = CReportReader::realAt(t, 0);
    item.top = CReportReader::realAt(t, 1);
    item.right = CReportReader::realAt(t, 2);
    item.bottom = CReportReader::realAt(t, 3);
    item.text = CReportReader::applyEscapes(CReportReader::textAt(t, 4));
    item.name = CReportReader::applyEscapes(CReportReader::textAt(t, 5));
}

// A line set whose on-token is non-zero takes its width, style and colour.
CLineStyle readLineSet(const QStringList &t, int at)
{
    CLineStyle s;
    const int on = CReportReader::wholeAt(t, at);
    if (on) {
        s.on = on;
        s.width = CReportReader::realAt(t, at + 1);
        s.style = CReportReader::wholeAt(t, at + 2);
        s.colour = CReportReader::wholeAt(t, at + 3);
    }
    return s;
}

void readShape(CReportItem &item, const QStringList &t)
{
    item.frame = readLineSet(t, kHeadTokens);
    item.fillOn = CReportReader::wholeAt(t, 11);
    if (item.fillOn)
        item.fillColour = CReportReader::wholeAt(t, 12);
}

void readText(CReportItem &item, const QStringList &t)
{
    item.fontFace = CReportReader::textAt(t, 7);
    item.fontSize = CReportReader::wholeAt(t, 8);
    item.bold = CReportReader::wholeAt(t, 9);
    item.italic = CReportReader::wholeAt(t, 10);
    item.underline = CReportReader::wholeAt(t, 11);
    item.strikeOut = CReportReader::wholeAt(t, 12);
    item.textColour = CReportReader::wholeAt(t, 13);
    item.textFormat = CReportReader::wholeAt(t, 14);
    item.charSet = 238;
}

void readGrid(CReportGrid &grid, const QStringList &t)
{
    grid.frame = readLineSet(t, 7);
    grid.columnLines = readLineSet(t, 11);
    grid.rowLines = readLineSet(t, 15);
    grid.RowsPerInch = CReportReader::wholeAt(t, 19);
    const QStringList specs = CReportReader::textAt(t, 20).split(QLatin1Char('|'));
    grid.columns.reserve(specs.size());
    for (const QString &spec : specs) {
        const QStringList a = spec.split(QLatin1Char('#'));
        CReportColumn c;
        c.width = CReportReader::realAt(a, 0);
        c.fontFace = CReportReader::textAt(a, 1);
        c.fontSize = CReportReader::wholeAt(a, 2);
        c.italic = CReportReader::wholeAt(a, 3);
        c.underline = CReportReader::wholeAt(a, 4);
        c.bold = CReportReader::wholeAt(a, 5);
        c.strikeOut = CReportReader::wholeAt(a, 6);
        c.data = CReportReader::wholeAt(a, 7);
        c.format = CReportReader::wholeAt(a, 8);
        c.charSet = 238;
        c.dataText = CReportReader::textAt(a, 9);
        grid.columns.push_back(std::move(c));
    }
}

} // namespace

int CReportReader::wholeAt(const QStringList &tokens, int i)
{
    if (i < 0 || i >= tokens.size())
        return 0;
    // atoi: blanks, a sign and the digits up to the first other character. Out-of-range values
    // are clamped instead of being undefined.
    const QByteArray bytes = tokens.at(i).toUtf8();
    const char *s = bytes.constData();
    while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-')
        negative = *s++ == '-';
    long long v = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        v = v * 10 + (*s - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

double CReportReader::realAt(const QStringList &tokens, int i)
{
    if (i < 0 || i >= tokens.size())
        return 0.0;
    // strtod with "." as the decimal point whatever the locale: strtod_l on the C locale.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    const QByteArray bytes = tokens.at(i).toUtf8();
    return strtod_l(bytes.constData(), nullptr, cLocale);
}

QString CReportReader::textAt(const QStringList &tokens, int i)
{
    return i >= 0 && i < tokens.size() ? tokens.at(i) : QString();
}

QString CReportReader::applyEscapes(QString text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text;
    text.replace(QLatin1String("\\colon"), QLatin1String(":"));
    text.replace(QLatin1String("\\semicolon"), QLatin1String(";"));
    text.replace(QLatin1String("\\comma"), QLatin1String(","));
    text.replace(QLatin1String("\\newline"), QLatin1String("\r\n"));
    return text;
}

std::unique_ptr<CReportItem> CReportReader::readLine(const QString &line)
{
    const QStringList parts = line.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return nullptr;
    const QString &kind = parts.at(0);
    QString attributes = parts.at(1);

    if (kind == QLatin1String("report_picture")) {
        while (attributes.endsWith(QLatin1Char(';')))
            attributes.chop(1);
        const QStringList t = attributes.split(QLatin1Char(','));
        auto pic = std::make_unique<CReportPicture>();
        pic->left = realAt(t, 0);
        pic->top = realAt(t, 1);
        pic->right = realAt(t, 2);
        pic->bottom = realAt(t, 3);
        pic->name = textAt(t, 5);
        pic->frame = readLineSet(t, 7);
        pic->loadFile(textAt(t, 4));
        return pic;
    }

    std::unique_ptr<CReportItem> item;
    if (kind == QLatin1String("report_box"))
        item = std::make_unique<CReportBox>();
    else if (kind == QLatin1String("report_ellipse"))
        item = std::make_unique<CReportEllipse>();
    else if (kind == QLatin1String("report_grid"))
        item = std::make_unique<CReportGrid>();
    else if (kind == QLatin1String("report_line"))
        item = std::make_unique<CReportLine>();
    else if (kind == QLatin1String("report_field"))
        item = std::make_unique<CReportField>();
    else if (kind == QLatin1String("report_label"))
        item = std::make_unique<CReportLabel>();
    else
        return nullptr;

    const QStringList t = attributes.split(QLatin1Char(','));
    readHead(*item, t);
    switch (item->type) {
    case CReportItem::Box:
    case CReportItem::Ellipse:
        readShape(*item, t);
        break;
    case CReportItem::Line:
        // A line is always drawn: its description is on whatever the template says.
        item->frame.on = 1;
        item->frame.width = realAt(t, 7);
        item->frame.style = wholeAt(t, 8);
        item->frame.colour = wholeAt(t, 9);
        break;
    case CReportItem::Field:
    case CReportItem::Label:
        readText(*item, t);
        break;
    case CReportItem::Grid:
        readGrid(static_cast<CReportGrid &>(*item), t);
        break;
    case CReportItem::Picture:
        break;
    }
    return item;
}
