#include "markup/CTagDocument.h"

#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Every element below the main position, depth first, read through the navigation only:
// "name=data{children}".
QString tree(CTagDocument &doc)
{
    QString out;
    while (doc.findChildElement()) {
        out += doc.childName() + u'=' + doc.childData() + u'{';
        doc.intoElement();
        out += tree(doc);
        doc.outOfElement();
        out += u'}';
    }
    return out;
}

QString rootTree(CTagDocument &doc)
{
    doc.resetPosition();
    if (!doc.findElement())
        return QStringLiteral("<none>");
    return tree(doc);
}

QString parseError(const QByteArray &text)
{
    CTagDocument doc;
    EXPECT_FALSE(doc.setDocument(text)) << text.constData();
    EXPECT_FALSE(doc.findElement());
    EXPECT_FALSE(doc.findChildElement());
    EXPECT_EQ(doc.document(), text);
    return doc.error();
}

} // namespace

TEST(TagDocumentWrite, ThreeLevelsComeOutByteForByte)
{
    CTagDocument doc;
    EXPECT_FALSE(doc.setDocument({}));
    ASSERT_TRUE(doc.addElement("R"));
    EXPECT_EQ(doc.document(), QByteArray("<R/>\r\n"));
    ASSERT_TRUE(doc.addChildElement("A"));
    EXPECT_EQ(doc.document(), QByteArray("<R>\r\n<A/>\r\n</R>\r\n"));
    ASSERT_TRUE(doc.intoElement());
    ASSERT_TRUE(doc.addChildElement("B", "x"));
    EXPECT_EQ(doc.document(), QByteArray("<R>\r\n<A>\r\n<B>x</B>\r\n</A>\r\n</R>\r\n"));

    // The positions kept while writing agree with a fresh parse of the text.
    CTagDocument parsed;
    ASSERT_TRUE(parsed.setDocument(doc.document()));
    EXPECT_EQ(rootTree(doc), rootTree(parsed));
    EXPECT_EQ(rootTree(parsed), "A={B=x{}}");
}

TEST(TagDocumentWrite, DataIsEscapedAndReadsBack)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.addElement("R"));
    ASSERT_TRUE(doc.addChildElement("D", "a<b & c>d 'q' \"w\""));
    ASSERT_TRUE(doc.addChildElement("E", ""));
    EXPECT_EQ(doc.document(), QByteArray("<R>\r\n<D>a&lt;b &amp; c&gt;d 'q' \"w\"</D>\r\n<E/>\r\n</R>\r\n"));
    CTagDocument parsed;
    ASSERT_TRUE(parsed.setDocument(doc.document()));
    ASSERT_TRUE(parsed.findChildElement("D"));
    EXPECT_EQ(parsed.childData(), "a<b & c>d 'q' \"w\"");
    // Non-ASCII text goes out as UTF-8 and comes back whole.
    ASSERT_TRUE(parsed.addChildElement("F", QString::fromUtf8("Šćž")));
    EXPECT_EQ(parsed.childData(), QString::fromUtf8("Šćž"));
    EXPECT_TRUE(parsed.document().contains("<F>\xC5\xA0\xC4\x87\xC5\xBE</F>\r\n"));
    const QString wide = QString::fromUtf8("\xF0\x9F\x98\x80 \xE2\x82\xAC \xC3\xA9 ~");
    ASSERT_TRUE(parsed.addChildElement("G", wide));
    EXPECT_EQ(parsed.childData(), wide);
    EXPECT_TRUE(parsed.document().contains("<G>" + wide.toUtf8() + "</G>"));
    // A leading U+FEFF is data, not a byte-order mark to drop.
    const QString marks = QString(QChar(0xFEFF)) + QChar(0xFEFF) + u'x';
    ASSERT_TRUE(parsed.addChildElement("I", marks));
    CTagDocument reread;
    ASSERT_TRUE(reread.setDocument(parsed.document()));
    ASSERT_TRUE(reread.findChildElement("I"));
    EXPECT_EQ(reread.childData(), marks);
    // A lone surrogate cannot be written as UTF-8; it becomes the replacement character.
    ASSERT_TRUE(parsed.addChildElement("H", QString(QChar(0xD800)) + u'a'));
    EXPECT_EQ(parsed.childData(), QString::fromUtf8("\xEF\xBF\xBD"
                                                    "a"));
}

TEST(TagDocumentWrite, RefusedWithoutPlaceOrName)
{
    CTagDocument doc;
    EXPECT_FALSE(doc.addChildElement("A")); // no main position
    ASSERT_TRUE(doc.addElement("R"));
    doc.resetPosition();
    EXPECT_FALSE(doc.addElement("S")); // a second root
    EXPECT_FALSE(doc.addChildElement("A"));
    ASSERT_TRUE(doc.findElement());
    EXPECT_FALSE(doc.addChildElement(""));
    EXPECT_FALSE(doc.addChildElement("a b"));
    EXPECT_FALSE(doc.addChildElement("a/"));
    EXPECT_EQ(doc.document(), QByteArray("<R/>\r\n"));
}

TEST(TagDocumentWrite, InsertsAfterMainAndBeforeEndTag)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<R>\r\n<A>1</A>\r\n<C><D>4</D></C>\r\n</R>\r\n"));
    ASSERT_TRUE(doc.findElement());
    ASSERT_TRUE(doc.findChildElement("A"));
    ASSERT_TRUE(doc.intoElement()); // main = A, parent = R
    ASSERT_TRUE(doc.addElement("B", "2"));
    EXPECT_EQ(doc.document(), QByteArray("<R>\r\n<A>1</A>\r\n<B>2</B>\r\n<C><D>4</D></C>\r\n</R>\r\n"));
    ASSERT_TRUE(doc.findElement("C"));
    ASSERT_TRUE(doc.findChildElement("D"));
    EXPECT_EQ(doc.childData(), "4");
    ASSERT_TRUE(doc.addChildElement("E", "5")); // after D, before C's end tag
    EXPECT_EQ(doc.document(), QByteArray("<R>\r\n<A>1</A>\r\n<B>2</B>\r\n<C><D>4</D><E>5</E>\r\n</C>\r\n</R>\r\n"));

    // With no main position Add element appends after the last child.
    doc.resetPosition();
    ASSERT_TRUE(doc.findElement());
    ASSERT_TRUE(doc.findChildElement("A"));
    ASSERT_TRUE(doc.intoElement());
    ASSERT_TRUE(doc.outOfElement());
    ASSERT_TRUE(doc.findChildElement("C"));
    ASSERT_TRUE(doc.intoElement());
    ASSERT_TRUE(doc.intoElement()); // main = none inside C
    ASSERT_TRUE(doc.addElement("F"));
    CTagDocument parsed;
    ASSERT_TRUE(parsed.setDocument(doc.document()));
    EXPECT_EQ(rootTree(parsed), "A=1{}B=2{}C={D=4{}E=5{}F={}}");
    EXPECT_EQ(rootTree(doc), rootTree(parsed));
}

TEST(TagDocumentWrite, ParentWithoutContentGetsALineEnd)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<R><A></A><Z a='1' /></R>"));
    ASSERT_TRUE(doc.findChildElement("A"));
    ASSERT_TRUE(doc.intoElement());
    ASSERT_TRUE(doc.addChildElement("B", "x"));
    EXPECT_EQ(doc.document(), QByteArray("<R><A>\r\n<B>x</B>\r\n</A><Z a='1' /></R>"));
    ASSERT_TRUE(doc.findElement("Z"));
    ASSERT_TRUE(doc.addChildElement("Y"));
    EXPECT_EQ(doc.document(), QByteArray("<R><A>\r\n<B>x</B>\r\n</A><Z a='1' >\r\n<Y/>\r\n</Z></R>"));
    EXPECT_EQ(rootTree(doc), "A={B=x{}}Z={Y={}}");

    // A start tag that would still end in "/" keeps a space before its ">".
    ASSERT_TRUE(doc.setDocument("<R//>"));
    ASSERT_TRUE(doc.findElement());
    ASSERT_TRUE(doc.addChildElement("C"));
    EXPECT_EQ(doc.document(), QByteArray("<R/ >\r\n<C/>\r\n</R>"));
    CTagDocument parsed;
    ASSERT_TRUE(parsed.setDocument(doc.document()));
    EXPECT_EQ(rootTree(parsed), "C={}");
}

TEST(TagDocumentWrite, RandomEditsKeepPositionsTrue)
{
    // Whatever the order of insertions, the kept positions must equal a fresh parse.
    QRandomGenerator rng(4711);
    for (int round = 0; round < 40; ++round) {
        CTagDocument doc;
        ASSERT_TRUE(doc.addElement("R"));
        for (int step = 0; step < 60; ++step) {
            const QString name = QStringList{"A", "B", "C"}.at(rng.bounded(3));
            const QString data = rng.bounded(2) ? QString::number(step) : QString();
            switch (rng.bounded(6)) {
            case 0:
                doc.addChildElement(name, data);
                break;
            case 1:
                doc.addElement(name, data);
                break;
            case 2:
                doc.intoElement();
                break;
            case 3:
                doc.outOfElement();
                break;
            case 4:
                doc.findChildElement();
                break;
            default:
                doc.findElement();
                break;
            }
        }
        CTagDocument parsed;
        ASSERT_TRUE(parsed.setDocument(doc.document())) << parsed.error().toStdString();
        EXPECT_EQ(rootTree(doc), rootTree(parsed)) << doc.document().constData();
    }
}

TEST(TagDocumentParse, NavigationFindsChildrenInOrder)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<A><B>1</B><C/></A>"));
    EXPECT_TRUE(doc.error().isEmpty());
    ASSERT_TRUE(doc.findChildElement("B")); // finds the root first
    EXPECT_EQ(doc.childData(), "1");
    ASSERT_TRUE(doc.findChildElement("C"));
    EXPECT_EQ(doc.childData(), "");
    EXPECT_FALSE(doc.findChildElement("B")); // searches only forward
    EXPECT_EQ(doc.childName(), "C");         // and a failed search moves nothing
    EXPECT_FALSE(doc.findElement());         // the root has no sibling

    EXPECT_FALSE(doc.outOfElement());
    ASSERT_TRUE(doc.intoElement()); // parent A, main C, no child
    EXPECT_EQ(doc.childData(), "");
    EXPECT_FALSE(doc.findChildElement()); // C is empty
    ASSERT_TRUE(doc.outOfElement());
    EXPECT_EQ(doc.childName(), "C");
    doc.resetPosition();
    EXPECT_FALSE(doc.intoElement());
}

TEST(TagDocumentParse, NamesMatchExactly)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<R><XY>1</XY><X a=\"v\">2</X></R>"));
    ASSERT_TRUE(doc.findChildElement("X"));
    EXPECT_EQ(doc.childData(), "2");
    doc.resetPosition();
    EXPECT_FALSE(doc.findChildElement("x"));
    EXPECT_FALSE(doc.findChildElement("XYZ"));
    ASSERT_TRUE(doc.findChildElement("XY"));
    EXPECT_EQ(doc.childData(), "1");
}

TEST(TagDocumentParse, SkipsCommentsInstructionsAndDeclarations)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<?xml version=\"1.0\"?>\r\n<!-- a <B> comment -->\r\n"
                                "<!DOCTYPE R [ <!ENTITY e \"x>y\"> ]>\r\n"
                                "<R><?pi <A>?><A>1</A><!-- between --><![CDATA[<B>2</B>]]><C>3</C></R>trailing <"));
    EXPECT_EQ(rootTree(doc), "A=1{}C=3{}");
}

TEST(TagDocumentParse, DataDecodesEntitiesAndCdata)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<R><X><![CDATA[a<b]]></X><X>a&lt;b</X><X> \r\n<![CDATA[&amp;]]> </X>"
                                "<X>&amp;&copy;&lt;&gt;&apos;&quot;&</X><X> keep spaces </X>"
                                "<X><![CDATA[a]]>b</X><X>a<Y/>b</X></R>"));
    QStringList data;
    while (doc.findChildElement("X"))
        data << doc.childData();
    EXPECT_EQ(data, (QStringList{"a<b", "a<b", "&amp;", "&&copy;<>'\"&", " keep spaces ", "a", ""}));
}

TEST(TagDocumentParse, EachErrorMessage)
{
    EXPECT_EQ(parseError(""), "Element tag not found");
    EXPECT_EQ(parseError("no markup at all"), "Element tag not found");
    EXPECT_EQ(parseError("</A>"), "Element tag not found");
    EXPECT_EQ(parseError("<  "), "Abrupt end within tag");
    EXPECT_EQ(parseError("<\"A\">"), "Tag starts with quote");
    EXPECT_EQ(parseError("<!-- open"), "Invalid node");
    EXPECT_EQ(parseError("<?pi"), "Invalid node");
    EXPECT_EQ(parseError("<R><![CDATA[x</R>"), "Invalid node");
    EXPECT_EQ(parseError("<!DOCTYPE R [ > ]"), "Invalid node");
    EXPECT_EQ(parseError("<R><A"), "End of tag not found");
    EXPECT_EQ(parseError("<A>"), "End tag of A element not found");
    EXPECT_EQ(parseError("<A><B>text"), "End tag of B element not found");
    EXPECT_EQ(parseError("<A><B></C></A>"), "End tag does not correspond to B");
    EXPECT_EQ(parseError("<A></AB>"), "End tag does not correspond to A");
    EXPECT_EQ(parseError("<A></A"), "End tag not completed for element A");
    // "Expecting end tag of element" cannot be produced: children are read up to the "</".
}

TEST(TagDocumentParse, AFailedParseLeavesNoElementsButTheText)
{
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument("<A/>"));
    ASSERT_TRUE(doc.findElement());
    EXPECT_FALSE(doc.setDocument("<?x?>\n<B>"));
    EXPECT_EQ(doc.elementCount(), 0);
    EXPECT_FALSE(doc.findElement());
    // The text stays, and a new root goes after it.
    ASSERT_TRUE(doc.addElement("R", "1"));
    EXPECT_EQ(doc.document(), QByteArray("<?x?>\n<B><R>1</R>\r\n"));
    ASSERT_TRUE(doc.setDocument("<A/>"));
    EXPECT_TRUE(doc.error().isEmpty());
}

TEST(TagDocumentParse, TableGrowsForManyElements)
{
    const int count = 20000;
    QByteArray text = "<R>";
    for (int i = 0; i < count; ++i)
        text += "<a>" + QByteArray::number(i) + "</a>";
    text += "</R>";
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument(text));
    EXPECT_EQ(doc.elementCount(), count + 1);
    // Starts at length / 64 + 8 entries and grows by half each time it is full.
    int expected = static_cast<int>(text.size() / 64 + 8);
    while (expected < count + 2)
        expected += expected / 2;
    EXPECT_EQ(doc.tableSize(), expected);
    int seen = 0;
    while (doc.findChildElement("a")) {
        ASSERT_EQ(doc.childData(), QString::number(seen));
        ++seen;
    }
    EXPECT_EQ(seen, count);
}

TEST(TagDocumentParse, DeepNestingDoesNotExhaustTheStack)
{
    const int depth = 200000;
    const QByteArray text = QByteArray("<a>").repeated(depth) + "x" + QByteArray("</a>").repeated(depth);
    CTagDocument doc;
    ASSERT_TRUE(doc.setDocument(text));
    ASSERT_TRUE(doc.findElement());
    int level = 1;
    while (doc.findChildElement("a") && doc.intoElement())
        ++level;
    EXPECT_EQ(level, depth);
    EXPECT_TRUE(doc.outOfElement());
    EXPECT_EQ(doc.childData(), "x");
}
