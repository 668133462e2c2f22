// Helpers for the view tests: a buffer filled from text and a shown view of a fixed size on it.
#pragma once

#include <QApplication>
#include <QTest>

#include <memory>
#include <string>

#include "text/CCrystalEditView.h"
#include "text/CCrystalTextBuffer.h"

namespace tarnwell::testing {

// Lines of `text` are separated by "\n" here for readability; the buffer gets CR LF.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\r\n";
        else out += c;
    }
    return out;
}

inline std::unique_ptr<CCrystalTextBuffer> MakeBuffer(const std::string& text) {
    auto buffer = std::make_unique<CCrystalTextBuffer>();
    buffer->InitFromText(0, Crlf(text));
    return buffer;
}

// The whole text of a buffer with "\n" between lines.
inline std::string TextOf(const CCrystalTextBuffer& buffer) { return buffer.Text(LineEndUnix); }

template <typename View>
void ShowView(View& view, CCrystalTextBuffer* buffer, int width = 640, int height = 400) {
    view.resize(width, height);
    view.BindBuffer(buffer);
    view.show();
    view.activateWindow();
    view.setFocus();
    QApplication::processEvents();
}

}  // namespace tarnwell::testing
