#pragma once

#include <QByteArray>
#include <QString>
#include <bit>
#include <memory>
#include <new>
#include <vector>

// A small markup document: the text in element syntax plus a table of element positions,
// navigated with a parent, a main and a child position. Reads and writes the panel files and
// the colour file. The text is kept as UTF-8 bytes and every position is a byte offset; UTF-8
// continuation bytes never look like "<", "&" or a quote, so scanning bytes is safe.
class CTagDocument
{
public:
    // One element of the position table (index 0 stands for the document itself).
    struct TagPos
    {
        int tagStart = 0;    // "<" of the start tag
        int tagEnd = 0;      // ">" of the start tag
        int endTagStart = 0; // "<" of the end tag; the "/" of "/>" for an empty element
        int endTagEnd = 0;   // ">" of the end tag; equals tagEnd for an empty element
        int reserved = 0;    // scan cursor while parsing
        int parent = 0;
        int firstChild = 0;
        int next = 0;
    };

    bool setDocument(const QByteArray &utf8);
    QByteArray document() const { return m_doc; }
    QString error() const { return m_error; }

    bool findElement(const QString &name = {});
    bool findChildElement(const QString &name = {});
    bool intoElement();
    bool outOfElement();
    QString childData() const;
    // The tag name of the child position's element (empty when there is none).
    QString childName() const;

    bool addElement(const QString &name, const QString &data = {});
    bool addChildElement(const QString &name, const QString &data = {});

    // Room for a text of this many bytes, so that building a large document does not copy it
    // over and over while it grows.
    void reserve(qsizetype bytes) { m_doc.reserve(bytes); }

    // Clears the navigation: no parent, main or child position.
    void resetPosition();

    // The number of entries the position table holds (used or not) and of elements in it.
    int tableSize() const { return m_pos.size(); }
    int elementCount() const { return m_pos.empty() ? 0 : m_free - 1; }

private:
    // The position table. Its size follows the growth rule (see takeEntry); the entries live in
    // segments of doubling length, so growing never copies the entries already there; a
    // thread keeps the segments of its last large table for the next document.
    class Table
    {
    public:
        Table() = default;
        Table(const Table &) = delete;
        Table &operator=(const Table &) = delete;
        ~Table();
        void assign(int size);
        void clear();
        void resize(int size);
        // Segment memory is raw: an entry exists once constructed (assign constructs entry 0).
        TagPos &construct(int i) { return *new (&(*this)[i]) TagPos(); }
        int size() const { return m_size; }
        bool empty() const { return m_size == 0; }
        TagPos &operator[](int i) { return m_segments[segment(i)][offset(i)]; }
        const TagPos &operator[](int i) const { return m_segments[segment(i)][offset(i)]; }

    private:
        static constexpr unsigned kFirst = 64; // entries of the first segment
        static int segment(int i) { return std::bit_width(static_cast<unsigned>(i) / kFirst + 1) - 1; }
        static int offset(int i) { return i - static_cast<int>(kFirst * ((1u << segment(i)) - 1)); }

    public:
        struct Free
        {
            void operator()(TagPos *p) const;
        };

    private:
        static std::vector<std::unique_ptr<TagPos[], Free>> *spareSegments();
        std::vector<std::unique_ptr<TagPos[], Free>> m_segments;
        int m_size = 0;
    };

    struct Token
    {
        int start = -1; // first byte; -1 when there is no token
        int end = -1;   // one past the last byte
        bool quoted = false;
        bool valid() const { return start >= 0; }
    };

    Token nextToken(int from) const;
    bool tokenIs(const Token &t, char c) const;
    Token nameToken(int index) const;
    bool nameMatches(int index, const QByteArray &name) const;
    bool hasRoot() const { return !m_pos.empty() && m_pos[0].firstChild != 0; }
    bool isEmptyElement(int index) const;

    bool parse();
    int parseTag(int parent, int &cursor, bool &empty, Token &name);
    bool parseEndTag(int index, const Token &own, int &cursor);
    bool fail(const char *message, int index = 0);
    int takeEntry();

    QString elementData(int index) const;
    int insertElement(int parent, int after, const QString &name, const QString &data);
    void shiftFollowing(int index, int delta);
    void shiftSubtree(int index, int delta);

    QByteArray m_doc;
    QByteArray m_name; // scratch buffers, kept to spare an allocation per call
    QByteArray m_text;
    QString m_error;
    Table m_pos;
    int m_free = 1;
    int m_parent = 0;
    int m_main = 0;
    int m_child = 0;
    bool m_mainIsElement = false;
};
