// The template reader: line and token rules, the kinds and their attributes, escapes.
#include "TestSupport.h"
#include "reports/CReportEngine.h"
#include "reports/CReportField.h"
#include "reports/CReportGrid.h"
#include "reports/CReportPicture.h"
#include "reports/CReportReader.h"

#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {

template <class T> std::unique_ptr<T> read(const QString &line)
{
    std::unique_ptr<CReportItem> item = CReportReader::readLine(line);
    if (!item || !dynamic_cast<T *>(item.get()))
        return nullptr;
    return std::unique_ptr<T>(static_cast<T *>(item.release()));
}

} // namespace

TEST(ReportReader, FieldHeadFontAndEscapesInTextAndNameOnly)
{
    auto f = read<CReportField>("report_field:0.5,1.25,7.5,1.5,Smith\\comma "
                                "John\\newline\\colon\\semicolon,Na\\commame,3,Ar\\commaial,120,1,0,1,0,"
                                "255,37");
    ASSERT_TRUE(f);
    EXPECT_DOUBLE_EQ(f->left, 0.5);
    EXPECT_DOUBLE_EQ(f->top, 1.25);
    EXPECT_DOUBLE_EQ(f->right, 7.5);
    EXPECT_DOUBLE_EQ(f->bottom, 1.5);
    EXPECT_EQ(f->text, QString("Smith, John\r\n:;"));
    EXPECT_EQ(f->name, QString("Na,me"));
    EXPECT_EQ(f->fontFace, QString("Ar\\commaial")); // no escapes in the font face
    EXPECT_EQ(f->fontSize, 120);
    EXPECT_EQ(f->bold, 1);
    EXPECT_EQ(f->italic, 0);
    EXPECT_EQ(f->underline, 1);
    EXPECT_EQ(f->strikeOut, 0);
    EXPECT_EQ(f->textColour, 255);
    EXPECT_EQ(f->textFormat, 37);
    EXPECT_EQ(f->charSet, 238);

    // A bare "," shifts every later token by one.
    auto shifted = read<CReportField>("report_field:0,0,1,1,Smith, John,Name,0,Arial,120");
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->text, QString("Smith"));
    EXPECT_EQ(shifted->name, QString(" John"));
    EXPECT_EQ(shifted->fontFace, QString("0"));
    EXPECT_EQ(shifted->fontSize, 0); // "Arial" reads as 0
}

TEST(ReportReader, LinesThatGiveNoObject)
{
    EXPECT_FALSE(CReportReader::readLine(""));
    EXPECT_FALSE(CReportReader::readLine("a free comment line"));
    EXPECT_FALSE(CReportReader::readLine("report_label:0,0,1,1,Time: now,T,0,Arial,100")); // bare ":"
    EXPECT_FALSE(CReportReader::readLine("Report_label:0,0,1,1,x,T,0,Arial,100"));
    EXPECT_FALSE(CReportReader::readLine("report_labels:0,0,1,1,x,T,0,Arial,100"));
    EXPECT_FALSE(CReportReader::readLine(" report_label:0,0,1,1,x,T,0,Arial,100"));
    // An empty attribute list is still an object, every token missing.
    auto empty = read<CReportField>("report_field:");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->fontSize, 0);
    EXPECT_TRUE(empty->name.isEmpty());
}

TEST(ReportReader, TokensAreNotTrimmedAndReadLikeTheCLibrary)
{
    auto f = read<CReportField>("report_field:  1.5e0x, -2.25 ,3,4,t, Name ,0, Arial , 120pt,+1,-0,7x,,");
    ASSERT_TRUE(f);
    EXPECT_DOUBLE_EQ(f->left, 1.5);
    EXPECT_DOUBLE_EQ(f->top, -2.25);
    EXPECT_EQ(f->name, QString(" Name "));
    EXPECT_EQ(f->fontFace, QString(" Arial "));
    EXPECT_EQ(f->fontSize, 120);
    EXPECT_EQ(f->bold, 1);
    EXPECT_EQ(f->italic, 0);
    EXPECT_EQ(f->underline, 7);
    EXPECT_EQ(f->strikeOut, 0);
    EXPECT_EQ(CReportReader::wholeAt({"99999999999999"}, 0), INT_MAX);
    EXPECT_EQ(CReportReader::wholeAt({"-99999999999999"}, 0), INT_MIN);

    CReportEngine engine;
    ASSERT_TRUE(engine.LoadFromText("report_field:0,0,1,1,x, Name,0,Arial,100\n", 0));
    EXPECT_EQ(engine.GetObjectType("Name", -1), 0);
    EXPECT_EQ(engine.GetObjectType(" Name", -1), CReportItem::Field);
}

TEST(ReportReader, BoxLineAndLineSetsTakenOnlyWhenOn)
{
    auto box = read<CReportItem>("report_box:1,2,3,4,,B,0,1,0.02,1,65280,1,16711680");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->type, CReportItem::Box);
    EXPECT_EQ(box->frame.on, 1);
    EXPECT_DOUBLE_EQ(box->frame.width, 0.02);
    EXPECT_EQ(box->frame.style, 1);
    EXPECT_EQ(box->frame.colour, 65280);
    EXPECT_EQ(box->fillOn, 1);
    EXPECT_EQ(box->fillColour, 16711680);

    auto off = read<CReportItem>("report_ellipse:1,2,3,4,,E,0,0,0.02,1,65280,0,255");
    ASSERT_TRUE(off);
    EXPECT_EQ(off->type, CReportItem::Ellipse);
    EXPECT_EQ(off->frame.on, 0);
    EXPECT_DOUBLE_EQ(off->frame.width, 0.0);
    EXPECT_EQ(off->frame.colour, 0);
    EXPECT_EQ(off->fillColour, 0);

    auto line = read<CReportItem>("report_line:1,2,7,2,,L,0,0.01,2,255");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->type, CReportItem::Line);
    EXPECT_DOUBLE_EQ(line->frame.width, 0.01);
    EXPECT_EQ(line->frame.style, 2);
    EXPECT_EQ(line->frame.colour, 255);
}

TEST(ReportReader, GridColumns)
{
    auto one = read<CReportGrid>("report_grid:1,2,7,9,,Grid,0,1,0.02,0,0,1,0.01,0,0,0,0,0,0,4,5#Ar\\commaial#100#1#0#1#"
                                 "0#42#37#note\\comma");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->RowsPerInch, 4);
    EXPECT_EQ(one->StartPage, 0);
    EXPECT_EQ(one->frame.on, 1);
    EXPECT_EQ(one->columnLines.on, 1);
    EXPECT_DOUBLE_EQ(one->columnLines.width, 0.01);
    EXPECT_EQ(one->rowLines.on, 0);
    EXPECT_EQ(one->capacity(), 28);
    ASSERT_EQ(one->columns.size(), 1u);
    const CReportColumn &c = one->columns[0];
    EXPECT_DOUBLE_EQ(c.width, 5.0);
    EXPECT_EQ(c.fontFace, QString("Ar\\commaial"));
    EXPECT_EQ(c.fontSize, 100);
    EXPECT_EQ(c.italic, 1);
    EXPECT_EQ(c.underline, 0);
    EXPECT_EQ(c.bold, 1);
    EXPECT_EQ(c.strikeOut, 0);
    EXPECT_EQ(c.data, 42);
    EXPECT_EQ(c.format, 37);
    EXPECT_EQ(c.dataText, QString("note\\comma"));

    auto several = read<CReportGrid>("report_grid:0,0,8,1,,G,0,0,0,0,0,0,0,0,0,0,0,0,0,10,1|0#Arial|2|0");
    ASSERT_TRUE(several);
    ASSERT_EQ(several->columns.size(), 4u);
    EXPECT_DOUBLE_EQ(several->columns[1].width, 0.0);
    EXPECT_EQ(several->columns[1].fontFace, QString("Arial"));
    EXPECT_DOUBLE_EQ(several->columns[2].width, 2.0);
}

TEST(ReportReader, PictureDropsTrailingSemicolonsAndLoadsItsFile)
{
    testsupport::TempDir dir;
    QImage img(4, 2, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(dir.file("logo.bmp"), "BMP"));

    auto pic = read<CReportPicture>("report_picture:1,2,3,4," + dir.file("logo.bmp") + ",Logo,0,5,0.02,1,255");
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->name, QString("Logo"));
    EXPECT_EQ(pic->frame.on, 5);
    EXPECT_EQ(pic->frame.colour, 255);
    EXPECT_EQ(pic->image().size(), QSize(4, 2));

    // The file name is the last token: it loads only once the ";" are gone.
    auto trailing = read<CReportPicture>("report_picture:1,2,3,4," + dir.file("logo.bmp") + ";;;");
    ASSERT_TRUE(trailing);
    EXPECT_EQ(trailing->fileName, dir.file("logo.bmp"));
    EXPECT_FALSE(trailing->image().isNull());

    auto semi = read<CReportPicture>("report_picture:1,2,3,4,,Lo\\commago;;,0,0;;;");
    ASSERT_TRUE(semi);
    EXPECT_EQ(semi->name, QString("Lo\\commago;;")); // no escapes, and only trailing ";" go
    EXPECT_TRUE(semi->image().isNull());
    EXPECT_EQ(semi->frame.on, 0);
}

TEST(ReportReader, FilesInUtf8AndWindows1250AndBlockText)
{
    testsupport::TempDir dir;
    QFile f(dir.file("t.rpt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // "Čačak" in Windows-1250, with CR LF line ends, a comment and an empty line.
    f.write("comment\r\n\r\nreport_label:0,0,1,1,\xC8\x61\xE8\x61k,A,0,Arial,100\r\nreport_box:0,0,1,1,,B\r\n");
    f.close();
    CReportEngine engine;
    ASSERT_TRUE(engine.LoadTemplate(dir.file("t.rpt")));
    ASSERT_EQ(engine.GetObjectCount(0), 2);
    EXPECT_EQ(engine.FindObject("A")->text, QString::fromUtf8("Čačak"));
    EXPECT_EQ(engine.GetObjectName(1, 0), QString("B"));

    EXPECT_FALSE(engine.LoadTemplate(dir.file("missing.rpt")));
    EXPECT_FALSE(engine.GetErrorText().isEmpty());
    EXPECT_LE(engine.GetErrorText().size(), 255);

    ASSERT_TRUE(engine.LoadFromText("\r\n\r\nreport_line:0,1,2,1,,L\r\n\r\nreport_label:0,0,1,1,x,X\r\n", 0));
    EXPECT_TRUE(engine.GetErrorText().isEmpty());
    EXPECT_EQ(engine.GetObjectCount(1), 2);
    EXPECT_FALSE(engine.LoadFromText("nothing here\nReport_box:0,0,1,1\n", 0));
    EXPECT_EQ(engine.GetContainerCount(), 2);
}
