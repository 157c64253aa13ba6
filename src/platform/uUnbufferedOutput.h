// An output stream buffer that hands each write of the stream straight to
// the system, so nothing waits in a buffer; each system's file says how
// bytes reach its file.
#pragma once

#include <cstddef>
#include <streambuf>

class TUnbufferedOutput : public std::streambuf {
protected:
    int_type overflow(int_type C) override;
    std::streamsize xsputn(const char* Data, std::streamsize Count) override;
    // All Count bytes written, or false.
    virtual bool WriteAll(const char* Data, std::size_t Count) = 0;
};
