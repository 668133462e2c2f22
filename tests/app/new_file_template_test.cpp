// The new-page template and its cursor file, read from real files in a temporary folder.
#include "app/NewFileTemplate.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using namespace tarnwell;

namespace {

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("tw-template-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
    }

private:
    fs::path path_;
};

}  // namespace

TEST(NewFileTemplate, TextStopsAtTheFirstZeroByte) {
    TempDir dir;
    dir.Write("NewFile.asp", std::string("<html>\r\n<b>\0tail", 16));
    NewFileTemplate t = ReadNewFileTemplate(dir.path());
    EXPECT_TRUE(t.found);
    EXPECT_EQ(t.text, "<html>\r\n<b>");
}

TEST(NewFileTemplate, CursorFromTheIniFile) {
    TempDir dir;
    dir.Write("NewFile.asp", "a\r\nbb\r\nccccccc\r\n");
    dir.Write("NewFile.asp.ini", "; cursor of new pages\r\n[Other]\r\nCursorPos=9,9\r\n[general]\r\n cursorpos = 5,2 \r\n");
    NewFileTemplate t = ReadNewFileTemplate(dir.path());
    EXPECT_EQ(t.cursor.line, 2);
    EXPECT_EQ(t.cursor.ch, 5);
}

TEST(NewFileTemplate, MissingFilesLeaveAnEmptyPageAtTheStart) {
    TempDir dir;
    // A cursor file without the template is not read.
    dir.Write("NewFile.asp.ini", "[General]\r\nCursorPos=3,1\r\n");
    NewFileTemplate t = ReadNewFileTemplate(dir.path());
    EXPECT_FALSE(t.found);
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.cursor.line, 0);
    EXPECT_EQ(t.cursor.ch, 0);

    // A template without a cursor file starts at (0, 0); an empty template is found and empty.
    TempDir other;
    other.Write("NewFile.asp", "");
    t = ReadNewFileTemplate(other.path());
    EXPECT_TRUE(t.found);
    EXPECT_EQ(t.text, "");
    EXPECT_EQ(t.cursor.line, 0);
}

TEST(NewFileTemplate, CursorPosNeedsExactlyTwoNumbers) {
    struct Case {
        const char* value;
        int line, ch;
    } cases[] = {
        {"5,2", 2, 5},       {"0,0", 0, 0},     {"5", 0, 0},   {"", 0, 0},     {"x,2", 0, 0},
        {"12, 7", 7, 12},    {"-1,3", 3, -1},   {"4,", 0, 0},  {"4 ,2", 0, 0},
    };
    for (const Case& c : cases) {
        TextPosition p = ParseCursorPos(c.value);
        EXPECT_EQ(p.line, c.line) << c.value;
        EXPECT_EQ(p.ch, c.ch) << c.value;
    }
}

TEST(NewFileTemplate, IniValueRules) {
    TempDir dir;
    dir.Write("a.ini", "[General]\nName = \"quoted value\"\nLong=0123456789012345678901234567890123456789\n"
                       "Empty=\n[Second]\nName=other\n");
    const fs::path f = dir.path() / "a.ini";
    EXPECT_EQ(ReadIniValue(f, "GENERAL", "name", "d", 100), "quoted value");
    EXPECT_EQ(ReadIniValue(f, "General", "Long", "d", 31).size(), 31u);
    EXPECT_EQ(ReadIniValue(f, "General", "Empty", "d", 31), "");
    EXPECT_EQ(ReadIniValue(f, "General", "Missing", "d", 31), "d");
    EXPECT_EQ(ReadIniValue(f, "Second", "Name", "d", 31), "other");
    EXPECT_EQ(ReadIniValue(dir.path() / "none.ini", "General", "Name", "0,0", 31), "0,0");
}

TEST(NewFileTemplate, ShippedTemplateHasAValidCursor) {
    const fs::path folder = fs::path(TARNWELL_BIN_DIR) / "Templates";
    NewFileTemplate t = ReadNewFileTemplate(folder);
    ASSERT_TRUE(t.found);
    // Count the template's lines and check the cursor lies inside the text.
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < t.text.size(); ++i) {
        if (t.text[i] == '\r' && i + 1 < t.text.size() && t.text[i + 1] == '\n') {
            lines.emplace_back();
            ++i;
        } else {
            lines.back() += t.text[i];
        }
    }
    ASSERT_LT(size_t(t.cursor.line), lines.size());
    EXPECT_LE(size_t(t.cursor.ch), lines[size_t(t.cursor.line)].size());
    EXPECT_TRUE(t.cursor.line > 0 || t.cursor.ch > 0);
}
