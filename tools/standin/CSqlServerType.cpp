#include "CSqlServerType.h"

QByteArray CSqlServerType::collation()
{
    // Four little-endian bytes: locale id in bits 0-19, the comparison flags in bits 20-27
    // (ignore case 0x1, ignore kana 0x4, ignore width 0x8), the version in bits 28-31; then
    // the sort id.
    const quint32 info = 0x081Au | (0xDu << 20) | (1u << 28);
    QByteArray c;
    for (int i = 0; i < 4; ++i)
        c.append(char((info >> (8 * i)) & 0xFF));
    c.append('\0');
    return c;
}
