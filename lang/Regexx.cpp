// PCRE2-backed implementation of regexx::Regexx and its process-wide cache of compiled patterns.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "lang/Regexx.h"

#include <pcre2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <utility>

namespace regexx {

struct Regexx::Compiled {
    pcre2_code* code = nullptr;
    bool jitDone = false;  // JIT compilation tried (it may have been refused: the interpreter then matches)
    std::size_t captureCount = 0;
    ~Compiled() { pcre2_code_free(code); }
};

namespace {

// Cache of compiled patterns keyed by (compile options, pattern text). Patterns typed by the user go
// through here too, so the cache is bounded: when full it is emptied (objects keep their entries alive).
constexpr std::size_t kCacheLimit = 512;

struct Cache {
    std::mutex mutex;
    std::map<std::pair<std::uint32_t, std::string>, std::shared_ptr<Regexx::Compiled>, std::less<>> entries;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

std::atomic<std::uint64_t> g_compileCount{0};

std::string ErrorText(int code) {
    PCRE2_UCHAR buffer[256];
    int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    if (n < 0) return "regular expression error " + std::to_string(code);
    return std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

std::atomic<bool> g_jitRefused{false};

bool JitAvailable() {
    static const bool available = [] {
        std::uint32_t jit = 0;
        return pcre2_config(PCRE2_CONFIG_JIT, &jit) >= 0 && jit != 0;
    }();
    return available;
}

}  // namespace

Regexx::Regexx() = default;

Regexx::~Regexx() {
    pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData_));
}

Regexx::Regexx(Regexx&& other) noexcept
    : matches_(std::move(other.matches_)),
      pattern_(std::move(other.pattern_)),
      subject_(std::move(other.subject_)),
      compiled_(std::move(other.compiled_)),
      compiledOptions_(other.compiledOptions_),
      studied_(other.studied_),
      matchData_(std::exchange(other.matchData_, nullptr)),
      captureCount_(other.captureCount_),
      matchCount_(other.matchCount_) {}

Regexx& Regexx::operator=(Regexx&& other) noexcept {
    if (this != &other) {
        pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData_));
        matches_ = std::move(other.matches_);
        pattern_ = std::move(other.pattern_);
        subject_ = std::move(other.subject_);
        compiled_ = std::move(other.compiled_);
        compiledOptions_ = other.compiledOptions_;
        studied_ = other.studied_;
        matchData_ = std::exchange(other.matchData_, nullptr);
        captureCount_ = other.captureCount_;
        matchCount_ = other.matchCount_;
    }
    return *this;
}

void Regexx::SetPattern(std::string_view pattern) {
    pattern_.assign(pattern.data(), pattern.size());
    compiled_.reset();
    studied_ = false;
    pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData_));
    matchData_ = nullptr;
    captureCount_ = 0;
}

void Regexx::SetSubject(std::string_view subject) {
    subject_.assign(subject.data(), subject.size());
}

void Regexx::Compile(unsigned flags) {
    std::uint32_t options = 0;
    if (flags & IgnoreCase) options |= PCRE2_CASELESS;
    if (flags & Multiline) options |= PCRE2_MULTILINE;

    Cache& cache = TheCache();
    std::shared_ptr<Compiled> entry;
    {
        std::lock_guard<std::mutex> lock(cache.mutex);
        auto it = cache.entries.find(std::make_pair(options, pattern_));
        if (it != cache.entries.end()) entry = it->second;
    }
    if (!entry) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern_.data()), pattern_.size(), options,
                                         &error, &offset, nullptr);
        g_compileCount.fetch_add(1, std::memory_order_relaxed);
        if (!code) throw CompileException(ErrorText(error), offset);
        entry = std::make_shared<Compiled>();
        entry->code = code;
        std::uint32_t groups = 0;
        pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
        entry->captureCount = groups;
        std::lock_guard<std::mutex> lock(cache.mutex);
        if (cache.entries.size() >= kCacheLimit) cache.entries.clear();
        auto [it, inserted] = cache.entries.emplace(std::make_pair(options, pattern_), entry);
        if (!inserted) entry = it->second;  // another thread compiled it meanwhile
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(entry->code, nullptr);
    if (!data) throw CompileException(ErrorText(PCRE2_ERROR_NOMEMORY), 0);
    pcre2_match_data_free(static_cast<pcre2_match_data*>(matchData_));
    matchData_ = data;
    compiled_ = std::move(entry);
    compiledOptions_ = options;
    captureCount_ = compiled_->captureCount;
}

std::size_t Regexx::Run(unsigned flags) { return RunOn(subject_.data(), subject_.size(), flags); }

std::size_t Regexx::RunOn(const char* text, std::size_t size, unsigned flags) {
    if (!compiled_) Compile(flags);
    if ((flags & Study) && !studied_) {
        std::lock_guard<std::mutex> lock(TheCache().mutex);
        if (!compiled_->jitDone) {
            // A system may refuse the executable memory the JIT needs (hardened kernels, SELinux execmem),
            // and the JIT has its own limits on pattern size: the interpreter then matches alone, with the
            // same results, so a refused JIT is never an error.
            if (JitAvailable() && !g_jitRefused.load(std::memory_order_relaxed))
                pcre2_jit_compile(compiled_->code, PCRE2_JIT_COMPLETE);
            compiled_->jitDone = true;
        }
        studied_ = true;
    }

    matches_.clear();
    matchCount_ = 0;

    auto* data = static_cast<pcre2_match_data*>(matchData_);
    const auto* subject = reinterpret_cast<PCRE2_SPTR>(text);
    const PCRE2_SIZE length = size;
    std::uint32_t options = 0;
    if (flags & NotBol) options |= PCRE2_NOTBOL;
    if (flags & NotEol) options |= PCRE2_NOTEOL;

    PCRE2_SIZE offset = 0;
    while (offset <= length) {
        int rc = pcre2_match(compiled_->code, subject, length, offset, options, data, nullptr);
        if (rc == PCRE2_ERROR_JIT_STACKLIMIT)  // the interpreter has a larger budget; same result otherwise
            rc = pcre2_match(compiled_->code, subject, length, offset, options | PCRE2_NO_JIT, data, nullptr);
        if (rc < 0) break;  // no match or an error: no (further) match
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
        const std::uint32_t pairs = pcre2_get_ovector_count(data);
        const PCRE2_SIZE start = ov[0];
        const PCRE2_SIZE end = ov[1] < start ? start : ov[1];  // \K in a lookahead can put the end first
        ++matchCount_;
        if (!(flags & CountOnly)) {
            RegexxMatch match;
            match.start = start;
            match.length = end - start;
            if (!(flags & NoAtoms)) {
                match.atoms.resize(captureCount_);
                for (std::size_t g = 1; g <= captureCount_ && g < pairs; ++g) {
                    if (ov[2 * g] == PCRE2_UNSET || ov[2 * g + 1] < ov[2 * g]) continue;
                    match.atoms[g - 1] = {ov[2 * g], ov[2 * g + 1] - ov[2 * g]};
                }
            }
            matches_.push_back(std::move(match));
        }
        if (!(flags & Global)) break;
        // Go on where the match ended; after an empty match one byte further, so the loop ends.
        PCRE2_SIZE next = end == start ? end + 1 : end;
        if (next <= offset) next = offset + 1;
        offset = next;
    }
    return matchCount_;
}

void SimulateJitRefusal(bool refused) {
    g_jitRefused.store(refused, std::memory_order_relaxed);
}

void Regexx::UsePattern(std::string_view pattern, unsigned flags) {
    if (!compiled_ || pattern.size() != pattern_.size() || pattern.compare(pattern_) != 0 ||
        compiledOptions_ != (((flags & IgnoreCase) ? PCRE2_CASELESS : 0u) | ((flags & Multiline) ? PCRE2_MULTILINE : 0u)))
        SetPattern(pattern);
}

std::size_t Regexx::MatchOnce(std::string_view subject, std::string_view pattern, unsigned flags) {
    SetSubject(subject);
    UsePattern(pattern, flags);
    return Run(flags);
}

std::size_t Regexx::MatchIn(std::string_view subject, std::string_view pattern, unsigned flags) {
    subject_.clear();
    UsePattern(pattern, flags);
    return RunOn(subject.data(), subject.size(), flags);
}

std::string Regexx::MatchText(std::size_t m) const {
    if (m >= matches_.size()) return {};
    const RegexxMatch& match = matches_[m];
    if (match.start > subject_.size()) return {};
    return subject_.substr(match.start, match.length);
}

std::string Regexx::Atom(std::size_t m, std::size_t i) const {
    if (m >= matches_.size() || i >= matches_[m].atoms.size()) return {};
    const RegexxAtom& atom = matches_[m].atoms[i];
    if (atom.length == 0 || atom.start > subject_.size()) return {};
    return subject_.substr(atom.start, atom.length);
}

std::uint64_t Regexx::CompileCount() { return g_compileCount.load(std::memory_order_relaxed); }

std::size_t Regexx::CacheSize() {
    std::lock_guard<std::mutex> lock(TheCache().mutex);
    return TheCache().entries.size();
}

void Regexx::ClearCache() {
    std::lock_guard<std::mutex> lock(TheCache().mutex);
    TheCache().entries.clear();
}

}  // namespace regexx
