#pragma once

// Gives back to the system the memory malloc keeps after a large piece of work: a list of
// everyone made anew, every presence read again, a first update pass. Such work runs on worker
// threads whose malloc arenas keep what it freed (tens of megabytes on a large site), scattered
// between the rows that live on. A while after the first request (the work it set off is done
// by then), once, on a thread of its own, so that the interface thread does not pay for it;
// requests meanwhile are folded into that one. Interface thread only; nothing without glibc.
class CMemoryTrim
{
public:
    static constexpr int kDelayMs = 3000;

    static void afterLargeWork();
    // Trims done so far (for tests).
    static int count();
};
