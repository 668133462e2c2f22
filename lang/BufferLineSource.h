// The text of an open document's buffer seen through the outline parser's line interface.
#pragma once

#include "lang/LineSource.h"
#include "text/CCrystalTextBuffer.h"

namespace tarnwell {

// Borrows the buffer; lines are read afresh at every call, so the adapter follows every edit.
class BufferLineSource : public LineSource {
public:
    explicit BufferLineSource(const CCrystalTextBuffer& buffer) : buffer_(buffer) {}
    int LineCount() const override { return buffer_.LineCount(); }
    std::string_view Line(int i) const override { return buffer_.LineChars(i); }

private:
    const CCrystalTextBuffer& buffer_;
};

}  // namespace tarnwell
