// Find Next and the Find/Replace dialog models over a real text buffer.
#include "platform/MemoryProfile.h"
#include "text/BufferFindTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwell;

namespace {

struct Messages {
    std::vector<std::string> seen;
    MessageSink Sink() {
        return [this](const std::string& m, bool info) { seen.push_back((info ? "i:" : "w:") + m); };
    }
};

struct Doc {
    CCrystalTextBuffer buffer;
    explicit Doc(const std::string& text, CodePage cp = CodePage::Windows1252) : target(nullptr) {
        buffer.InitFromText(LineEndDos, text);
        target = std::make_unique<BufferFindTarget>(buffer, cp);
    }
    std::unique_ptr<BufferFindTarget> target;
    std::string Text() { return buffer.Text(LineEndDos); }
};

}  // namespace

TEST(FindNextCommand, DoesNothingBeforeTheFirstSearchThenWalksAndWraps) {
    Doc d("cat dog\r\ncat\r\nbird cat");
    Messages msg;
    EXPECT_EQ(FindNext(*d.target, msg.Sink()), FindNextResult::NoSearch);
    d.target->LastSearch() = {true, "cat", 0};
    std::vector<TextPosition> found;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(FindNext(*d.target, msg.Sink()), FindNextResult::Found);
        found.push_back(d.target->SelectionStart());
        EXPECT_EQ(d.target->Cursor(), TextPosition(found.back().line, found.back().ch + 3));
    }
    EXPECT_EQ(found, (std::vector<TextPosition>{{0, 4 - 4}, {1, 0}, {2, 5}, {0, 0}}));
    d.target->LastSearch() = {true, "fish", 0};
    EXPECT_EQ(FindNext(*d.target, msg.Sink()), FindNextResult::NotFound);
    EXPECT_EQ(msg.seen, (std::vector<std::string>{"w:Cannot find the string \"fish\"."}));
}

TEST(FindNextCommand, RepeatedUpSearchMovesToThePreviousOccurrence) {
    Doc d("ab ab ab");
    d.target->SetCursor({0, 8});
    d.target->LastSearch() = {true, "ab", SearchUpBit};
    std::vector<int> at;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(FindNext(*d.target, nullptr), FindNextResult::Found);
        at.push_back(d.target->SelectionStart().ch);
    }
    EXPECT_EQ(at, (std::vector<int>{6, 3, 0}));
}

TEST(FindDialog, StartsFromTheProfileThenFromTheSearchMemory) {
    Doc d("Hello World");
    MemoryProfile profile;
    profile.WriteInt("CrystalEdit\\Find", "MatchCase", 1);
    profile.WriteString("CrystalEdit\\Find", "FindWhat", "World");
    {
        FindDialogModel m(*d.target, profile);
        EXPECT_EQ(m.text, "World");
        EXPECT_TRUE(m.matchCase);
        EXPECT_FALSE(m.wholeWord);
        EXPECT_FALSE(m.up);
        EXPECT_TRUE(d.target->ShowSelectionAlways()) << "forced on while open";
        m.wholeWord = true;
        m.up = true;
        m.text = "hello";
        m.matchCase = false;
        ASSERT_TRUE(m.FindNext(nullptr));
        m.Close();
    }
    EXPECT_FALSE(d.target->ShowSelectionAlways()) << "restored";
    EXPECT_EQ(d.target->LastSearch().lastSearchText, "hello");
    EXPECT_EQ(d.target->LastSearch().lastSearchOptions, unsigned(SearchWordBit | SearchUpBit));
    EXPECT_EQ(profile.GetInt("CrystalEdit\\Find", "MatchCase", 9), 0);
    EXPECT_EQ(profile.GetInt("CrystalEdit\\Find", "WholeWord", 9), 1);
    EXPECT_EQ(profile.GetString("CrystalEdit\\Find", "FindWhat"), "hello");
    EXPECT_FALSE(profile.Has("CrystalEdit\\Find", "Up")) << "the direction is not stored";

    // The second opening takes the view's memory, but the selected match's own text.
    FindDialogModel again(*d.target, profile);
    EXPECT_EQ(again.text, "Hello");
    EXPECT_TRUE(again.up);
    again.Close();
    d.target->SelectRange({0, 6}, {0, 9});
    FindDialogModel third(*d.target, profile);
    EXPECT_EQ(third.text, "Wor");
    third.Close();
}

TEST(FindDialog, NotFoundShowsTheMessageAndRestartsAtTheTop) {
    Doc d("one\r\ntwo");
    MemoryProfile profile;
    FindDialogModel m(*d.target, profile);
    m.text = "";
    EXPECT_FALSE(m.CanFindNext());
    m.text = "three";
    Messages msg;
    EXPECT_FALSE(m.FindNext(msg.Sink()));
    EXPECT_EQ(msg.seen.size(), 1u);
    // the text changes while the dialog stays open: the next search starts at (0, 0)
    d.target->SetCursor({1, 3});
    m.text = "o";
    ASSERT_TRUE(m.FindNext(msg.Sink()));
    EXPECT_EQ(d.target->SelectionStart(), TextPosition(0, 0));
    m.Close();
}

TEST(FindDialog, SearchesWithTheDocumentsCodePage) {
    Doc d("x caf\xC3\x89", CodePage::Utf8);
    MemoryProfile profile;
    FindDialogModel m(*d.target, profile);
    m.text = "caf\xC3\xA9";
    ASSERT_TRUE(m.FindNext(nullptr));
    EXPECT_EQ(d.target->SelectionEnd(), TextPosition(0, 7));
    m.Close();
    Doc w("x caf\xC9");  // Windows-1252
    FindDialogModel m2(*w.target, profile);
    m2.text = "caf\xC3\xA9";
    ASSERT_TRUE(m2.FindNext(nullptr));
    EXPECT_EQ(w.target->SelectionStart(), TextPosition(0, 2));
    m2.text = "\xE2\x82\xAC\xE2\x86\x92";  // euro sign exists in the code page, the arrow does not
    EXPECT_FALSE(m2.FindNext(nullptr));
    m2.Close();
}

TEST(ReplaceDialog, ReplaceAllWithATextThatContainsTheFindTextStops) {
    Doc d("a b a\r\naa");
    MemoryProfile profile;
    Messages msg;
    ReplaceDialogModel m(*d.target, profile);
    EXPECT_FALSE(m.SelectionEnabled());
    m.findText = "a";
    m.replaceText = "aa";
    EXPECT_EQ(m.ReplaceAll(msg.Sink()), 4);
    EXPECT_EQ(d.Text(), "aa b aa\r\naaaa");
    EXPECT_EQ(msg.seen, (std::vector<std::string>{"i:4 occurrence(s) replaced."}));
    m.Close();
    EXPECT_EQ(profile.GetString("CrystalEdit\\Replace", "FindWhat"), "a");
    EXPECT_EQ(profile.GetString("CrystalEdit\\Replace", "ReplaceWith"), "aa");
    EXPECT_EQ(profile.GetInt("CrystalEdit\\Replace", "MatchCase", 9), 0);
}

TEST(ReplaceDialog, AReplacementTheCodePageCannotHoldReplacesNothing) {
    Doc d("a b a");  // Windows-1252
    MemoryProfile profile;
    Messages msg;
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "a";
    m.replaceText = "\xD0\x96";  // Ж
    EXPECT_EQ(m.ReplaceAll(msg.Sink()), 0);
    m.Replace(msg.Sink());  // finds the first "a"
    m.Replace(msg.Sink());  // would replace it
    EXPECT_EQ(d.Text(), "a b a");
    EXPECT_EQ(msg.seen.front(), "w:windows-1252 cannot hold \xD0\x96 (U+0416): nothing was replaced.");
    m.replaceText = "\xC3\xA9";  // é fits
    EXPECT_EQ(m.ReplaceAll(msg.Sink()), 2);
    EXPECT_EQ(d.Text(), "\xE9 b \xE9");
    m.Close();
}

TEST(ReplaceDialog, ReplaceAllWithoutOccurrenceShowsOnlyNotFound) {
    Doc d("abc");
    MemoryProfile profile;
    Messages msg;
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "x";
    EXPECT_EQ(m.ReplaceAll(msg.Sink()), 0);
    EXPECT_EQ(msg.seen, (std::vector<std::string>{"w:Cannot find the string \"x\"."}));
    m.Close();
}

TEST(ReplaceDialog, ReplaceAllIsUndoneOneStepAtATime) {
    Doc d("x-x");
    MemoryProfile profile;
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "x";
    m.replaceText = "yy";
    ASSERT_EQ(m.ReplaceAll(nullptr), 2);
    m.Close();
    EXPECT_EQ(d.Text(), "yy-yy");
    std::vector<std::string> steps;
    while (d.buffer.CanUndoStep()) {
        d.buffer.UndoStep();
        steps.push_back(d.Text());
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"yy-", "yy-x", "-x", "x-x"}));
}

TEST(ReplaceDialog, ReplaceAllStartsAtTheTopEvenWithAPendingMatch) {
    Doc d("ab ab\r\nab");
    MemoryProfile profile;
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "ab";
    m.replaceText = "long text";
    d.target->SetCursor({1, 0});
    ReplaceDialogModel m2(*d.target, profile);
    m2.findText = "ab";
    m2.replaceText = "long text";
    m2.FindNext(nullptr);  // pending on line 1
    ASSERT_TRUE(m2.MatchPending());
    EXPECT_EQ(m2.ReplaceAll(nullptr), 3);
    EXPECT_EQ(d.Text(), "long text long text\r\nlong text");
    m2.Close();
    m.Close();
}

TEST(ReplaceDialog, FindNextThenReplaceStepByStep) {
    Doc d("one two one");
    MemoryProfile profile;
    Messages msg;
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "one";
    m.replaceText = "1";
    m.Replace(msg.Sink());  // nothing pending: finds only
    EXPECT_TRUE(m.MatchPending());
    EXPECT_EQ(d.Text(), "one two one");
    m.Replace(msg.Sink());
    EXPECT_EQ(d.Text(), "1 two one");
    EXPECT_EQ(d.target->SelectionStart(), TextPosition(0, 6)) << "the next one is highlighted";
    m.FindNext(msg.Sink());  // from one char past the pending match: nothing more
    EXPECT_FALSE(m.MatchPending());
    EXPECT_EQ(msg.seen.size(), 1u);
    m.FindNext(msg.Sink());  // restarts at the top
    EXPECT_EQ(d.target->SelectionStart(), TextPosition(0, 6));
    m.Close();
}

TEST(ReplaceDialog, SelectionScopeFollowsTheEditsAndRestoresTheSelection) {
    //                 0123456789012
    Doc d("aa aa aa aa\r\nzz");
    MemoryProfile profile;
    d.target->SelectRange({0, 3}, {0, 9});  // "aa aa " plus the "a" of the last-but-one... ends inside "aa" at 9
    Messages msg;
    ReplaceDialogModel m(*d.target, profile);
    EXPECT_TRUE(m.SelectionEnabled());
    EXPECT_TRUE(m.selectionScope);
    m.findText = "aa";
    m.replaceText = "bbbb";
    // occurrences starting in the block: 3, 6 (and the one at 9 starts at the end: outside)
    EXPECT_EQ(m.ReplaceAll(msg.Sink()), 2);
    EXPECT_EQ(d.Text(), "aa bbbb bbbb aa\r\nzz");
    EXPECT_EQ(m.BlockEnd(), TextPosition(0, 13));
    m.Close();
    EXPECT_EQ(d.target->SelectionStart(), TextPosition(0, 3));
    EXPECT_EQ(d.target->SelectionEnd(), TextPosition(0, 13));
    EXPECT_FALSE(d.target->ShowSelectionAlways());
}

TEST(ReplaceDialog, SelectionScopeReplacesAMatchRunningPastTheBlockEnd) {
    Doc d("xx abc yy");
    MemoryProfile profile;
    d.target->SelectRange({0, 0}, {0, 5});
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "abc";
    m.replaceText = "ABCD";
    EXPECT_EQ(m.ReplaceAll(nullptr), 1);
    EXPECT_EQ(d.Text(), "xx ABCD yy");
    m.Close();
}

TEST(ReplaceDialog, ReadOnlyTextIsNotChanged) {
    Doc d("abc");
    d.buffer.SetReadOnly(true);
    MemoryProfile profile;
    ReplaceDialogModel m(*d.target, profile);
    m.findText = "b";
    m.replaceText = "x";
    EXPECT_EQ(m.ReplaceAll(nullptr), 0);
    m.FindNext(nullptr);
    m.Replace(nullptr);
    EXPECT_EQ(d.Text(), "abc");
    m.Close();
}

TEST(ReplaceDialog, OpensWithTheStoredValues) {
    Doc d("abc");
    MemoryProfile profile;
    profile.WriteInt("CrystalEdit\\Replace", "WholeWord", 1);
    profile.WriteString("CrystalEdit\\Replace", "FindWhat", "f");
    profile.WriteString("CrystalEdit\\Replace", "ReplaceWith", "r");
    ReplaceDialogModel m(*d.target, profile);
    EXPECT_TRUE(m.wholeWord);
    EXPECT_FALSE(m.matchCase);
    EXPECT_EQ(m.findText, "f");
    EXPECT_EQ(m.replaceText, "r");
    m.Close();
}
