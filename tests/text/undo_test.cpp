// The undo history: grouping and merging, the dirty rule, capacity trimming, redo tails, and a
// randomized comparison against a plain string model.
#include "tests/text/BufferTestSupport.h"

namespace tarnwell {
namespace {

using testing::Lines;
using testing::RecordingView;
using testing::TempDir;
using Strings = std::vector<std::string>;

// Types text one character at a time the way the edit view does: each character in a group that
// merges with the previous one.
void Type(CCrystalTextBuffer& b, TextPosition& at, const std::string& text, bool mergeFirst) {
    bool merge = mergeFirst;
    for (char c : text) {
        UndoGroup group(b, merge);
        ASSERT_TRUE(b.InsertTextAt(nullptr, at, std::string_view(&c, 1), &at));
        merge = true;
    }
}

TEST(Undo, TypedGroupUndoesAsOneStepAndReturnsToItsStart) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "<p></p>"));
    TextPosition at(0, 3);
    Type(b, at, "hi", false);
    EXPECT_EQ(b.LineChars(0), "<p>hi</p>");
    EXPECT_EQ(b.HistorySize(), 2);
    TextPosition cursor;
    ASSERT_TRUE(b.UndoStep(&cursor));
    EXPECT_EQ(b.LineChars(0), "<p></p>");
    EXPECT_EQ(cursor, TextPosition(0, 3));
    EXPECT_FALSE(b.CanUndoStep());
    EXPECT_FALSE(b.IsDirty());
    ASSERT_TRUE(b.RedoStep(&cursor));
    EXPECT_EQ(b.LineChars(0), "<p>hi</p>");
    EXPECT_EQ(cursor, TextPosition(0, 5));
    EXPECT_TRUE(b.IsDirty());
}

TEST(Undo, ChangesOutsideGroupsAreStepsOfTheirOwn) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "abc"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 3, "d"));
    ASSERT_TRUE(b.RemoveRange(nullptr, {0, 0}, {0, 1}));
    TextPosition cursor;
    ASSERT_TRUE(b.UndoStep(&cursor));
    EXPECT_EQ(b.LineChars(0), "abcd");
    EXPECT_EQ(cursor, TextPosition(0, 1));  // end of the re-inserted text
    ASSERT_TRUE(b.UndoStep(&cursor));
    EXPECT_EQ(b.LineChars(0), "abc");
    EXPECT_EQ(cursor, TextPosition(0, 3));
    ASSERT_TRUE(b.RedoStep(&cursor));
    ASSERT_TRUE(b.RedoStep(&cursor));
    EXPECT_EQ(b.LineChars(0), "bcd");
    EXPECT_EQ(cursor, TextPosition(0, 0));
    EXPECT_FALSE(b.RedoStep());
}

TEST(Undo, OpenGroupCollectsSeveralChangesAndMergeNeedsAPreviousRecord) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "a\r\nb\r\nc"));
    b.OpenUndoGroup(true);  // nothing to merge with yet: starts a group
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "\t"));
    b.CloseUndoGroup();
    {
        UndoGroup indent(b);
        ASSERT_TRUE(b.InsertTextAt(nullptr, 1, 0, "\t"));
        ASSERT_TRUE(b.InsertTextAt(nullptr, 2, 0, "\t"));
        UndoGroup nested(b, true);  // inside an open group: no new group
        ASSERT_TRUE(b.RemoveRange(nullptr, {2, 1}, {2, 2}));
    }
    EXPECT_FALSE(b.IsUndoGroupOpen());
    EXPECT_EQ(b.HistoryAt(0).flags, UndoInsertBit | UndoGroupStartBit);
    EXPECT_EQ(b.HistoryAt(1).flags, UndoInsertBit | UndoGroupStartBit);
    EXPECT_EQ(b.HistoryAt(2).flags, UndoInsertBit);
    EXPECT_EQ(b.HistoryAt(3).flags, 0u);
    EXPECT_EQ(b.HistoryAt(3).text, "c");
    ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(Lines(b), (Strings{"\ta", "b", "c"}));
    ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(Lines(b), (Strings{"a", "b", "c"}));
}

TEST(Undo, UndoAndRedoNotifyEveryViewWithoutSource) {
    CCrystalTextBuffer b;
    RecordingView v;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "ab"));
    b.AttachView(&v);
    ASSERT_TRUE(b.InsertTextAt(&v, 0, 1, "\r\n"));
    v.calls.clear();
    ASSERT_TRUE(b.UndoStep());
    ASSERT_EQ(v.calls.size(), 1u);
    EXPECT_EQ(v.calls[0].source, nullptr);
    EXPECT_FALSE(v.calls[0].insert);
    EXPECT_EQ(v.calls[0].start, TextPosition(0, 1));
    EXPECT_EQ(v.calls[0].end, TextPosition(1, 0));
    EXPECT_EQ(v.calls[0].hints, HintWidth | HintHeight);
    b.DetachView(&v);
}

TEST(Undo, DirtyFollowsTheSavedPosition) {
    TempDir dir;
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "x"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 1, "1"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 2, "2"));
    ASSERT_TRUE(b.WriteToFile(dir / "f"));
    EXPECT_FALSE(b.IsDirty());
    ASSERT_TRUE(b.UndoStep());
    EXPECT_TRUE(b.IsDirty());
    ASSERT_TRUE(b.RedoStep());
    EXPECT_FALSE(b.IsDirty());
    // Undo all, redo all: dirty exactly when away from the saved position.
    while (b.CanUndoStep()) ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(b.LineChars(0), "x");
    EXPECT_TRUE(b.IsDirty());
    while (b.CanRedoStep()) ASSERT_TRUE(b.RedoStep());
    EXPECT_EQ(b.LineChars(0), "x12");
    EXPECT_FALSE(b.IsDirty());
}

TEST(Undo, NewChangeDropsTheRedoTailAndASavedStateInIt) {
    TempDir dir;
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, ""));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "A"));
    ASSERT_TRUE(b.WriteToFile(dir / "f"));  // saved at position 1
    ASSERT_TRUE(b.UndoStep());
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "B"));
    EXPECT_FALSE(b.CanRedoStep());
    EXPECT_EQ(b.HistorySize(), 1);
    // Position 1 now means "B", not the saved "A": stepping back there must not look clean.
    EXPECT_EQ(b.SavedPosition(), -1);
    ASSERT_TRUE(b.UndoStep());
    ASSERT_TRUE(b.RedoStep());
    EXPECT_EQ(b.LineChars(0), "B");
    EXPECT_TRUE(b.IsDirty());
}

TEST(Undo, CapacityDropsTheOldestGroupAndForgetsTheSavedState) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, ""));
    EXPECT_EQ(b.UndoCapacity(), 1024);
    {
        UndoGroup first(b);  // one group of two records
        ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "a"));
        ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 1, "b"));
    }
    for (int i = 0; i < 1022; ++i) ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 2 + i, "c"));
    EXPECT_EQ(b.HistorySize(), 1024);
    EXPECT_EQ(b.SavedPosition(), 0);
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 1024, "d"));  // the 1025th record
    EXPECT_EQ(b.HistorySize(), 1023);
    EXPECT_EQ(b.HistoryPosition(), 1023);
    EXPECT_EQ(b.SavedPosition(), -1);
    EXPECT_EQ(b.HistoryAt(0).text, "c");
    while (b.CanUndoStep()) ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(b.LineChars(0), "ab");
    EXPECT_TRUE(b.IsDirty());
}

TEST(Undo, TinyCapacityTrimsOneGroupPerRecord) {
    CCrystalTextBuffer b(2);
    ASSERT_TRUE(b.InitFromText(LineEndDos, ""));
    EXPECT_EQ(b.UndoCapacity(), 2);
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "1"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 1, "2"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 2, "3"));
    EXPECT_EQ(b.HistorySize(), 2);
    EXPECT_EQ(b.HistoryAt(0).text, "2");
    ASSERT_TRUE(b.UndoStep());
    ASSERT_TRUE(b.UndoStep());
    EXPECT_FALSE(b.UndoStep());
    EXPECT_EQ(b.LineChars(0), "1");
}

TEST(Undo, AGroupLargerThanTheCapacityStillUndoesWhole) {
    // A Replace All with more changes than the history holds must not be cut in half.
    CCrystalTextBuffer b(4);
    ASSERT_TRUE(b.InitFromText(LineEndDos, "a a a a a a a a a a"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "<"));  // an earlier step
    {
        UndoGroup replaceAll(b);
        for (int i = 0; i < 10; ++i) {
            ASSERT_TRUE(b.RemoveRange(nullptr, {0, 1 + 2 * i}, {0, 2 + 2 * i}));
            ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 1 + 2 * i, "b"));
        }
    }
    EXPECT_EQ(b.LineChars(0), "<b b b b b b b b b b");
    EXPECT_EQ(b.HistorySize(), 20);  // the earlier step was dropped, the group kept whole
    ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(b.LineChars(0), "<a a a a a a a a a a");
    EXPECT_FALSE(b.CanUndoStep());
    ASSERT_TRUE(b.RedoStep());
    EXPECT_EQ(b.LineChars(0), "<b b b b b b b b b b");
    // The next separate step trims the big group as a whole.
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, ">"));
    EXPECT_EQ(b.HistorySize(), 1);
}

TEST(Undo, UndoOfARemovalRestoresLinesHoldingCarriageReturns) {
    // A LF file whose lines end in CR: the removed text, joined with CR LF, would split at every CR
    // if re-inserted as text.
    TempDir dir;
    testing::WriteBytes(dir / "f", "a\nb\r\nc\rd\ne");
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.ReadFromFile(dir / "f"));
    ASSERT_EQ(b.LineEndMode(), LineEndUnix);
    const Strings before = Lines(b);
    ASSERT_EQ(before, (Strings{"a", "b\r", "c\rd", "e"}));
    ASSERT_TRUE(b.RemoveRange(nullptr, {0, 0}, {2, 1}));
    ASSERT_TRUE(b.RemoveRange(nullptr, {0, 0}, {0, 1}));
    ASSERT_TRUE(b.UndoStep());
    ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(Lines(b), before);
    ASSERT_TRUE(b.WriteToFile(dir / "f"));
    EXPECT_EQ(testing::ReadBytes(dir / "f"), "a\nb\r\nc\rd\ne");
    ASSERT_TRUE(b.RemoveRange(nullptr, {2, 1}, {2, 3}));  // one line, its own CR
    ASSERT_TRUE(b.UndoStep());
    EXPECT_EQ(Lines(b), before);
}

TEST(Undo, ReadOnlyBufferDoesNotStep) {
    CCrystalTextBuffer b;
    ASSERT_TRUE(b.InitFromText(LineEndDos, "x"));
    ASSERT_TRUE(b.InsertTextAt(nullptr, 0, 0, "y"));
    b.SetReadOnly(true);
    EXPECT_FALSE(b.UndoStep());
    EXPECT_EQ(b.HistoryPosition(), 1);
    EXPECT_EQ(b.LineChars(0), "yx");
}

// The buffer's text as one string with LF between lines: the model's form.
std::string Flat(const CCrystalTextBuffer& b) { return b.Text(LineEndUnix); }

TextPosition PositionOf(const std::string& model, size_t off) {
    TextPosition p(0, 0);
    size_t lineStart = 0;
    for (size_t i = 0; i < off; ++i) {
        if (model[i] == '\n') {
            ++p.line;
            lineStart = i + 1;
        }
    }
    p.ch = static_cast<int>(off - lineStart);
    return p;
}

TEST(Undo, RandomEditsAgreeWithAStringModelThroughUndoAllAndRedoAll) {
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 rng(seed);
        CCrystalTextBuffer b(100000);
        // A LF file whose lines hold CRs of their own, so removals cross them.
        TempDir dir;
        testing::WriteBytes(dir / "start.asp", "<html>\r\n<% x = 1 %>\r\n</html>\r\nend\rof\rit");
        ASSERT_TRUE(b.ReadFromFile(dir / "start.asp", LineEndUnix));
        std::string model = Flat(b);
        const std::string initial = model;
        std::vector<std::string> states{model};  // the text after each undo step
        static const char* const pieces[] = {"a", "\r\n", "<%", "\r", "\n", "%>\r\n\r\n", "\0", "\xe9", "  ", "\r\r\n"};
        for (int step = 0; step < 3000; ++step) {
            UndoGroup group(b);
            const int changes = 1 + static_cast<int>(rng() % 3);
            for (int c = 0; c < changes; ++c) {
                if (model.empty() || rng() % 2 == 0) {
                    const size_t at = rng() % (model.size() + 1);
                    std::string text;
                    const int n = 1 + static_cast<int>(rng() % 3);
                    for (int i = 0; i < n; ++i) {
                        const char* p = pieces[rng() % 10];
                        text.append(p, *p ? std::strlen(p) : 1);
                    }
                    TextPosition end;
                    ASSERT_TRUE(b.InsertTextAt(nullptr, PositionOf(model, at), text, &end));
                    // The model splits the same way: CR LF and lone CR break the line.
                    std::string asModel;
                    for (size_t i = 0; i < text.size(); ++i) {
                        if (text[i] == '\r') {
                            asModel += '\x01';  // placeholder for a line break
                            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                        } else {
                            asModel += text[i] == '\n' ? '\x02' : text[i];
                        }
                    }
                    // Lone LFs are characters: keep them distinct from line breaks in the model.
                    for (char& ch : asModel) {
                        if (ch == '\x01') ch = '\n';
                        else if (ch == '\x02') ch = '\x7f';
                    }
                    model.insert(at, asModel);
                    ASSERT_EQ(end, PositionOf(model, at + asModel.size()));
                } else {
                    size_t from = rng() % (model.size() + 1);
                    size_t to = std::min(model.size(), from + rng() % 12);
                    ASSERT_TRUE(b.RemoveRange(nullptr, PositionOf(model, from), PositionOf(model, to)));
                    model.erase(from, to - from);
                }
            }
            states.push_back(model);
        }
        // Compare, with lone LFs of the buffer shown as the model's stand-in.
        auto flatWithStandIns = [&]() {
            std::string out;
            for (int l = 0; l < b.LineCount(); ++l) {
                if (l) out += '\n';
                for (char ch : b.LineChars(l)) out += ch == '\n' ? '\x7f' : ch;
            }
            return out;
        };
        // The model keeps 0x7f for lone LFs typed as text; the starting text has none.
        ASSERT_EQ(flatWithStandIns(), model) << "seed " << seed;
        ASSERT_TRUE(b.Check());
        const std::string final = flatWithStandIns();
        for (size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(b.UndoStep());
            ASSERT_EQ(flatWithStandIns(), states[i - 1]) << "undo to state " << i - 1;
        }
        EXPECT_FALSE(b.CanUndoStep());
        EXPECT_EQ(Flat(b), initial);
        EXPECT_FALSE(b.IsDirty());
        while (b.CanRedoStep()) ASSERT_TRUE(b.RedoStep());
        EXPECT_EQ(flatWithStandIns(), final);
        EXPECT_TRUE(b.IsDirty());
        EXPECT_TRUE(b.Check());
    }
}

}  // namespace
}  // namespace tarnwell
