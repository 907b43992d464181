#include "base/debug_log.h"

#include <cstdio>
#include <memory>
#include <streambuf>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Collects characters and hands each finished line to the file, flushed.
class LineFlushingBuffer final : public std::streambuf {
public:
    void Open(std::FILE* file) {
        file_.reset(file);
        pending_.clear();
    }
    void Close() {
        FlushPending();
        file_.reset();
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        Append(static_cast<char>(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        for (std::streamsize i = 0; i < n; ++i) Append(s[i]);
        return n;
    }
    int sync() override {
        FlushPending();
        return 0;
    }

private:
    void Append(char c) {
        if (!file_) return;
        pending_.push_back(c);
        if (c == '\n') FlushPending();
    }
    void FlushPending() {
        if (!file_ || pending_.empty()) return;
        std::fwrite(pending_.data(), 1, pending_.size(), file_.get());
        std::fflush(file_.get());
        pending_.clear();
    }

    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string pending_;
};

LineFlushingBuffer& LogBuffer() {
    static LineFlushingBuffer buffer;
    return buffer;
}

}  // namespace

std::ostream& DebugLog() {
    static std::ostream stream(&LogBuffer());
    return stream;
}

bool OpenDebugLog(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    LogBuffer().Open(file);
    DebugLog().clear();
    return file != nullptr;
}

void CloseDebugLog() { LogBuffer().Close(); }
