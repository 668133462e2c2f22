// Loading and saving: line-end detection and splitting, byte-exact round trips, save failure paths.
#include "tests/text/BufferTestSupport.h"

#include <algorithm>

#include "text/LineSplit.h"

#include <cerrno>
#include <cstring>
#include <iterator>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarnwell {
namespace {

using testing::Lines;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
namespace fs = std::filesystem;

struct LoadCase {
    const char* name;
    std::string bytes;
    int mode;
    std::vector<std::string> lines;
};

class LoadRules : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadRules, DetectsSplitsAndSavesBackByteForByte) {
    const LoadCase& c = GetParam();
    TempDir dir;
    WriteBytes(dir / "in.asp", c.bytes);
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "in.asp"));
    EXPECT_EQ(b.LineEndMode(), c.mode);
    EXPECT_EQ(Lines(b), c.lines);
    EXPECT_FALSE(b.IsDirty());
    EXPECT_TRUE(b.Check());
    ASSERT_TRUE(b.WriteToFile(dir / "out.asp"));
    EXPECT_EQ(ReadBytes(dir / "out.asp"), c.bytes);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Buffer, LoadRules,
    ::testing::Values(
        LoadCase{"empty_file_is_one_empty_line_dos", "", 0, {""}},
        LoadCase{"crlf_with_final_end", "a\r\nb\r\n", 0, {"a", "b", ""}},
        LoadCase{"lf_decides_unix", "a\nb", 2, {"a", "b"}},
        LoadCase{"lfcr_decides_mac", "a\n\rb", 1, {"a", "b"}},
        LoadCase{"first_lf_decides_cr_stays_in_unix_line", "a\nb\r\nz", 2, {"a", "b\r", "z"}},
        LoadCase{"lone_lf_stays_in_dos_line", "a\r\nb\nz", 0, {"a", "b\nz"}},
        LoadCase{"second_cr_breaks_the_match", "x\r\r\ny", 0, {"x\r\r\ny"}},
        LoadCase{"odd_cr_run_ends_the_line", "x\r\r\r\ny", 0, {"x\r\r", "y"}},
        LoadCase{"only_cr_is_one_dos_line", "a\rb\rc", 0, {"a\rb\rc"}},
        LoadCase{"mac_double_lf_breaks_the_match", "a\n\rb\n\n\rc", 1, {"a", "b\n\n\rc"}},
        LoadCase{"no_final_line_end_unix", "one\ntwo\nthree", 2, {"one", "two", "three"}},
        LoadCase{"only_line_ends_unix", "\n\n\n", 2, {"", "", "", ""}},
        LoadCase{"nul_bytes_are_ordinary", "a\0b\r\n\0\0\r\nc\0"s, 0, {"a\0b"s, "\0\0"s, "c\0"s}},
        LoadCase{"high_bytes_kept", "caf\xe9\n\xff\xfe\x80\n", 2, {"caf\xe9", "\xff\xfe\x80", ""}}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(BufferLoad, DetectionLooksAtTheFirstBlockOnly) {
    std::string bytes(kDetectBlockSize, 'x');
    bytes += "\nnext";
    TempDir dir;
    WriteBytes(dir / "f", bytes);
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "f"));
    EXPECT_EQ(b.LineEndMode(), LineEndDos);
    EXPECT_EQ(b.LineCount(), 1);
    // An LF at the block's last byte: the CR after it lies outside the block.
    EXPECT_EQ(DetectLineEndMode(std::string(kDetectBlockSize - 1, 'x').append("\n\r").data(), kDetectBlockSize + 1),
              LineEndUnix);
}

TEST(BufferLoad, ExplicitModeOverridesDetection) {
    TempDir dir;
    WriteBytes(dir / "f", "a\r\nb\nc");
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "f", LineEndUnix));
    EXPECT_EQ(b.LineEndMode(), LineEndUnix);
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"a\r", "b", "c"}));
}

TEST(BufferLoad, EachModeRoundTripsMixedContent) {
    TempDir dir;
    for (int mode : {LineEndDos, LineEndMac, LineEndUnix}) {
        const std::string eol(LineEndBytes(mode));
        std::string bytes;
        std::mt19937 rng(static_cast<unsigned>(mode) + 7);
        for (int line = 0; line < 2000; ++line) {
            const int len = static_cast<int>(rng() % 120);
            for (int i = 0; i < len; ++i) {
                char c = static_cast<char>(rng() % 256);
                if (c == '\r' || c == '\n') c = '\0';
                bytes.push_back(c);
            }
            if (line + 1 < 2000) bytes += eol;
        }
        WriteBytes(dir / "in", bytes);
        CCrystalTextBuffer b;
        ASSERT_TRUE(b.ReadFromFile(dir / "in"));
        EXPECT_EQ(b.LineEndMode(), mode);
        EXPECT_EQ(b.LineCount(), 2000);
        ASSERT_TRUE(b.WriteToFile(dir / "out"));
        EXPECT_EQ(ReadBytes(dir / "out"), bytes) << "mode " << mode;
        // Saving in another mode converts every line end.
        ASSERT_TRUE(b.WriteToFile(dir / "unix", LineEndUnix, false));
        std::string expected;
        for (int i = 0; i < b.LineCount(); ++i) {
            if (i) expected += '\n';
            expected += b.LineChars(i);
        }
        EXPECT_EQ(ReadBytes(dir / "unix"), expected);
    }
}

TEST(BufferLoad, FailedReadLeavesTheBufferAsItWas) {
    TempDir dir;
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndUnix, "keep\r\nme"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "x"));
    FileError err;
    EXPECT_FALSE(b.ReadFromFile(dir / "missing.asp", LineEndAuto, &err));
    EXPECT_FALSE(err.message.empty());
    EXPECT_FALSE(b.ReadFromFile(dir.path()));  // a folder
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"xkeep", "me"}));
    EXPECT_EQ(b.LineEndMode(), LineEndUnix);
    EXPECT_TRUE(b.IsDirty());
    EXPECT_TRUE(b.CanUndoStep());
}

TEST(BufferLoad, ReloadReplacesTextAndResetsHistory) {
    TempDir dir;
    WriteBytes(dir / "a", "one\ntwo");
    WriteBytes(dir / "b", "three");
    CCrystalTextBuffer b;
    testing::RecordingView view;
    b.AttachView(&view);
    ASSERT_TRUE(b.ReadFromFile(dir / "a"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 1, 3, "!"));
    ASSERT_TRUE(b.ReadFromFile(dir / "b"));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"three"}));
    EXPECT_FALSE(b.CanUndoStep());
    EXPECT_FALSE(b.IsDirty());
    EXPECT_EQ(b.SavedPosition(), 0);
    ASSERT_FALSE(view.calls.empty());
    EXPECT_EQ(view.calls.back().hints, HintReset);
    EXPECT_EQ(view.calls.back().line, -1);
    EXPECT_FALSE(view.calls.back().hasAdjuster);
    b.DetachView(&view);
}

TEST(BufferInit, SplitsAtCrLfPairsOnly) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "<%\r\n\ra\nb\r\r\n%>"));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"<%", "\ra\nb\r", "%>"}));
    EXPECT_TRUE(b.IsInitialised());
    EXPECT_FALSE(b.IsDirty());
    b.Clear();
    EXPECT_FALSE(b.IsInitialised());
    EXPECT_EQ(b.LineCount(), 0);
    ASSERT_TRUE(b.InitFromText(LineEndUnix, ""));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{""}));
}

TEST(BufferSave, EditedTextIsWrittenInTheBuffersMode) {
    TempDir dir;
    WriteBytes(dir / "page.asp", "<html>\n<body>\n</html>");
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "page.asp"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 1, 6, "\r\n<p>hi</p>"));
    ASSERT_TRUE(b.IsDirty());
    ASSERT_TRUE(b.WriteToFile(dir / "page.asp"));
    EXPECT_FALSE(b.IsDirty());
    EXPECT_EQ(b.SavedPosition(), b.HistoryPosition());
    EXPECT_EQ(ReadBytes(dir / "page.asp"), "<html>\n<body>\n<p>hi</p>\n</html>");
    // A copy saved without clearing dirty leaves the flag and the saved position alone.
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "x"));
    const int saved = b.SavedPosition();
    ASSERT_TRUE(b.WriteToFile(dir / "copy.asp", LineEndDos, false));
    EXPECT_TRUE(b.IsDirty());
    EXPECT_EQ(b.SavedPosition(), saved);
    EXPECT_EQ(ReadBytes(dir / "copy.asp"), "x<html>\r\n<body>\r\n<p>hi</p>\r\n</html>");
}

TEST(BufferSave, LongLinesAndManyLinesSurviveTheStagingBlock) {
    TempDir dir;
    std::string bytes(3 << 20, 'a');  // one line longer than the staging block
    bytes += "\r\n";
    for (int i = 0; i < 100000; ++i) bytes += "<td>" + std::to_string(i) + "</td>\r\n";
    bytes += std::string(1 << 20, 'z');
    WriteBytes(dir / "big", bytes);
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "big"));
    ASSERT_TRUE(b.WriteToFile(dir / "big"));
    EXPECT_TRUE(ReadBytes(dir / "big") == bytes);
}

#ifndef _WIN32
fs::perms PermsOf(const fs::path& p) { return fs::status(p).permissions() & fs::perms::mask; }

TEST(BufferSave, KeepsPermissionBitsAndLeavesNoTemporaryFile) {
    TempDir dir;
    WriteBytes(dir / "script.asp", "old");
    fs::permissions(dir / "script.asp", fs::perms(0750));
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "new"));
    ASSERT_TRUE(b.WriteToFile(dir / "script.asp"));
    EXPECT_EQ(ReadBytes(dir / "script.asp"), "new");
    EXPECT_EQ(PermsOf(dir / "script.asp"), fs::perms(0750));
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(BufferSave, NewFileGetsTheUsualPermissions) {
    TempDir dir;
    const mode_t old = ::umask(022);
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "x"));
    const bool ok = b.WriteToFile(dir / "new.html");
    ::umask(old);
    ASSERT_TRUE(ok);
    EXPECT_EQ(PermsOf(dir / "new.html"), fs::perms(0644));
}

TEST(BufferSave, WritesThroughSymbolicLinks) {
    TempDir dir;
    fs::create_directories(dir / "real");
    WriteBytes(dir / "real" / "page.asp", "old");
    fs::create_symlink("real/page.asp", dir / "hop");
    fs::create_symlink(dir / "hop", dir / "link.asp");  // link to a link
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "link.asp"));
    EXPECT_EQ(Lines(b), (std::vector<std::string>{"old"}));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 3, "er"));
    ASSERT_TRUE(b.WriteToFile(dir / "link.asp"));
    EXPECT_TRUE(fs::is_symlink(dir / "link.asp"));
    EXPECT_TRUE(fs::is_symlink(dir / "hop"));
    EXPECT_EQ(ReadBytes(dir / "real" / "page.asp"), "older");
    // The temporary file was made beside the real file, not beside the link.
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir / "real")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(BufferSave, SymbolicLinkLoopFails) {
    TempDir dir;
    fs::create_symlink("b", dir / "a");
    fs::create_symlink("a", dir / "b");
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "x"));
    EXPECT_FALSE(b.WriteToFile(dir / "a"));
}
#endif

TEST(BufferSave, ReadOnlyFileIsNotReplaced) {
    TempDir dir;
    WriteBytes(dir / "ro.asp", "original");
    fs::permissions(dir / "ro.asp", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "ro.asp"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "changed "));
    FileError err;
    EXPECT_FALSE(b.WriteToFile(dir / "ro.asp", LineEndAuto, true, &err));
    EXPECT_EQ(err.code, std::make_error_code(std::errc::permission_denied));
    EXPECT_TRUE(b.IsDirty());
    EXPECT_EQ(ReadBytes(dir / "ro.asp"), "original");
}

TEST(BufferSave, MissingFolderFails) {
    TempDir dir;
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "x"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "y"));
    FileError err;
    EXPECT_FALSE(b.WriteToFile(dir / "no" / "such" / "f.asp", LineEndAuto, true, &err));
    EXPECT_FALSE(err.message.empty());
    EXPECT_TRUE(b.IsDirty());
    EXPECT_FALSE(fs::exists(dir / "no"));
}

// A buffer whose replace step fails, optionally after the original has vanished.
class FailingReplaceBuffer : public CCrystalTextBuffer {
public:
    bool removeOriginalFirst = false;
    int calls = 0;

protected:
    bool ReplaceFile(const fs::path& temporary, const fs::path& target, std::error_code& ec) override {
        ++calls;
        EXPECT_TRUE(fs::exists(temporary));
        EXPECT_EQ(temporary.parent_path(), target.parent_path());
        if (removeOriginalFirst) fs::remove(target);
        ec = std::make_error_code(std::errc::permission_denied);
        return false;
    }
};

TEST(BufferSave, FailedReplaceKeepsTheOriginalAndRemovesTheTemporary) {
    TempDir dir;
    WriteBytes(dir / "f.asp", "original");
    FailingReplaceBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "f.asp"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "edited "));
    FileError err;
    EXPECT_FALSE(b.WriteToFile(dir / "f.asp", LineEndAuto, true, &err));
    EXPECT_EQ(b.calls, 1);
    EXPECT_TRUE(err.keptTemporary.empty());
    EXPECT_TRUE(b.IsDirty());
    EXPECT_EQ(ReadBytes(dir / "f.asp"), "original");
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir.path())) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(BufferSave, FailedReplaceAfterTheOriginalVanishedKeepsTheTemporary) {
    TempDir dir;
    WriteBytes(dir / "f.asp", "original");
    FailingReplaceBuffer b;
    b.removeOriginalFirst = true;
    ASSERT_TRUE(b.ReadFromFile(dir / "f.asp"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "edited "));
    FileError err;
    EXPECT_FALSE(b.WriteToFile(dir / "f.asp", LineEndAuto, true, &err));
    ASSERT_FALSE(err.keptTemporary.empty());
    EXPECT_EQ(ReadBytes(err.keptTemporary), "edited original");
    EXPECT_NE(err.message.find(err.keptTemporary.string()), std::string::npos);
    EXPECT_TRUE(b.IsDirty());
}

TEST(LineSplit, CountByteCountsEveryOccurrence) {
    std::mt19937 rng(3);
    for (size_t size : {size_t{0}, size_t{7}, size_t{8}, size_t{9}, size_t{15}, size_t{16}, size_t{17}, size_t{1000}}) {
        std::string s(size, 'x');
        for (char& c : s) c = "\n\r\x80\xFF" "a\x0A\x8A"[rng() % 7];
        for (char c : {'\n', '\r', '\x80', 'z'}) EXPECT_EQ(CountByte(s.data(), s.size(), c), static_cast<size_t>(std::count(s.begin(), s.end(), c)));
    }
    // Long runs of the byte (counters that would overflow if never summed).
    for (size_t size : {size_t{4079}, size_t{4080}, size_t{4097}, size_t{100003}})
        EXPECT_EQ(CountByte(std::string(size, '\n').data(), size, '\n'), size);
}

// Edits that copy a huge loaded line out of the file image (which is then freed when nothing else
// points into it) keep every line's bytes, also lines split off before that still point there.
TEST(BufferLoad, EditingAHugeLineKeepsEveryLinesBytes) {
    TempDir dir;
    const std::string big(300000, 'a');
    struct Step {
        TextPosition at;
        const char* insert;  // or nullptr: remove [at, removeTo)
        TextPosition removeTo;
    };
    const std::vector<std::vector<Step>> scripts = {
        {{{0, 300000}, "x", {}}},
        {{{0, 200000}, "\r\n", {}}, {{0, 5}, "y", {}}, {{1, 3}, "z", {}}},
        {{{0, 100}, "\r\n", {}}, {{1, 0}, "w", {}}, {{0, 0}, nullptr, {0, 50}}},
        {{{0, 0}, nullptr, {1, 1}}, {{0, 10}, "q", {}}},
    };
    for (const auto& script : scripts) {
        WriteBytes(dir / "big.txt", big + "\r\nb" + big);
        CCrystalTextBuffer buffer;
        ASSERT_TRUE(buffer.ReadFromFile(dir / "big.txt"));
        std::string expect = buffer.Text();
        for (const Step& st : script) {
            auto offset = [&](TextPosition p) {
                size_t o = 0;
                for (int l = 0; l < p.line; ++l) o += static_cast<size_t>(buffer.LineLength(l)) + 2;
                return o + static_cast<size_t>(p.ch);
            };
            if (st.insert) {
                expect.insert(offset(st.at), st.insert);
                ASSERT_TRUE(buffer.InsertTextAt(nullptr, st.at, st.insert));
            } else {
                expect.erase(offset(st.at), offset(st.removeTo) - offset(st.at));
                ASSERT_TRUE(buffer.RemoveRange(nullptr, st.at, st.removeTo));
            }
            ASSERT_EQ(buffer.Text(), expect);
            ASSERT_TRUE(buffer.Check());
        }
        while (buffer.CanUndoStep()) buffer.UndoStep();
        EXPECT_EQ(buffer.Text(), big + "\r\nb" + big);
    }
}

// Each step of a save failing as the system would make it fail: the original stays byte for byte, no
// temporary file is left, the buffer stays modified and the error carries the system's reason.
SaveStep g_failingStep;
int g_failingErrno;
int FailChosenStep(SaveStep step) { return step == g_failingStep ? g_failingErrno : 0; }

TEST(BufferSave, EveryInjectedFaultLeavesTheOriginalIntact) {
    const struct {
        SaveStep step;
        int error;
    } cases[] = {{SaveStep::Create, EACCES}, {SaveStep::Create, EROFS}, {SaveStep::Write, ENOSPC},
                 {SaveStep::Write, EIO},     {SaveStep::Flush, EIO},    {SaveStep::Close, EIO},
                 {SaveStep::Replace, EXDEV}, {SaveStep::Replace, EBUSY}};
    for (const auto& c : cases) {
        TempDir dir;
        WriteBytes(dir / "f.asp", "original\r\n");
        CCrystalTextBuffer b;
        ASSERT_TRUE(b.ReadFromFile(dir / "f.asp"));
        ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, std::string(3 << 20, 'x')));  // more than one write block
        g_failingStep = c.step;
        g_failingErrno = c.error;
        SetSaveFaultHook(FailChosenStep);
        FileError err;
        const bool saved = b.WriteToFile(dir / "f.asp", LineEndAuto, true, &err);
        SetSaveFaultHook(nullptr);
        SCOPED_TRACE(static_cast<int>(c.step));
        EXPECT_FALSE(saved);
        EXPECT_EQ(err.code.value(), c.error);
        EXPECT_NE(err.message.find(std::strerror(c.error)), std::string::npos) << err.message;
        EXPECT_TRUE(b.IsDirty());
        EXPECT_EQ(ReadBytes(dir / "f.asp"), "original\r\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    }
}

}  // namespace
}  // namespace tarnwell
