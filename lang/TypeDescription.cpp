// Reader of the plain-text type-library descriptions.
#include "lang/TypeDescription.h"

#include <charconv>
#include <vector>

namespace tarnwell {

namespace {

constexpr size_t kMaxName = 255;

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

struct KindWord {
    const char* word;
    int kind;
};
constexpr KindWord kTypeKinds[] = {
    {"enum", kTypeEnum},         {"record", kTypeRecord},   {"module", kTypeModule}, {"interface", kTypeInterface},
    {"dispatch", kTypeDispatch}, {"coclass", kTypeCoclass}, {"alias", kTypeAlias},   {"union", kTypeUnion},
};
constexpr KindWord kMemberKinds[] = {
    {"method", kInvokeFunc}, {"get", kInvokePropertyGet}, {"put", kInvokePropertyPut},
    {"putref", kInvokePropertyPutRef}, {"var", 0},
};

// A cursor over one statement line.
class LineCursor {
public:
    explicit LineCursor(std::string_view s) : s_(s) {}
    void SkipBlanks() {
        while (i_ < s_.size() && IsBlank(s_[i_])) ++i_;
    }
    bool AtEnd() {
        SkipBlanks();
        return i_ >= s_.size();
    }
    bool Take(char c) {
        SkipBlanks();
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }
    char Peek() {
        SkipBlanks();
        return i_ < s_.size() ? s_[i_] : '\0';
    }
    std::string_view Name() {
        SkipBlanks();
        size_t start = i_;
        while (i_ < s_.size() && IsNameChar(s_[i_])) ++i_;
        return s_.substr(start, i_ - start);
    }
    // A word of anything up to a blank (attributes, GUIDs).
    std::string_view Word() {
        SkipBlanks();
        size_t start = i_;
        while (i_ < s_.size() && !IsBlank(s_[i_])) ++i_;
        return s_.substr(start, i_ - start);
    }

private:
    std::string_view s_;
    size_t i_ = 0;
};

struct PendingImpl {
    TypeEntry* coclass;
    std::string name;
    int flags;
    int line;
};

class DescriptionReader {
public:
    DescriptionReader(std::string_view text, const std::string& path) : text_(text) {
        lib_ = std::make_unique<TypeLibrary>();
        lib_->path = path;
        lib_->format = "description";
    }

    std::unique_ptr<TypeLibrary> Read(std::string* error) {
        size_t pos = 0;
        while (pos <= text_.size() && ok_) {
            size_t nl = text_.find('\n', pos);
            if (nl == std::string_view::npos) nl = text_.size();
            ++line_;
            std::string_view s = text_.substr(pos, nl - pos);
            if (size_t hash = s.find('#'); hash != std::string_view::npos) s = s.substr(0, hash);
            Statement(s);
            pos = nl + 1;
        }
        if (ok_ && lib_->name.empty()) Fail("no \"library\" statement");
        if (ok_) ResolveImplements();
        if (!ok_) {
            if (error) *error = error_;
            return nullptr;
        }
        return std::move(lib_);
    }

private:
    void Fail(const std::string& what) {
        if (!ok_) return;
        ok_ = false;
        error_ = "line " + std::to_string(line_) + ": " + what;
    }

    bool CheckName(std::string_view name, const char* what) {
        if (name.empty()) {
            Fail(std::string("expected ") + what);
            return false;
        }
        if (name.size() > kMaxName) {
            Fail(std::string(what) + " too long");
            return false;
        }
        return true;
    }

    void Statement(std::string_view s) {
        LineCursor c(s);
        if (c.AtEnd()) return;
        std::string_view keyword = c.Name();
        if (keyword.empty()) return Fail("unexpected character");
        if (keyword == "library") {
            if (!lib_->name.empty() || !lib_->types.empty()) return Fail("\"library\" must come first, once");
            std::string_view name = c.Name();
            if (!CheckName(name, "library name")) return;
            lib_->name = std::string(name);
            lib_->guid = OptionalGuid(c);
            if (ok_ && !c.AtEnd()) Fail("unexpected text after the library name");
            return;
        }
        if (lib_->name.empty()) return Fail("\"library\" must come first");
        for (const KindWord& k : kTypeKinds)
            if (keyword == k.word) return TypeStatement(c, k.kind);
        if (!current_) return Fail("\"" + std::string(keyword) + "\" outside a type");
        if (keyword == "implements") return ImplementsStatement(c);
        if (keyword == "inherits") return InheritsStatement(c);
        for (const KindWord& k : kMemberKinds)
            if (keyword == k.word) return MemberStatement(c, k.kind);
        Fail("unknown statement \"" + std::string(keyword) + "\"");
    }

    std::string OptionalGuid(LineCursor& c) {
        if (c.Peek() != '{') return {};
        std::string_view g = c.Word();
        if (g.size() != 38 || g.back() != '}') {
            Fail("malformed GUID");
            return {};
        }
        return std::string(g);
    }

    void TypeStatement(LineCursor& c, int kind) {
        std::string_view name = c.Name();
        if (!CheckName(name, "type name")) return;
        auto t = std::make_unique<TypeEntry>();
        t->name = std::string(name);
        t->kind = kind;
        t->library = lib_.get();
        t->guid = OptionalGuid(c);
        if (ok_ && !c.AtEnd()) return Fail("unexpected text after the type name");
        current_ = t.get();
        nextId_ = 1;
        lib_->types.push_back(std::move(t));
    }

    void ImplementsStatement(LineCursor& c) {
        if (current_->kind != kTypeCoclass) return Fail("\"implements\" outside a coclass");
        std::string_view name = c.Name();
        if (!CheckName(name, "interface name")) return;
        int flags = 0;
        while (ok_ && !c.AtEnd()) {
            std::string_view w = c.Word();
            if (w == "default") flags |= kImplTypeDefault;
            else if (w == "source") flags |= kImplTypeSource;
            else if (w == "restricted") flags |= kImplTypeRestricted;
            else Fail("unknown interface flag \"" + std::string(w) + "\"");
        }
        ++current_->implementedCount;
        pending_.push_back({current_, std::string(name), flags, line_});
    }

    void InheritsStatement(LineCursor& c) {
        if (current_->kind == kTypeCoclass) return Fail("\"inherits\" in a coclass");
        std::string_view name = c.Name();
        if (!CheckName(name, "type name")) return;
        const TypeEntry* base = lib_->FindTypeExact(name);
        if (!base || base == current_) return Fail("\"inherits\" names no earlier type \"" + std::string(name) + "\"");
        if (!c.AtEnd()) return Fail("unexpected text after the type name");
        for (const auto& m : base->methods) AddMethod(std::make_unique<MethodMember>(*m));
        for (const auto& p : base->properties) AddProperty(std::make_unique<PropertyMember>(*p));
    }

    bool ParseType(LineCursor& c, std::uint16_t& code, std::string& name) {
        std::string_view t = c.Name();
        if (!CheckName(t, "type")) return false;
        int vt = VarTypeFromName(t);
        if (vt >= 0) {
            code = static_cast<std::uint16_t>(vt);
            name = VarTypeName(static_cast<unsigned>(vt));
        } else {
            code = kVtUserDefined;
            name = std::string(t);
        }
        return true;
    }

    void MemberStatement(LineCursor& c, int invokeKind) {
        if (current_->kind == kTypeCoclass) return Fail("members in a coclass");
        std::string_view name = c.Name();
        if (!CheckName(name, "member name")) return;
        std::vector<TypeParameter> params;
        if (c.Take('(')) {
            if (invokeKind == 0) return Fail("a \"var\" has no parameters");
            if (!c.Take(')')) {
                do {
                    std::string_view pname = c.Name();
                    if (!CheckName(pname, "parameter name")) return;
                    std::uint32_t flags = c.Take('?') ? kParamFlagOptional : 0;
                    std::uint16_t code = kVtVariant;
                    std::string tname = VarTypeName(kVtVariant);
                    if (c.Take(':') && !ParseType(c, code, tname)) return;
                    params.emplace_back(std::string(pname), code, std::move(tname), flags);
                } while (c.Take(','));
                if (!c.Take(')')) return Fail("expected \",\" or \")\" in the parameter list");
            }
        }
        std::uint16_t code = invokeKind == kInvokeFunc ? kVtVoid : kVtVariant;
        std::string tname = VarTypeName(code);
        if (c.Take(':') && !ParseType(c, code, tname)) return;
        std::int32_t id = nextId_;
        bool explicitId = false;
        std::uint16_t flags = 0;
        const bool isVar = invokeKind == 0;
        while (ok_ && !c.AtEnd()) {
            std::string_view w = c.Word();
            if (w == "default") {
                id = 0;
                explicitId = true;
            } else if (w.substr(0, 3) == "id=") {
                if (!ParseId(w.substr(3), id)) return Fail("malformed member id \"" + std::string(w) + "\"");
                explicitId = true;
            } else if (w == "hidden") {
                flags |= isVar ? kVarFlagHidden : kFuncFlagHidden;
            } else if (w == "restricted") {
                flags |= isVar ? kVarFlagRestricted : kFuncFlagRestricted;
            } else if (w == "nonbrowsable") {
                flags |= isVar ? kVarFlagNonBrowsable : kFuncFlagNonBrowsable;
            } else {
                return Fail("unknown member attribute \"" + std::string(w) + "\"");
            }
        }
        if (!ok_) return;
        if (!explicitId) ++nextId_;
        if (isVar) {
            ++current_->variableCount;
            auto p = std::make_unique<PropertyMember>(std::string(name), code, std::move(tname));
            p->memberId = id;
            p->flags = flags;
            AddProperty(std::move(p));
        } else {
            ++current_->functionCount;
            auto m = std::make_unique<MethodMember>(std::string(name), code, std::move(tname));
            m->memberId = id;
            m->invokeKind = invokeKind;
            m->flags = flags;
            m->parameters = std::move(params);
            AddMethod(std::move(m));
        }
    }

    static bool ParseId(std::string_view s, std::int32_t& out) {
        bool negative = !s.empty() && s[0] == '-';
        if (negative) s.remove_prefix(1);
        int base = 10;
        if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
            s.remove_prefix(2);
            base = 16;
        }
        std::uint32_t v = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, base);
        if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return false;
        out = static_cast<std::int32_t>(negative ? 0u - v : v);
        return true;
    }

    void AddMethod(std::unique_ptr<MethodMember> m) {
        for (const auto& have : current_->methods)
            if (TypeNameEquals(have->name, m->name)) return;
        current_->methods.push_back(std::move(m));
    }
    void AddProperty(std::unique_ptr<PropertyMember> p) {
        for (const auto& have : current_->properties)
            if (TypeNameEquals(have->name, p->name)) return;
        current_->properties.push_back(std::move(p));
    }

    void ResolveImplements() {
        for (const PendingImpl& p : pending_) {
            const TypeEntry* target = lib_->FindTypeExact(p.name);
            if (!target || target->kind == kTypeCoclass) {
                line_ = p.line;
                return Fail("\"implements\" names no interface \"" + p.name + "\"");
            }
            p.coclass->interfaces.push_back({target, p.flags});
        }
    }

    std::string_view text_;
    std::unique_ptr<TypeLibrary> lib_;
    TypeEntry* current_ = nullptr;
    std::int32_t nextId_ = 1;
    std::vector<PendingImpl> pending_;
    int line_ = 0;
    bool ok_ = true;
    std::string error_;
};

}  // namespace

std::unique_ptr<TypeLibrary> ReadTypeDescription(std::string_view text, const std::string& path, std::string* error) {
    return DescriptionReader(text, path).Read(error);
}

std::string PeekTypeDescriptionName(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) nl = text.size();
        std::string_view s = text.substr(pos, nl - pos);
        if (size_t hash = s.find('#'); hash != std::string_view::npos) s = s.substr(0, hash);
        LineCursor c(s);
        if (!c.AtEnd()) {
            if (c.Name() != "library") return {};
            std::string_view name = c.Name();
            return name.size() <= kMaxName ? std::string(name) : std::string();
        }
        pos = nl + 1;
    }
    return {};
}

}  // namespace tarnwell
