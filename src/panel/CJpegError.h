#pragma once

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

// libjpeg reports a fatal error by calling error_exit, which must not return: this handler jumps
// back to the setjmp(jump) of the code that installed it. Nothing with a destructor may live
// between that setjmp and the libjpeg calls.
struct CJpegError
{
    jpeg_error_mgr mgr; // first, so that libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;

    // The error manager for a compress or decompress struct's err; quiet drops warnings.
    jpeg_error_mgr *install(bool quiet)
    {
        jpeg_std_error(&mgr);
        mgr.error_exit = [](j_common_ptr cinfo) { std::longjmp(reinterpret_cast<CJpegError *>(cinfo->err)->jump, 1); };
        if (quiet)
            mgr.emit_message = [](j_common_ptr, int) {};
        return &mgr;
    }
};
