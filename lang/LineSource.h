// The narrow view of a text that the language parsers read: a number of lines and each line's bytes.
// Lines are byte strings without their line end; they may hold any byte, NUL included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarnwell {

class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int LineCount() const = 0;
    // The bytes of line i (0 <= i < LineCount()); valid until the text changes.
    virtual std::string_view Line(int i) const = 0;
};

// Lines held elsewhere in a vector of strings (tests, tools).
class VectorLineSource : public LineSource {
public:
    explicit VectorLineSource(const std::vector<std::string>& lines) : lines_(lines) {}
    int LineCount() const override { return static_cast<int>(lines_.size()); }
    std::string_view Line(int i) const override { return lines_[static_cast<size_t>(i)]; }

private:
    const std::vector<std::string>& lines_;
};

// Lines owned by the source: a file read from disk, or a text split into lines.
class OwnedLineSource : public LineSource {
public:
    OwnedLineSource() = default;
    explicit OwnedLineSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    int LineCount() const override { return static_cast<int>(lines_.size()); }
    std::string_view Line(int i) const override { return lines_[static_cast<size_t>(i)]; }
    std::vector<std::string>& Lines() { return lines_; }
    const std::vector<std::string>& Lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Splits file content into lines the way the editor loads a file: the line end is detected from the
// first 32768 bytes (first LF preceded by CR, or no LF at all: CR LF; LF followed by CR: LF CR;
// otherwise LF), then the bytes are cut at every occurrence of that line end only. A lone CR or LF of
// another mode stays inside its line. n line ends give n + 1 lines, so empty content is one empty line.
// Unlike the buffer's loader, a NUL byte does not cut its line: the parsers see every byte.
std::vector<std::string> SplitFileLines(std::string_view content);

// Reads a whole file and splits it as above. False (with the system's error text in *error when given)
// when the file cannot be opened or read; lines is then left empty.
bool ReadFileLines(const std::string& path, std::vector<std::string>& lines, std::string* error = nullptr);

}  // namespace tarnwell
