// Helpers shared by the text buffer tests: temporary folders, file bytes, a recording view.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"
#include "text/CCrystalTextBuffer.h"

namespace tarnwell::testing {

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline std::vector<std::string> Lines(const CCrystalTextBuffer& b) {
    std::vector<std::string> out;
    for (int i = 0; i < b.LineCount(); ++i) out.emplace_back(b.LineChars(i));
    return out;
}

// A view that records every notification it gets.
struct RecordingView : BufferObserver {
    struct Call {
        BufferObserver* source;
        bool hasAdjuster;
        bool insert;
        TextPosition start, end;
        std::uint32_t hints;
        int line;
    };
    std::vector<Call> calls;
    TextPosition cursor;  // moved by every adjuster, like a view's cursor

    void OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster, std::uint32_t hints,
                         int line) override {
        Call c{source, adjuster != nullptr, adjuster && adjuster->IsInsert(), {}, {}, hints, line};
        if (adjuster) {
            c.start = adjuster->start;
            c.end = adjuster->end;
            adjuster->Adjust(cursor);
        }
        calls.push_back(c);
    }
};

}  // namespace tarnwell::testing
