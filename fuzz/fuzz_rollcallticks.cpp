// Feeds arbitrary bytes to the roll call's ticks-file reader (the file older programs also
// write), writes what it read and reads that again: the same ticks and attributions must come
// back.
#include "rollcall/CRollCallTicks.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CRollCallTicks::Attributions first, second;
    const QSet<QString> ticks = CRollCallTicks::parse(bytes, &first);
    if (CRollCallTicks::parse(CRollCallTicks::encode(ticks, first), &second) != ticks || second != first)
        std::abort();
    CRollCallTicks::cleanWarden(QString::fromUtf8(bytes));
    return 0;
}
