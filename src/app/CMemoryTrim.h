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
    // Blocks from this size on are mapped apart and given back when freed; a heap whose free
    // top reaches the trim size gives it back. Left to itself, malloc raises both after each
    // large block freed (up to 32 and 64 MB), and each worker's arena then keeps that much of
    // the lists and tables made and freed on it every cycle. The lists of a large site (a few
    // megabytes, copied on the thread that makes them at each change) are above the first, so
    // the copy a change drops goes back to the system instead of staying in that thread's arena;
    // the interface thread keeps its own lists and copies none of them at a pass.
    static constexpr int kMapBytes = 2 * 1024 * 1024;
    static constexpr int kTrimBytes = 1024 * 1024;

    // Sets those bounds; once, at the start, before the threads do large work.
    static void configure();
    static void afterLargeWork();
    // Trims done so far (for tests).
    static int count();
};
