// regexx::Regexx: the one wrapper through which the program matches regular expressions (PCRE2, 8-bit).
//
// Typical use, one object per test:
//     regexx::Regexx rx;
//     if (rx.MatchOnce(line, "^\\s*Dim\\s+(\\w+)", regexx::Regexx::IgnoreCase) > 0)
//         name = rx.Atom(0, 0);              // match 0, first capturing group
// Or set the pattern and subject separately and call Run(flags). The pattern compiles lazily at the
// first run; a pattern that does not compile makes Run/MatchOnce throw Regexx::CompileException with
// PCRE2's own message, so callers that pass text typed by the user must catch it. Any search error
// counts as no match. Compiled patterns are shared through a process-wide cache keyed by pattern text
// and compile options, so a fresh object running a fixed pattern costs a match, not a compile.
// Subjects are byte strings: a zero byte does not end them. Positions and lengths count bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace regexx {

// A captured group: position and length in the subject. A group that took no part in the match is
// {0, 0} and reads as an empty string.
struct RegexxAtom {
    std::size_t start = 0;
    std::size_t length = 0;
};

// One match: the matched text's position and length, and the atoms of groups 1..n in order (empty when
// the run asked for no atoms).
struct RegexxMatch {
    std::size_t start = 0;
    std::size_t length = 0;
    std::vector<RegexxAtom> atoms;
};

class Regexx {
public:
    // Flags of a run (bit values are stable; callers may pass the numbers).
    enum Flags : unsigned {
        Global = 0x01,      // all non-overlapping matches; an empty match moves the next search one byte on
        IgnoreCase = 0x02,  // compile ignoring case
        CountOnly = 0x04,   // only count the matches, keep no records
        NoAtoms = 0x08,     // keep the matches but not their atoms
        Study = 0x10,       // JIT-compile the pattern before the first run
        Multiline = 0x20,   // "^" and "$" also at internal line breaks
        NotBol = 0x40,      // the subject's start is not the beginning of a line
        NotEol = 0x80,      // the subject's end is not the end of a line
    };

    class Exception : public std::exception {
    public:
        explicit Exception(std::string message) : message_(std::move(message)) {}
        const char* what() const noexcept override { return message_.c_str(); }
        const std::string& message() const noexcept { return message_; }

    private:
        std::string message_;
    };

    // A pattern that failed to compile or to study. The message is PCRE2's text; offset is where in the
    // pattern the error was found (0 when unknown).
    class CompileException : public Exception {
    public:
        CompileException(std::string message, std::size_t offset) : Exception(std::move(message)), offset_(offset) {}
        std::size_t offset() const noexcept { return offset_; }

    private:
        std::size_t offset_;
    };

    Regexx();
    ~Regexx();
    Regexx(const Regexx&) = delete;
    Regexx& operator=(const Regexx&) = delete;
    Regexx(Regexx&&) noexcept;
    Regexx& operator=(Regexx&&) noexcept;

    // Stores the pattern and drops the compiled form, so the next run compiles (or fetches) it again.
    void SetPattern(std::string_view pattern);
    void SetSubject(std::string_view subject);
    const std::string& Pattern() const { return pattern_; }
    const std::string& Subject() const { return subject_; }

    // Compiles if needed (case and multi-line options from flags), studies when asked, clears the match
    // list and searches the whole subject. Returns the number of matches. Throws CompileException.
    std::size_t Run(unsigned flags = 0);

    // SetSubject + SetPattern + Run in one call.
    std::size_t MatchOnce(std::string_view subject, std::string_view pattern, unsigned flags = 0);
    // The same search without keeping a copy of the subject (which must outlive nothing: the call
    // only reads it): Matches() gives the positions; MatchText and Atom answer empty.
    std::size_t MatchIn(std::string_view subject, std::string_view pattern, unsigned flags = 0);

    std::size_t MatchCount() const { return matchCount_; }
    const std::vector<RegexxMatch>& Matches() const { return matches_; }

    // Text of match m (empty when out of range).
    std::string MatchText(std::size_t m) const;
    // Text of atom i (0 = group 1) of match m; empty when out of range or the group did not take part.
    std::string Atom(std::size_t m, std::size_t i) const;

    // Capturing groups of the compiled pattern (0 before the first run).
    std::size_t CaptureCount() const { return captureCount_; }
    bool IsCompiled() const { return compiled_ != nullptr; }
    bool IsStudied() const { return studied_; }

    // The shared cache of compiled patterns (for tests and benchmarks).
    static std::uint64_t CompileCount();  // real compilations since the process started
    static std::size_t CacheSize();
    static void ClearCache();

    struct Compiled;  // a compiled pattern shared through the cache (defined in Regexx.cpp)

private:
    void Compile(unsigned flags);

    std::vector<RegexxMatch> matches_;
    std::string pattern_;
    std::string subject_;
    std::size_t RunOn(const char* text, std::size_t size, unsigned flags);
    // Keeps the compiled pattern when it and the case and line options are unchanged.
    void UsePattern(std::string_view pattern, unsigned flags);
    std::shared_ptr<Compiled> compiled_;
    unsigned compiledOptions_ = 0;
    bool studied_ = false;
    void* matchData_ = nullptr;  // pcre2_match_data_8*, sized from the compiled pattern
    std::size_t captureCount_ = 0;
    std::size_t matchCount_ = 0;
};

// Makes every later JIT compilation fail, as on a system that refuses executable memory (for tests:
// matching must go on through the interpreter with the same results).
void SimulateJitRefusal(bool refused);

}  // namespace regexx
