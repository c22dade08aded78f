#pragma once

#include <string>

namespace korvane {

// Writes a text file whole; the old file stays as it was unless the new one is complete.
class TextFileWriter
{
public:
    virtual ~TextFileWriter() = default;
    // `text` is UTF-8; returns false with a reason in `error` on failure.
    virtual bool write(const std::string& path, const std::string& text, std::string* error) = 0;
};

} // namespace korvane
