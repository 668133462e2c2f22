// Edits, position adjusters, view notification, line marks and the line table.
#include "tests/text/BufferTestSupport.h"

#include "text/GapVector.h"

#include <functional>

namespace tarnwell {
namespace {

using testing::Lines;
using testing::RecordingView;
using Strings = std::vector<std::string>;
using namespace std::string_literals;

struct AdjustCase {
    const char* name;
    bool insert;
    TextPosition start, end, before, after;
};

class Adjusters : public ::testing::TestWithParam<AdjustCase> {};

TEST_P(Adjusters, MovePositionsWithTheText) {
    const AdjustCase& c = GetParam();
    TextPosition p = c.before;
    if (c.insert) {
        InsertAdjuster(c.start, c.end).Adjust(p);
    } else {
        RemoveAdjuster(c.start, c.end).Adjust(p);
    }
    EXPECT_EQ(p, c.after) << "got (" << p.line << ", " << p.ch << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Buffer, Adjusters,
    ::testing::Values(
        AdjustCase{"insert_line_before_unchanged", true, {3, 2}, {5, 1}, {2, 9}, {2, 9}},
        AdjustCase{"insert_later_line_moves_down", true, {3, 2}, {5, 1}, {7, 4}, {9, 4}},
        AdjustCase{"insert_exactly_at_start_stays", true, {3, 2}, {5, 1}, {3, 2}, {3, 2}},
        AdjustCase{"insert_same_line_before_stays", true, {3, 2}, {5, 1}, {3, 1}, {3, 1}},
        AdjustCase{"insert_same_line_after_follows", true, {3, 2}, {5, 1}, {3, 6}, {5, 5}},
        AdjustCase{"insert_within_line_shifts", true, {0, 2}, {0, 5}, {0, 4}, {0, 7}},
        AdjustCase{"remove_line_before_unchanged", false, {2, 1}, {4, 3}, {1, 7}, {1, 7}},
        AdjustCase{"remove_after_end_line_moves_up", false, {2, 1}, {4, 3}, {6, 2}, {4, 2}},
        AdjustCase{"remove_on_end_line_after_end", false, {2, 1}, {4, 3}, {4, 5}, {2, 3}},
        AdjustCase{"remove_exactly_at_end", false, {2, 1}, {4, 3}, {4, 3}, {2, 1}},
        AdjustCase{"remove_on_end_line_inside", false, {2, 1}, {4, 3}, {4, 2}, {2, 1}},
        AdjustCase{"remove_inside_lines_to_start", false, {2, 1}, {4, 3}, {3, 9}, {2, 1}},
        AdjustCase{"remove_start_line_after_start_clamped", false, {2, 1}, {4, 3}, {2, 8}, {2, 1}},
        AdjustCase{"remove_start_line_before_start", false, {2, 1}, {4, 3}, {2, 0}, {2, 0}},
        AdjustCase{"remove_one_line_inside_clamped", false, {0, 2}, {0, 6}, {0, 4}, {0, 2}},
        AdjustCase{"remove_one_line_after_shifts", false, {0, 2}, {0, 6}, {0, 9}, {0, 5}},
        AdjustCase{"remove_spec_join_cursor_moves_up", false, {0, 2}, {2, 1}, {5, 0}, {3, 0}}),
    [](const ::testing::TestParamInfo<AdjustCase>& info) { return std::string(info.param.name); });

TEST(BufferEdit, InsertSplitsAtCrLfAndLoneCrButNotLf) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, ""));
    TextPosition end;
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "p\r\nq\rr\ns", &end));
    EXPECT_EQ(Lines(b), (Strings{"p", "q", "r\ns"}));
    EXPECT_EQ(end, TextPosition(2, 3));
    EXPECT_TRUE(b.Check());
}

TEST(BufferEdit, InsertIntoTheMiddleKeepsTheTail) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "<b>bold</b>\r\nnext"));
    TextPosition end;
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 3, "very\r\n\r\nreally ", &end));
    EXPECT_EQ(Lines(b), (Strings{"<b>very", "", "really bold</b>", "next"}));
    EXPECT_EQ(end, TextPosition(2, 7));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 3, 4, "!", &end));
    EXPECT_EQ(b.LineChars(3), "next!");
    EXPECT_EQ(end, TextPosition(3, 5));
    EXPECT_TRUE(b.Check());
}

TEST(BufferEdit, NulIsAnOrdinaryCharacterInInsertedText) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "ab"));
    TextPosition end;
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 1, "\0x\r\n\0"s, &end));
    EXPECT_EQ(Lines(b), (Strings{"a\0x"s, "\0b"s}));
    EXPECT_EQ(end, TextPosition(1, 1));
    EXPECT_EQ(b.CopyRange({0, 1}, {1, 1}), "\0x\r\n\0"s);
}

TEST(BufferEdit, EmptyInsertSucceedsWithoutRecord) {
    CCrystalTextBuffer b;
    RecordingView v;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "abc"));
    b.AttachView(&v);
    TextPosition end;
    ASSERT_TRUE(b.InsertTextAt(&v, 0, 2, "", &end));
    EXPECT_EQ(end, TextPosition(0, 2));
    EXPECT_FALSE(b.CanUndoStep());
    EXPECT_FALSE(b.IsDirty());
    EXPECT_TRUE(v.calls.empty());
    b.DetachView(&v);
}

TEST(BufferEdit, RemoveJoinsHeadAndTail) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "abcd\r\nefg\r\nhij\r\nk\r\nl\r\nm"));
    RecordingView v;
    v.cursor = TextPosition(5, 0);
    b.AttachView(&v);
    ASSERT_TRUE(b.RemoveRange(&v, {0, 2}, {2, 1}));
    EXPECT_EQ(Lines(b), (Strings{"abij", "k", "l", "m"}));
    EXPECT_EQ(v.cursor, TextPosition(3, 0));
    ASSERT_EQ(v.calls.size(), 1u);
    EXPECT_EQ(v.calls[0].hints, HintWidth | HintHeight);
    EXPECT_EQ(v.calls[0].line, 0);
    EXPECT_EQ(v.calls[0].source, &v);
    EXPECT_FALSE(v.calls[0].insert);
    ASSERT_TRUE(b.RemoveRange(&v, {0, 0}, {0, 2}));
    EXPECT_EQ(b.LineChars(0), "ij");
    EXPECT_EQ(v.calls.back().hints, HintWidth | HintOneLine);
    ASSERT_TRUE(b.RemoveRange(&v, {0, 1}, {0, 2}));
    ASSERT_TRUE(b.RemoveRange(&v, {2, 0}, {3, 1}));
    EXPECT_EQ(Lines(b), (Strings{"i", "k", ""}));
    EXPECT_TRUE(b.Check());
    b.DetachView(&v);
}

TEST(BufferEdit, InvalidAndReadOnlyChangesFailAndChangeNothing) {
    CCrystalTextBuffer b;
    EXPECT_FALSE(b.InsertTextAt(nullptr, 0, 0, "x"));  // no text yet
    ASSERT_TRUE(b.InitFromText(LineEndDos, "abc\r\nde"));
    EXPECT_FALSE(b.InsertTextAt(nullptr, 0, 4, "x"));
    EXPECT_FALSE(b.InsertTextAt(nullptr, 2, 0, "x"));
    EXPECT_FALSE(b.InsertTextAt(nullptr, -1, 0, "x"));
    EXPECT_FALSE(b.RemoveRange(nullptr, {1, 1}, {0, 1}));
    EXPECT_FALSE(b.RemoveRange(nullptr, {0, 1}, {1, 3}));
    b.SetReadOnly(true);
    EXPECT_FALSE(b.InsertTextAt(nullptr, 0, 0, "x"));
    EXPECT_FALSE(b.RemoveRange(nullptr, {0, 0}, {0, 1}));
    EXPECT_FALSE(b.ApplyInsert(nullptr, 0, 0, "x"));
    EXPECT_FALSE(b.ApplyRemove(nullptr, {0, 0}, {0, 1}));
    EXPECT_EQ(Lines(b), (Strings{"abc", "de"}));
    EXPECT_FALSE(b.CanUndoStep());
    EXPECT_FALSE(b.IsDirty());
    EXPECT_EQ(b.LineLength(7), 0);
    EXPECT_STREQ(b.LineText(7), "");
}

TEST(BufferEdit, CopyRangeUsesTheSeparator) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "one\r\ntwo\r\nthree"));
    EXPECT_EQ(b.CopyRange({0, 1}, {2, 2}), "ne\r\ntwo\r\nth");
    EXPECT_EQ(b.CopyRange({0, 1}, {2, 2}, "\n"), "ne\ntwo\nth");
    EXPECT_EQ(b.CopyRange({1, 1}, {1, 1}), "");
    EXPECT_EQ(b.CopyRange({1, 2}, {1, 1}), "");
    EXPECT_EQ(b.Text(LineEndMac), "one\n\rtwo\n\rthree");
}

TEST(BufferNotify, ViewsAreToldInAttachOrderWithHints) {
    CCrystalTextBuffer b;
    std::vector<int> order;
    struct OrderView : BufferObserver {
        std::vector<int>* order;
        int id;
        void OnBufferChanged(BufferObserver*, const PositionAdjuster*, std::uint32_t, int) override {
            order->push_back(id);
        }
    } first, second;
    first.order = second.order = &order;
    first.id = 1;
    second.id = 2;
    b.AttachView(&first);
    b.AttachView(&second);
    b.AttachView(&first);  // attaching twice changes nothing
    ASSERT_TRUE(b.InitFromText(LineEndDos, "x"));
    ASSERT_TRUE(b.InsertTextAt(&second, 0, 0, "a"));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2}));
    b.DetachView(&first);
    ASSERT_TRUE(b.InsertTextAt(&second, 0, 0, "\r\n"));
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2, 2}));
    b.DetachView(&second);
}

TEST(BufferNotify, ChangesFromInsideANotificationAreRefused) {
    CCrystalTextBuffer b;
    struct MeddlingView : BufferObserver {
        CCrystalTextBuffer* buffer;
        int calls = 0;
        bool insertOk = true, removeOk = true, undoOk = true, initOk = true;
        void OnBufferChanged(BufferObserver*, const PositionAdjuster*, std::uint32_t, int) override {
            ++calls;
            insertOk = buffer->InsertTextAt(this, 0, 0, "again");
            removeOk = buffer->RemoveRange(this, {0, 0}, {0, 1});
            undoOk = buffer->UndoStep();
            initOk = buffer->InitFromText(0, "gone");
            buffer->MarkLine(0, BookmarkBit);
            buffer->DetachView(this);  // detaching is allowed
        }
    } v;
    v.buffer = &b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "text"));
    b.AttachView(&v);
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 4, "!"));
    EXPECT_EQ(v.calls, 1);
    EXPECT_FALSE(v.insertOk);
    EXPECT_FALSE(v.removeOk);
    EXPECT_FALSE(v.undoOk);
    EXPECT_FALSE(v.initOk);
    EXPECT_EQ(Lines(b), (Strings{"text!"}));
    EXPECT_EQ(b.LineFlags(0), 0u);
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "?"));
    EXPECT_EQ(v.calls, 1);  // detached during the first notification
}

TEST(BufferMarks, MarksMoveWithTheirLines) {
    // Lines 1, 3 and 4 of five carry marks; after each edit, the marks of every line.
    struct Case {
        const char* name;
        std::function<bool(CCrystalTextBuffer&)> edit;
        std::vector<std::uint32_t> marks;
    };
    const Case cases[] = {
        {"nothing", [](CCrystalTextBuffer&) { return true; }, {0, 1, 0, 2, 5}},
        {"line break in line 0", [](CCrystalTextBuffer& b) { return b.InsertTextAt(nullptr, 0, 1, "x\r\ny"); },
         {0, 0, 1, 0, 2, 5}},
        {"two lines after line 1", [](CCrystalTextBuffer& b) { return b.InsertTextAt(nullptr, 1, 2, "\r\n\r\n"); },
         {0, 1, 0, 0, 0, 2, 5}},
        {"join lines 0 to 2", [](CCrystalTextBuffer& b) { return b.RemoveRange(nullptr, {0, 1}, {2, 1}); }, {0, 2, 5}},
        {"join lines 2 to 4", [](CCrystalTextBuffer& b) { return b.RemoveRange(nullptr, {2, 0}, {4, 0}); }, {0, 1, 0}},
        {"edit within line 3", [](CCrystalTextBuffer& b) { return b.InsertTextAt(nullptr, 3, 1, "zz"); },
         {0, 1, 0, 2, 5}},
    };
    for (const Case& c : cases) {
        CCrystalTextBuffer b;
        ASSERT_TRUE(b.InitFromText(LineEndDos, "l0\r\nl1\r\nl2\r\nl3\r\nl4"));
        b.MarkLine(1, 0x1);
        b.MarkLine(3, 0x2);
        b.MarkLine(4, 0x1);
        b.MarkLine(4, 0x4);
        ASSERT_TRUE(c.edit(b)) << c.name;
        std::vector<std::uint32_t> marks;
        for (int i = 0; i < b.LineCount(); ++i) marks.push_back(b.LineFlags(i));
        EXPECT_EQ(marks, c.marks) << c.name;
        EXPECT_EQ(b.FirstMarkedLine(0x4), c.marks.back() == 5 ? b.LineCount() - 1 : -1) << c.name;
    }
}

TEST(BufferMarks, MarkRulesAndNotifications) {
    CCrystalTextBuffer b;
    RecordingView v;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "a\r\nb\r\nc\r\nd"));
    b.AttachView(&v);
    b.MarkLine(1, 0x3);  // not a single bit
    EXPECT_EQ(b.FirstMarkedLine(0x3), -1);
    EXPECT_TRUE(v.calls.empty());
    b.MarkLine(2, 0x4);
    b.MarkLine(1, 0x4, true, true);  // the mark moves from line 2
    EXPECT_EQ(b.LineFlags(2), 0u);
    EXPECT_EQ(b.LineFlags(1), 0x4u);
    ASSERT_EQ(v.calls.size(), 3u);
    EXPECT_EQ(v.calls[1].line, 2);
    EXPECT_EQ(v.calls[2].line, 1);
    for (auto& c : v.calls) {
        EXPECT_EQ(c.hints, HintOneLine | HintFlagsOnly);
        EXPECT_FALSE(c.hasAdjuster);
        EXPECT_EQ(c.source, nullptr);
    }
    b.MarkLine(3, BookmarkBit);
    b.MarkLine(0, BookmarkBit);
    b.MarkLine(0, BookmarkBit);  // unchanged: no notification
    EXPECT_EQ(v.calls.size(), 5u);
    b.MarkLine(-1, BookmarkBit, false);  // the first marked line loses it
    EXPECT_EQ(b.LineFlags(0), 0u);
    EXPECT_EQ(b.FirstMarkedLine(BookmarkBit), 3);
    EXPECT_FALSE(b.IsDirty());
    EXPECT_FALSE(b.CanUndoStep());
    // Marks travel with their line when lines are inserted or removed above.
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "new\r\n"));
    EXPECT_EQ(b.FirstMarkedLine(BookmarkBit), 4);
    ASSERT_TRUE(b.RemoveRange(nullptr, {0, 0}, {2, 0}));
    EXPECT_EQ(b.FirstMarkedLine(BookmarkBit), 2);
    b.DetachView(&v);
}

TEST(BufferEdit, EditsOfLoadedLinesDoNotTouchOtherLines) {
    // Lines share the loaded block until they change; edits at line starts, ends and joins of
    // untouched lines must leave every other line intact.
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "alpha\r\nbeta\r\ngamma\r\ndelta\r\nepsilon"));
    ASSERT_TRUE(b.RemoveRange(nullptr, {1, 0}, {1, 2}));  // head of a loaded line
    ASSERT_TRUE(b.RemoveRange(nullptr, {2, 3}, {2, 5}));  // its end
    ASSERT_TRUE(b.RemoveRange(nullptr, {3, 0}, {4, 2}));  // join of two loaded lines
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 2, "\r\n"));   // break a loaded line
    EXPECT_EQ(Lines(b), (Strings{"al", "pha", "ta", "gam", "silon"}));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 4, 5, "!"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 2, 0, "be"));
    EXPECT_EQ(Lines(b), (Strings{"al", "pha", "beta", "gam", "silon!"}));
    EXPECT_TRUE(b.Check());
}

TEST(GapVector, InsertEraseAnywhereKeepsOrder) {
    GapVector<int> g;
    std::vector<int> model;
    std::mt19937 rng(3);
    for (int step = 0; step < 20000; ++step) {
        const size_t pos = model.empty() ? 0 : rng() % (model.size() + 1);
        if (model.empty() || rng() % 3 != 0) {
            const size_t n = 1 + rng() % 5;
            g.Insert(pos, n, step);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(pos), n, step);
        } else {
            const size_t at = rng() % model.size();
            const size_t n = std::min<size_t>(1 + rng() % 4, model.size() - at);
            g.Erase(at, n);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(at),
                        model.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        ASSERT_TRUE(g.Check());
        ASSERT_EQ(g.size(), model.size());
        if (step % 500 == 0) {
            for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(g[i], model[i]);
        }
    }
    for (size_t i = 0; i < model.size(); ++i) ASSERT_EQ(g[i], model[i]);
}

}  // namespace
}  // namespace tarnwell
