// An output stream onto writeText: a whole line at a time, so that each line's UTF-8 reaches a
// Windows console as one piece, for the commands that print as they go.
#pragma once

#include <cstdio>
#include <ostream>
#include <streambuf>
#include <string>

#include "support/console_text.h"

namespace vantor::sim {

class ConsoleLineBuffer : public std::streambuf {
  public:
    explicit ConsoleLineBuffer(std::FILE* stream) : stream_(stream) {}
    ~ConsoleLineBuffer() override { ConsoleLineBuffer::sync(); }

  protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        line_ += traits_type::to_char_type(c);
        if (line_.back() == '\n') {
            sync();
        }
        return c;
    }
    int sync() override {
        if (!line_.empty()) {
            writeText(stream_, line_);
            line_.clear();
        }
        return 0;
    }

  private:
    std::FILE* stream_;
    std::string line_;
};

class ConsoleStream : private ConsoleLineBuffer, public std::ostream {
  public:
    explicit ConsoleStream(std::FILE* stream)
        : ConsoleLineBuffer(stream), std::ostream(static_cast<ConsoleLineBuffer*>(this)) {}
};

} // namespace vantor::sim
