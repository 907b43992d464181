#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "world/world.h"

// Reads a level or AI node file line by line. A line is at most 49
// characters (a longer one is read in pieces of 49, each piece counting as a
// line); the line end stays in the buffer when it fits. Empty lines and lines
// that begin with '/' are skipped. Blanks at the start are kept.
class LevelReader {
public:
    // Opens the file; IsOpen() tells whether that worked.
    explicit LevelReader(const std::string& path);

    bool IsOpen() const { return file != nullptr; }
    // The next line into line; false at the end of the file.
    bool ReadLine(char (&line)[kLineSize]);
    // Bytes between the read position and the end of the file.
    long RemainingBytes() const;
    // True when count entries of at least linesEach lines each could still
    // stand in the rest of the file (every line takes two bytes or more).
    bool CountFits(long count, long linesEach) const;
    // Number of lines read so far (skipped lines included), for messages.
    long LineNumber() const { return lineNumber; }

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file;
    long size = 0;
    long lineNumber = 0;
    bool atLineStart = true;
};
