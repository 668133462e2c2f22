// The regular-expression wrapper: flags, atoms, recompilation, global runs, errors and the shared cache.
#include "lang/Regexx.h"

#include <gtest/gtest.h>

#include <string>

using regexx::Regexx;

TEST(Regexx, FirstMatchKeepsAtomsOfMatchZero) {
    Regexx rx;
    ASSERT_EQ(rx.MatchOnce("  Dim  total, x", "^\\s*Dim\\s+(\\w+)"), 1u);
    EXPECT_EQ(rx.CaptureCount(), 1u);
    EXPECT_EQ(rx.Atom(0, 0), "total");
    ASSERT_EQ(rx.Matches().size(), 1u);
    EXPECT_EQ(rx.Matches()[0].start, 0u);
    EXPECT_EQ(rx.Matches()[0].length, 12u);
    EXPECT_EQ(rx.MatchText(0), "  Dim  total");
    EXPECT_EQ(rx.Atom(0, 1), "");  // no such group
    EXPECT_EQ(rx.Atom(1, 0), "");  // no such match
}

TEST(Regexx, CaseFlagDecidesCompileOptions) {
    Regexx rx;
    EXPECT_EQ(rx.MatchOnce("DIM x", "dim"), 0u);
    EXPECT_EQ(rx.MatchOnce("DIM x", "dim", Regexx::IgnoreCase), 1u);
    EXPECT_EQ(rx.MatchOnce("DIM x", "dim"), 0u);  // the caseless compile is not reused for an exact run
}

TEST(Regexx, GroupThatDidNotTakePartReadsEmpty) {
    Regexx rx;
    ASSERT_EQ(rx.MatchOnce("sub Foo", "(function|(sub)|(class))\\s+(\\w+)", Regexx::IgnoreCase), 1u);
    ASSERT_EQ(rx.CaptureCount(), 4u);
    EXPECT_EQ(rx.Atom(0, 0), "sub");
    EXPECT_EQ(rx.Atom(0, 1), "sub");
    EXPECT_EQ(rx.Atom(0, 2), "");
    EXPECT_EQ(rx.Matches()[0].atoms[2].start, 0u);
    EXPECT_EQ(rx.Matches()[0].atoms[2].length, 0u);
    EXPECT_EQ(rx.Atom(0, 3), "Foo");
}

TEST(Regexx, NewPatternRecompilesAndSameSubjectGivesSameResult) {
    Regexx rx;
    rx.SetSubject("a1 b22 c333");
    rx.SetPattern("([a-z])(\\d+)");
    ASSERT_EQ(rx.Run(), 1u);
    EXPECT_EQ(rx.CaptureCount(), 2u);
    EXPECT_EQ(rx.Atom(0, 1), "1");
    rx.SetPattern("c(\\d+)");
    EXPECT_FALSE(rx.IsCompiled());
    ASSERT_EQ(rx.Run(), 1u);
    EXPECT_EQ(rx.CaptureCount(), 1u);
    EXPECT_EQ(rx.Atom(0, 0), "333");
    rx.SetSubject("a1 b22 c333");
    ASSERT_EQ(rx.Run(), 1u);
    EXPECT_EQ(rx.Atom(0, 0), "333");
}

TEST(Regexx, GlobalCountOnlyAndNoAtoms) {
    Regexx rx;
    rx.SetSubject("a1 b22 c333");
    rx.SetPattern("[a-z](\\d+)");
    ASSERT_EQ(rx.Run(Regexx::Global), 3u);
    ASSERT_EQ(rx.Matches().size(), 3u);
    EXPECT_EQ(rx.Atom(2, 0), "333");
    EXPECT_EQ(rx.Matches()[1].start, 3u);
    EXPECT_EQ(rx.Run(Regexx::Global | Regexx::CountOnly), 3u);
    EXPECT_TRUE(rx.Matches().empty());
    EXPECT_EQ(rx.Run(Regexx::CountOnly), 1u);
    EXPECT_TRUE(rx.Matches().empty());
    ASSERT_EQ(rx.Run(Regexx::Global | Regexx::NoAtoms), 3u);
    EXPECT_TRUE(rx.Matches()[0].atoms.empty());
    EXPECT_EQ(rx.MatchText(2), "c333");
    EXPECT_EQ(rx.Atom(2, 0), "");
}

TEST(Regexx, GlobalEmptyMatchMovesOnAndEnds) {
    Regexx rx;
    EXPECT_EQ(rx.MatchOnce("abc", "x*", Regexx::Global), 4u);  // before a, b, c and at the end
    EXPECT_EQ(rx.Matches()[3].start, 3u);
    EXPECT_EQ(rx.MatchOnce("", "x*", Regexx::Global), 1u);
    EXPECT_EQ(rx.MatchOnce("aab", "a*", Regexx::Global), 3u);  // "aa", "" before b, "" at the end
    EXPECT_EQ(rx.MatchText(0), "aa");
}

TEST(Regexx, MultilineAndLineEdgeFlags) {
    Regexx rx;
    EXPECT_EQ(rx.MatchOnce("one\ntwo", "^two$"), 0u);
    EXPECT_EQ(rx.MatchOnce("one\ntwo", "^two$", Regexx::Multiline), 1u);
    EXPECT_EQ(rx.MatchOnce("one\ntwo", "^\\w+$", Regexx::Multiline | Regexx::Global), 2u);
    EXPECT_EQ(rx.MatchOnce("abc", "^abc"), 1u);
    EXPECT_EQ(rx.MatchOnce("abc", "^abc", Regexx::NotBol), 0u);
    EXPECT_EQ(rx.MatchOnce("abc", "abc$", Regexx::NotEol), 0u);
    EXPECT_EQ(rx.MatchOnce("abc", "abc$"), 1u);
}

TEST(Regexx, StudyGivesSameResults) {
    Regexx rx;
    rx.SetSubject("<script language=vbscript>");
    rx.SetPattern("LANGUAGE[ \\t]*=[ \\t]*(\"?)(VBSCRIPT|VB)\\1");
    EXPECT_EQ(rx.Run(Regexx::IgnoreCase | Regexx::Study), 1u);
    EXPECT_TRUE(rx.IsStudied());
    EXPECT_EQ(rx.Atom(0, 1), "vbscript");
    EXPECT_EQ(rx.Run(Regexx::Study), 1u);  // compiled once, the case option stays until a new pattern
}

TEST(Regexx, RefusedJitFallsBackToTheInterpreter) {
    regexx::SimulateJitRefusal(true);
    Regexx rx;
    rx.SetSubject("<SCRIPT Language=\"VBScript\" runat=server>");
    rx.SetPattern("language[ \\t]*=[ \\t]*(\"?)(vbscript|vb)\\1[ ]+runat");  // a pattern no other test compiles
    EXPECT_NO_THROW(EXPECT_EQ(rx.Run(Regexx::IgnoreCase | Regexx::Study | Regexx::Global), 1u));
    EXPECT_TRUE(rx.IsStudied());
    EXPECT_EQ(rx.Atom(0, 1), "VBScript");
    regexx::SimulateJitRefusal(false);
}

TEST(Regexx, SubjectWithZeroBytesIsSearchedWhole) {
    Regexx rx;
    const std::string subject("ab\0cd", 5);
    EXPECT_EQ(rx.MatchOnce(subject, "cd"), 1u);
    EXPECT_EQ(rx.Matches()[0].start, 3u);
    EXPECT_EQ(rx.MatchOnce(subject, std::string("\0c", 2)), 1u);
    // Invalid UTF-8 is just bytes.
    EXPECT_EQ(rx.MatchOnce("\xff\xfe" "x", "\\xfe(x)"), 1u);
    EXPECT_EQ(rx.Atom(0, 0), "x");
}

TEST(Regexx, MoreThanTenGroupsStillMatch) {
    Regexx rx;
    ASSERT_EQ(rx.MatchOnce("abcdefghijkl", "(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)"), 1u);
    EXPECT_EQ(rx.CaptureCount(), 12u);
    EXPECT_EQ(rx.Atom(0, 11), "l");
}

TEST(Regexx, CompileErrorCarriesPcreText) {
    Regexx rx;
    rx.SetSubject("x");
    rx.SetPattern("(unclosed");
    try {
        rx.Run();
        FAIL() << "no exception";
    } catch (const Regexx::CompileException& e) {
        EXPECT_NE(std::string(e.what()).find("missing closing parenthesis"), std::string::npos) << e.what();
        EXPECT_EQ(e.offset(), 9u);
    }
    // The base class catches it too, and a failed pattern does not poison the object.
    EXPECT_THROW(rx.MatchOnce("x", "a{2,1}"), Regexx::Exception);
    EXPECT_EQ(rx.MatchOnce("x", "x"), 1u);
}

TEST(Regexx, FixedPatternIsCompiledOnceAcrossObjects) {
    const std::string pattern = "cache-test-(\\d+)";
    { Regexx warm; warm.MatchOnce("cache-test-1", pattern, Regexx::IgnoreCase); }
    const auto before = Regexx::CompileCount();
    for (int i = 0; i < 50; ++i) {
        Regexx rx;
        ASSERT_EQ(rx.MatchOnce("x CACHE-TEST-" + std::to_string(i), pattern, Regexx::IgnoreCase), 1u);
        EXPECT_EQ(rx.Atom(0, 0), std::to_string(i));
    }
    EXPECT_EQ(Regexx::CompileCount(), before);
    // Different compile options are a different entry.
    Regexx exact;
    EXPECT_EQ(exact.MatchOnce("CACHE-TEST-1", pattern), 0u);
    EXPECT_EQ(Regexx::CompileCount(), before + 1);
}

TEST(Regexx, MovedObjectKeepsItsMatches) {
    Regexx rx;
    ASSERT_EQ(rx.MatchOnce("key=value", "(\\w+)=(\\w+)"), 1u);
    Regexx moved(std::move(rx));
    EXPECT_EQ(moved.Atom(0, 1), "value");
    EXPECT_EQ(moved.MatchOnce("a=b", "(\\w+)=(\\w+)"), 1u);
    EXPECT_EQ(moved.Atom(0, 0), "a");
}
