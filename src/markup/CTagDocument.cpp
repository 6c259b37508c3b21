#include "markup/CTagDocument.h"

#include <QStringDecoder>

#include <array>
#include <cstdlib>
#include <cstring>

namespace {

// Positions are int byte offsets, so a text must stay below this size.
constexpr qsizetype kMaxDocument = 0x7FFFFF00;

enum CharClass : unsigned char
{
    Plain = 0,
    Space = 1,
    Delimiter = 2
};

// Character classes for the token rules, looked up rather than compared one by one.
constexpr auto kClasses = [] {
    std::array<unsigned char, 256> table{};
    for (unsigned char c : {' ', '\t', '\n', '\r'})
        table[c] = Space | Delimiter;
    for (unsigned char c : {'<', '>', '=', '\\', '/', '?', '!'})
        table[c] = Delimiter;
    return table;
}();

bool isSpace(char c)
{
    return kClasses[static_cast<unsigned char>(c)] & Space;
}

// Characters that end an unquoted token inside a tag.
bool isDelimiter(char c)
{
    return kClasses[static_cast<unsigned char>(c)] & Delimiter;
}

// A name that reads back as one token after "<", so the written tag can be found again.
bool isValidName(const QByteArray &name)
{
    if (name.isEmpty() || name.front() == '"' || name.front() == '\'')
        return false;
    for (char c : name)
        if (isDelimiter(c))
            return false;
    return true;
}

// Appends text as UTF-8 without a temporary, optionally with "<", "&" and ">" escaped
// (apostrophes and quotes stay as they are). A lone surrogate becomes U+FFFD.
void appendUtf8(QByteArray &out, QStringView text, bool escape)
{
    const qsizetype start = out.size();
    out.resize(start + text.size() * 5); // "&amp;" is the longest any UTF-16 unit becomes
    char *o = out.data() + start;
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    for (; p < end; ++p) {
        char32_t c = *p;
        if (c < 0x80) {
            if (escape && (c == '<' || c == '&' || c == '>')) {
                const char *entity = c == '<' ? "&lt;" : c == '&' ? "&amp;" : "&gt;";
                while (*entity)
                    *o++ = *entity++;
            } else {
                *o++ = static_cast<char>(c);
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && p + 1 < end && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
                ++p;
            } else {
                c = 0xFFFD;
            }
        }
        if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (c >> 12));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        } else {
            *o++ = static_cast<char>(0xF0 | (c >> 18));
            *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    out.truncate(o - out.constData());
}

// UTF-8 to text, keeping a leading U+FEFF: it is part of the data here, not a byte-order mark.
QString textFromUtf8(const char *p, qsizetype n)
{
    if (n >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0) {
        QStringDecoder decoder(QStringDecoder::Utf8,
                               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(p, n));
    }
    return QString::fromUtf8(p, n);
}

QString decodeEntities(const char *p, qsizetype n)
{
    if (!std::memchr(p, '&', n))
        return textFromUtf8(p, n);
    struct Entity
    {
        const char *text;
        int length;
        char value;
    };
    static const Entity entities[] = {
        {"&lt;", 4, '<'}, {"&amp;", 5, '&'}, {"&gt;", 4, '>'}, {"&apos;", 6, '\''}, {"&quot;", 6, '"'},
    };
    QByteArray out(n, Qt::Uninitialized);
    char *o = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == '&') {
            const Entity *found = nullptr;
            for (const Entity &e : entities) {
                if (n - i >= e.length && std::memcmp(p + i, e.text, e.length) == 0) {
                    found = &e;
                    break;
                }
            }
            if (found) {
                *o++ = found->value;
                i += found->length - 1;
                continue;
            }
        }
        *o++ = p[i];
    }
    out.truncate(o - out.constData());
    return textFromUtf8(out.constData(), out.size());
}

} // namespace

void CTagDocument::Table::assign(int size)
{
    clear();
    resize(std::max(size, 1));
    construct(0);
}

void CTagDocument::Table::Free::operator()(TagPos *p) const
{
    std::free(p);
}

namespace {
thread_local bool spareSegmentsGone = false;
}

// Segments that tables of this thread gave back, by segment number. The next document reuses
// them, so that storing or loading a large panel does not page its table in again every time.
std::vector<std::unique_ptr<CTagDocument::TagPos[], CTagDocument::Table::Free>> *CTagDocument::Table::spareSegments()
{
    struct Spare
    {
        std::vector<std::unique_ptr<TagPos[], Free>> segments;
        ~Spare() { spareSegmentsGone = true; }
    };
    thread_local Spare spare;
    return spareSegmentsGone ? nullptr : &spare.segments;
}

CTagDocument::Table::~Table()
{
    clear();
}

void CTagDocument::Table::clear()
{
    if (auto *spare = spareSegments()) {
        if (spare->size() < m_segments.size())
            spare->resize(m_segments.size());
        for (size_t k = 0; k < m_segments.size(); ++k)
            if (!(*spare)[k])
                (*spare)[k] = std::move(m_segments[k]);
    }
    m_segments.clear();
    m_size = 0;
}

void CTagDocument::Table::resize(int size)
{
    // Raw memory: the operating system maps a page when an entry on it is first constructed.
    while (kFirst * ((1u << m_segments.size()) - 1) < static_cast<unsigned>(size)) {
        const size_t k = m_segments.size();
        auto *spare = spareSegments();
        if (spare && k < spare->size() && (*spare)[k]) {
            m_segments.push_back(std::move((*spare)[k]));
            continue;
        }
        void *memory = std::malloc(sizeof(TagPos) * (kFirst << k));
        if (!memory)
            throw std::bad_alloc();
        m_segments.emplace_back(static_cast<TagPos *>(memory));
    }
    m_size = size;
}

bool CTagDocument::setDocument(const QByteArray &utf8)
{
    m_doc = utf8;
    resetPosition();
    return parse();
}

void CTagDocument::resetPosition()
{
    m_parent = m_main = m_child = 0;
    m_mainIsElement = false;
}

// Inlined into its callers (all in this file): it runs several times per element.
inline CTagDocument::Token CTagDocument::nextToken(int from) const
{
    const int n = static_cast<int>(m_doc.size());
    const char *d = m_doc.constData();
    int p = from;
    while (p < n && isSpace(d[p]))
        ++p;
    if (p >= n)
        return Token{};
    if (d[p] == '"' || d[p] == '\'') {
        // A quoted token runs to the matching quote (or to the end of the text).
        const void *close = std::memchr(d + p + 1, d[p], n - p - 1);
        return Token{p, close ? static_cast<int>(static_cast<const char *>(close) - d) + 1 : n, true};
    }
    int e = p;
    while (e < n && !isDelimiter(d[e]))
        ++e;
    return Token{p, (e == p) ? p + 1 : e, false};
}

bool CTagDocument::tokenIs(const Token &t, char c) const
{
    return t.valid() && !t.quoted && m_doc.at(t.start) == c;
}

CTagDocument::Token CTagDocument::nameToken(int index) const
{
    return nextToken(m_pos[index].tagStart + 1);
}

bool CTagDocument::nameMatches(int index, const QByteArray &name) const
{
    if (name.isEmpty())
        return true;
    const Token t = nameToken(index);
    const int len = t.end - t.start;
    if (!t.valid() || name.size() < len || std::memcmp(m_doc.constData() + t.start, name.constData(), len) != 0)
        return false;
    if (name.size() == len)
        return true;
    const char next = name.at(len);
    return next == ' ' || next == '=' || next == '/' || next == '[';
}

bool CTagDocument::isEmptyElement(int index) const
{
    return m_pos[index].tagEnd == m_pos[index].endTagEnd;
}

int CTagDocument::takeEntry()
{
    if (m_free >= m_pos.size()) {
        // Full: grow to one and a half times the size.
        const int size = m_pos.size();
        m_pos.resize(size + std::max(size / 2, 1));
    }
    const int index = m_free++;
    m_pos.construct(index);
    return index;
}

bool CTagDocument::fail(const char *message, int index)
{
    if (m_error.isEmpty()) {
        QString text = QString::fromLatin1(message);
        if (index > 0) {
            const Token t = nameToken(index);
            text.replace(QLatin1String("%s"), textFromUtf8(m_doc.constData() + t.start, t.end - t.start));
        }
        m_error = text;
    }
    return false;
}

bool CTagDocument::parse()
{
    m_error.clear();
    if (m_doc.size() >= kMaxDocument) {
        // Positions are int offsets.
        m_pos.clear();
        m_error = QStringLiteral("Document too large");
        return false;
    }
    m_pos.assign(static_cast<int>(m_doc.size() / 64 + 8));
    m_free = 1;

    // Parsed without recursion, so deeply nested input cannot exhaust the stack.
    struct Open
    {
        int index;
        int lastChild;
        Token name; // the start tag's name, so that the end tag is checked without rereading it
    };
    std::vector<Open> open;
    int cursor = 0;
    bool empty = false;
    Token name;
    const int root = parseTag(0, cursor, empty, name);
    bool ok = root > 0;
    if (root == 0)
        fail("Element tag not found");
    if (ok && !empty)
        open.push_back({root, 0, name});
    while (ok && !open.empty()) {
        const int parent = open.back().index;
        m_pos[parent].reserved = cursor;
        const int child = parseTag(parent, cursor, empty, name);
        if (child < 0) {
            ok = false;
        } else if (child > 0) {
            if (open.back().lastChild)
                m_pos[open.back().lastChild].next = child;
            else
                m_pos[parent].firstChild = child;
            open.back().lastChild = child;
            if (!empty)
                open.push_back({child, 0, name});
        } else {
            ok = parseEndTag(parent, open.back().name, cursor);
            open.pop_back();
        }
    }
    if (!ok) {
        // Not well formed: no elements at all, though the text stays.
        m_pos.clear();
        m_free = 1;
        return false;
    }
    m_pos[0].firstChild = root;
    m_pos[0].reserved = cursor;
    return true;
}

// Reads up to and including the next start tag below parent, skipping processing instructions,
// comments, CDATA sections and declarations. Returns the new entry, 0 at the end of the parent's
// content (an end tag, or for an element no further "<"), or -1 on a parse error.
int CTagDocument::parseTag(int parent, int &cursor, bool &empty, Token &name)
{
    const int index = takeEntry();
    m_pos[index].parent = parent;
    empty = false;
    const char *d = m_doc.constData();
    for (;;) {
        const int lt = static_cast<int>(m_doc.indexOf('<', cursor));
        if (lt < 0) {
            --m_free;
            if (parent == 0) {
                fail("Element tag not found");
                return -1;
            }
            // The parent's missing end tag is reported by the parent itself.
            cursor = static_cast<int>(m_doc.size());
            return 0;
        }
        const Token t = nextToken(lt + 1);
        if (!t.valid())
            return fail("Abrupt end within tag"), -1;
        if (t.quoted)
            return fail("Tag starts with quote"), -1;

        const char c = d[t.start];
        if (c == '?' || c == '!') {
            const char n = t.start + 1 < m_doc.size() ? d[t.start + 1] : '\0';
            qsizetype close = -1;
            if (c == '?') {
                close = m_doc.indexOf("?>", t.start + 1);
                cursor = static_cast<int>(close + 2);
            } else if (n == '-') {
                close = m_doc.indexOf("-->", t.start + 2);
                cursor = static_cast<int>(close + 3);
            } else if (n == '[') {
                close = m_doc.indexOf("]]>", t.start + 2);
                cursor = static_cast<int>(close + 3);
            } else {
                // A declaration ends at a ">" that stands outside square brackets.
                int depth = 0;
                int p = t.end;
                for (;;) {
                    const Token k = nextToken(p);
                    if (!k.valid())
                        break;
                    p = k.end;
                    if (k.quoted)
                        continue;
                    const char f = d[k.start];
                    if (f == '[') {
                        ++depth;
                    } else if (f == ']') {
                        if (depth > 0)
                            --depth;
                    } else if (f == '>' && depth == 0) {
                        close = k.start;
                        cursor = k.end;
                        break;
                    }
                }
            }
            if (close < 0)
                return fail("Invalid node"), -1;
            continue;
        }
        if (c == '/') {
            // An end tag: it closes the parent, which checks it.
            --m_free;
            cursor = lt;
            return 0;
        }
        const int gt = static_cast<int>(m_doc.indexOf('>', t.end));
        if (gt < 0)
            return fail("End of tag not found"), -1;
        TagPos &pos = m_pos[index];
        name = t;
        pos.tagStart = lt;
        pos.tagEnd = gt;
        cursor = gt + 1;
        pos.reserved = cursor;
        if (d[gt - 1] == '/') {
            pos.endTagStart = gt - 1;
            pos.endTagEnd = gt;
            empty = true;
        }
        return index;
    }
}

bool CTagDocument::parseEndTag(int index, const Token &own, int &cursor)
{
    const int lt = static_cast<int>(m_doc.indexOf('<', cursor));
    if (lt < 0)
        return fail("End tag of %s element not found", index);
    const Token slash = nextToken(lt + 1);
    if (!tokenIs(slash, '/'))
        return fail("Expecting end tag of element %s", index);
    const Token name = nextToken(slash.end);
    if (!name.valid() || name.end - name.start != own.end - own.start ||
        std::memcmp(m_doc.constData() + name.start, m_doc.constData() + own.start, own.end - own.start) != 0)
        return fail("End tag does not correspond to %s", index);
    int p = name.end;
    for (;;) {
        const Token k = nextToken(p);
        if (!k.valid())
            return fail("End tag not completed for element %s", index);
        if (tokenIs(k, '>')) {
            m_pos[index].endTagStart = lt;
            m_pos[index].endTagEnd = k.start;
            cursor = k.end;
            return true;
        }
        p = k.end;
    }
}

bool CTagDocument::findElement(const QString &name)
{
    if (!hasRoot())
        return false;
    m_name.resize(0);
    appendUtf8(m_name, name, false);
    const QByteArray &n = m_name;
    for (int i = m_main ? m_pos[m_main].next : m_pos[m_parent].firstChild; i; i = m_pos[i].next) {
        if (nameMatches(i, n)) {
            m_main = i;
            m_child = 0;
            m_mainIsElement = true;
            return true;
        }
    }
    return false;
}

bool CTagDocument::findChildElement(const QString &name)
{
    if (!hasRoot())
        return false;
    if (!m_main && !findElement())
        return false;
    m_name.resize(0);
    appendUtf8(m_name, name, false);
    const QByteArray &n = m_name;
    for (int i = m_child ? m_pos[m_child].next : m_pos[m_main].firstChild; i; i = m_pos[i].next) {
        if (nameMatches(i, n)) {
            m_child = i;
            return true;
        }
    }
    return false;
}

bool CTagDocument::intoElement()
{
    if (!m_main || !m_mainIsElement)
        return false;
    m_parent = m_main;
    m_main = m_child;
    m_child = 0;
    m_mainIsElement = m_main != 0;
    return true;
}

bool CTagDocument::outOfElement()
{
    if (!m_parent)
        return false;
    m_child = m_main;
    m_main = m_parent;
    m_parent = m_pos[m_parent].parent;
    m_mainIsElement = true;
    return true;
}

QString CTagDocument::childData() const
{
    return m_child ? elementData(m_child) : QString();
}

QString CTagDocument::childName() const
{
    if (!m_child)
        return {};
    const Token t = nameToken(m_child);
    return textFromUtf8(m_doc.constData() + t.start, t.end - t.start);
}

QString CTagDocument::elementData(int index) const
{
    const TagPos &pos = m_pos[index];
    if (pos.firstChild || isEmptyElement(index))
        return {};
    const char *d = m_doc.constData();
    const int begin = pos.tagEnd + 1;
    const int end = pos.endTagStart;
    int p = begin;
    while (p < end && isSpace(d[p]))
        ++p;
    static const char cdata[] = "<![CDATA[";
    const int cdataLength = sizeof(cdata) - 1;
    if (end - p >= cdataLength && std::memcmp(d + p, cdata, cdataLength) == 0) {
        const qsizetype close = m_doc.indexOf("]]>", p + cdataLength);
        if (close >= 0 && close + 3 <= end)
            return textFromUtf8(d + p + cdataLength, close - p - cdataLength);
    }
    return decodeEntities(d + begin, end - begin);
}

bool CTagDocument::addElement(const QString &name, const QString &data)
{
    if (!m_parent && hasRoot())
        return false;
    const int index = insertElement(m_parent, m_main, name, data);
    if (!index)
        return false;
    m_main = index;
    m_child = 0;
    m_mainIsElement = true;
    return true;
}

bool CTagDocument::addChildElement(const QString &name, const QString &data)
{
    if (!m_main || !m_mainIsElement)
        return false;
    const int index = insertElement(m_main, m_child, name, data);
    if (!index)
        return false;
    m_child = index;
    return true;
}

// Writes the element after `after` (or as the last child of parent when there is none) and
// links it into the table. Only the positions that follow the insertion point move, so
// appending at the end costs the depth of the tree, not its size.
int CTagDocument::insertElement(int parent, int after, const QString &name, const QString &data)
{
    m_name.resize(0);
    appendUtf8(m_name, name, false);
    const QByteArray &n = m_name;
    if (!isValidName(n))
        return 0;
    QByteArray &text = m_text;
    text.resize(0);
    text.append('<').append(n);
    if (data.isEmpty()) {
        text.append("/>\r\n");
    } else {
        text.append('>');
        appendUtf8(text, data, true);
        text.append("</").append(n).append(">\r\n");
    }
    if (m_doc.size() + 2 * text.size() + 64 >= kMaxDocument)
        return 0;
    const int length = static_cast<int>(text.size());

    if (m_pos.empty()) {
        // A document without elements (empty, or one that did not parse) gets a fresh table.
        m_pos.assign(static_cast<int>(m_doc.size() / 64 + 8));
        m_free = 1;
    }
    const int index = takeEntry();
    int at = 0;

    if (parent == 0) {
        // The root goes at the end of the text.
        at = static_cast<int>(m_doc.size());
        m_doc.append(text);
        m_pos[0].firstChild = index;
    } else if (isEmptyElement(parent)) {
        // "<P/>" becomes "<P>" CR LF, the new element, and "</P" closed by the old ">".
        const int slash = m_pos[parent].endTagStart;
        // A start tag such as "<P//>" would still read as empty with its last "/" gone.
        const QByteArray open = m_doc.at(slash - 1) == '/' ? " >\r\n" : ">\r\n";
        const Token own = nameToken(parent);
        const QByteArray close = "</" + m_doc.mid(own.start, own.end - own.start);
        m_doc.replace(slash, 1, open + text + close);
        const int delta = static_cast<int>(open.size() + length + close.size()) - 1;
        shiftFollowing(parent, delta);
        TagPos &q = m_pos[parent];
        q.tagEnd = slash + static_cast<int>(open.size()) - 3;
        q.endTagStart = slash + static_cast<int>(open.size()) + length;
        q.endTagEnd += delta;
        at = slash + static_cast<int>(open.size());
        q.firstChild = index;
    } else {
        const char *d = m_doc.constData();
        int prefix = 0;
        if (after) {
            at = m_pos[after].endTagEnd + 1;
            while (at < m_doc.size() && isSpace(d[at]))
                ++at;
        } else {
            at = m_pos[parent].endTagStart;
            if (at == m_pos[parent].tagEnd + 1) {
                text.prepend("\r\n");
                prefix = 2;
            }
        }
        m_doc.insert(at, text);
        const int delta = length + prefix;
        if (after) {
            shiftFollowing(after, delta);
            m_pos[index].next = m_pos[after].next;
            m_pos[after].next = index;
        } else {
            m_pos[parent].endTagStart += delta;
            m_pos[parent].endTagEnd += delta;
            shiftFollowing(parent, delta);
            int last = m_pos[parent].firstChild;
            if (!last) {
                m_pos[parent].firstChild = index;
            } else {
                while (m_pos[last].next)
                    last = m_pos[last].next;
                m_pos[last].next = index;
            }
        }
        at += prefix;
    }

    TagPos &e = m_pos[index];
    e.parent = parent;
    e.tagStart = at;
    if (data.isEmpty()) {
        e.tagEnd = at + static_cast<int>(n.size()) + 2;
        e.endTagStart = e.tagEnd - 1;
        e.endTagEnd = e.tagEnd;
    } else {
        e.tagEnd = at + static_cast<int>(n.size()) + 1;
        e.endTagEnd = at + length - 3;
        e.endTagStart = e.endTagEnd - static_cast<int>(n.size()) - 2;
    }
    return index;
}

// Moves everything that stands after the element `index` in the text: its following
// siblings with their contents, and the end tags and following siblings of every ancestor.
void CTagDocument::shiftFollowing(int index, int delta)
{
    for (int a = index; a; a = m_pos[a].parent) {
        for (int s = m_pos[a].next; s; s = m_pos[s].next)
            shiftSubtree(s, delta);
        const int up = m_pos[a].parent;
        if (up) {
            m_pos[up].endTagStart += delta;
            m_pos[up].endTagEnd += delta;
        }
    }
}

void CTagDocument::shiftSubtree(int index, int delta)
{
    std::vector<int> pending{index};
    while (!pending.empty()) {
        const int i = pending.back();
        pending.pop_back();
        TagPos &p = m_pos[i];
        p.tagStart += delta;
        p.tagEnd += delta;
        p.endTagStart += delta;
        p.endTagEnd += delta;
        for (int c = p.firstChild; c; c = m_pos[c].next)
            pending.push_back(c);
    }
}
