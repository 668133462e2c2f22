// Symbols, type handles, global-scope lookups, and the split and resolution of expressions.
#include "lang/TypeResolve.h"

#include <algorithm>

namespace tarnwell {

namespace {

// How often a variable set from an expression may lead to another such variable before the resolution
// gives up (a variable defined through itself or a cycle of them).
constexpr int kMaxExpressionDepth = 8;
// How many default members an argument list may pass through to reach one that takes arguments.
constexpr int kMaxDefaultHops = 4;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const VariableItem* AsVariableItem(const OutlineItem* item) {
    return item && item->kind == kOutlineVariable ? static_cast<const VariableItem*>(item) : nullptr;
}

// The outline keeps a parameter's modifier joined to its name ("ByValname"); this is the name.
std::string_view ParameterName(std::string_view param) {
    for (std::string_view modifier : {"ByVal", "ByRef"})
        if (param.size() > modifier.size() && OutlineNameEquals(param.substr(0, modifier.size()), modifier))
            return param.substr(modifier.size());
    return param;
}

bool ParameterNameEquals(std::string_view param, std::string_view name) {
    return OutlineNameEquals(param, name) || OutlineNameEquals(ParameterName(param), name);
}

OutlineSource& Prepared(OutlineSource& src, bool rebuild) {
    if (rebuild && src.NeedsRebuild()) RebuildOutline(src.Outline());
    return src;
}

// The first hit of find in file, else in the files it includes.
template <typename Find>
auto SearchWithIncludes(TypeContext& ctx, OutlineSource& file, const std::string& startFile, Find find) -> decltype(find(file)) {
    if (auto hit = find(file)) return hit;
    decltype(find(file)) hit{};
    WalkIncludes(ctx.outlines, file, startFile, [&](OutlineSource& inc) {
        hit = find(inc);
        return static_cast<bool>(hit);
    });
    return hit;
}

SymbolRef FindVariableIn(TypeContext& ctx, std::string_view name, const std::string& startFile, OutlineSource& file) {
    if (const VariableItem* v = file.Outline().FindVariable(name)) return SymbolRef::Variable(v, &file);
    if (const TypeEntry* g = ctx.types.VbScriptGlobals())
        if (const PropertyMember* p = g->FindProperty(name)) return SymbolRef::Property(p, g->library);
    return SearchWithIncludes(ctx, file, startFile, [&](OutlineSource& s) {
        const VariableItem* v = s.Outline().FindVariable(name);
        return v ? SymbolRef::Variable(v, &s) : SymbolRef();
    });
}

SymbolRef FindProcedureIn(TypeContext& ctx, std::string_view name, const std::string& startFile, OutlineSource& file) {
    if (const ProcedureItem* p = file.Outline().FindProcedure(name)) return SymbolRef::Procedure(p, &file);
    if (const TypeEntry* g = ctx.types.VbScriptGlobals())
        if (const MethodMember* m = g->FindMethod(name)) return SymbolRef::Method(m, g->library);
    return SearchWithIncludes(ctx, file, startFile, [&](OutlineSource& s) {
        const ProcedureItem* p = s.Outline().FindProcedure(name);
        return p ? SymbolRef::Procedure(p, &s) : SymbolRef();
    });
}

TypeRef FindTypeIn(TypeContext& ctx, std::string_view name, const std::string& startFile, OutlineSource& file,
                   const TypeLibrary* preferred) {
    if (name.empty()) return {};
    if (const TypeEntry* t = ctx.types.FindTypeByProgId(name, preferred)) return TypeRef(t);
    return SearchWithIncludes(ctx, file, startFile, [&](OutlineSource& s) {
        const ClassItem* c = s.Outline().FindClass(name);
        return c ? TypeRef(c, &s) : TypeRef();
    });
}

class Resolver {
public:
    Resolver(TypeContext& ctx, OutlineSource& doc) : ctx_(ctx), doc_(doc) {}

    // The symbol a chain denotes, with the caret (for scoping) on line.
    SymbolRef Chain(const Expression& segs, int line, int depth) {
        if (depth > kMaxExpressionDepth || segs.empty()) return {};
        const ExpressionSegment& head = segs.front();
        if (head.kind != ExpressionSegment::kName || head.text.empty()) return {};
        // "Me" has no symbol of its own; its class is the type of the first step.
        const ClassItem* me = MeClassAt(doc_.Outline(), head.text, line);
        SymbolRef sym = me ? SymbolRef() : Denoted(Head(head.text, line), depth);
        if ((!sym && !me) || segs.size() <= 2) return sym;
        const size_t last = segs.size() - 1;
        for (size_t i = 1; i < last; ++i) {
            TypeRef type = i == 1 && me ? TypeRef(me, &doc_) : TypeOf(sym, depth);
            if (!type) return {};
            const ExpressionSegment& seg = segs[i];
            if (seg.kind == ExpressionSegment::kArguments) {
                sym = DefaultTakingArguments(type, depth);
            } else {
                sym = type.FindDataMember(seg.text);
                if (!sym) sym = type.FindCallable(seg.text);
                // A call's own argument list belongs to it, not to the default member of its result.
                if (sym && sym.IsCallable() && sym.ParameterCount() > 0 && i + 1 < last &&
                    segs[i + 1].kind == ExpressionSegment::kArguments)
                    ++i;
            }
            if (!sym) return {};
        }
        return sym;
    }

    // The type of a symbol's value.
    TypeRef TypeOf(const SymbolRef& sym, int depth) {
        SymbolRef s = Denoted(sym, depth);
        if (!s) return {};
        return FindTypeIn(ctx_, s.TypeText(), doc_.Path(), doc_, s.Library());
    }

private:
    SymbolRef Head(std::string_view name, int line) {
        const ScriptOutline& o = doc_.Outline();
        if (line >= 0) {
            if (const ProcedureItem* p = o.ProcedureAtLine(line)) {
                if (const VariableItem* v = p->FindLocal(name)) return SymbolRef::Variable(v, &doc_);
                for (const auto& a : p->parameters)
                    if (ParameterNameEquals(a->name, name)) return SymbolRef::Variable(a.get(), &doc_);
            }
            if (const ClassItem* c = o.ClassAtLine(line)) {
                if (const VariableItem* v = c->FindMember(name)) return SymbolRef::Variable(v, &doc_);
                if (const ProcedureItem* p = c->FindProcedure(name)) return SymbolRef::Procedure(p, &doc_);
            }
        }
        if (SymbolRef s = FindVariableIn(ctx_, name, doc_.Path(), doc_)) return s;
        return FindProcedureIn(ctx_, name, doc_.Path(), doc_);
    }

    // A variable set from an expression stands for what the expression denotes; others for themselves.
    SymbolRef Denoted(const SymbolRef& sym, int depth) {
        if (!sym.IsExpression()) return sym;
        std::string text = sym.TypeText();
        while (!text.empty() && IsBlank(text.back())) text.pop_back();
        text += '.';
        Expression sub;
        if (!SplitExpression(text, 0, static_cast<int>(text.size()), sub)) return {};
        // The expression's names are scoped where it was written: in this page at the declaration's line;
        // in an included file, the page's global scope.
        const int line = sym.File() == &doc_ ? sym.AsVariable()->startLine : -1;
        return Chain(sub, line, depth + 1);
    }

    SymbolRef DefaultTakingArguments(TypeRef type, int depth) {
        SymbolRef sym = type.DefaultMember();
        for (int hop = 0; sym && sym.ParameterCount() == 0 && hop < kMaxDefaultHops; ++hop) {
            TypeRef next = TypeOf(sym, depth);
            SymbolRef inner = next ? next.DefaultMember() : SymbolRef();
            if (!inner) break;
            sym = inner;
        }
        return sym;
    }

    TypeContext& ctx_;
    OutlineSource& doc_;
};

}  // namespace

SymbolRef SymbolRef::Method(const MethodMember* m, const TypeLibrary* library) {
    SymbolRef s;
    if (m) s.kind_ = kFromLibrary | kCallable, s.item_ = m, s.library_ = library;
    return s;
}
SymbolRef SymbolRef::Property(const PropertyMember* p, const TypeLibrary* library) {
    SymbolRef s;
    if (p) s.kind_ = kFromLibrary | kData, s.item_ = p, s.library_ = library;
    return s;
}
SymbolRef SymbolRef::Procedure(const ProcedureItem* p, OutlineSource* file) {
    SymbolRef s;
    if (p) s.kind_ = kFromScript | kCallable, s.item_ = p, s.file_ = file;
    return s;
}
SymbolRef SymbolRef::Variable(const OutlineItem* v, OutlineSource* file) {
    SymbolRef s;
    if (v) s.kind_ = kFromScript | kData, s.item_ = v, s.file_ = file;
    return s;
}

std::string SymbolRef::Name() const {
    if (const auto* m = AsMethod()) return m->name;
    if (const auto* p = AsProperty()) return p->name;
    if (const auto* p = AsProcedure()) return p->name;
    if (const auto* v = AsVariable()) return v->name;
    return {};
}

std::string SymbolRef::TypeText() const {
    if (const auto* m = AsMethod()) return m->typeName;
    if (const auto* p = AsProperty()) return p->typeName;
    if (const auto* v = AsVariable()) return v->text;
    return {};
}

bool SymbolRef::IsExpression() const {
    const VariableItem* v = AsVariableItem(AsVariable());
    return v && v->expression != 0;
}

bool SymbolRef::IsDefaultMember() const {
    if (const auto* m = AsMethod()) return m->IsDefaultMember();
    if (const auto* p = AsProperty()) return p->IsDefaultMember();
    return false;
}

std::vector<SymbolParameter> SymbolRef::Parameters() const {
    std::vector<SymbolParameter> out;
    if (const auto* m = AsMethod())
        for (const auto& p : m->parameters) out.push_back({p.name, p.Optional(), p.typeName});
    if (const auto* p = AsProcedure())
        for (const auto& a : p->parameters) out.push_back({std::string(ParameterName(a->name)), false, {}});
    return out;
}

size_t SymbolRef::ParameterCount() const {
    if (const auto* m = AsMethod()) return m->parameters.size();
    if (const auto* p = AsProcedure()) return p->parameters.size();
    return 0;
}

std::string TypeRef::Name() const { return entry_ ? entry_->name : class_ ? class_->name : std::string(); }

SymbolRef TypeRef::FindDataMember(std::string_view name) const {
    if (entry_) return SymbolRef::Property(entry_->FindProperty(name), entry_->library);
    if (class_) return SymbolRef::Variable(class_->FindMember(name), file_);
    return {};
}

SymbolRef TypeRef::FindCallable(std::string_view name) const {
    if (entry_) return SymbolRef::Method(entry_->FindMethod(name), entry_->library);
    if (class_) return SymbolRef::Procedure(class_->FindProcedure(name), file_);
    return {};
}

SymbolRef TypeRef::DefaultMember() const {
    if (!entry_) return {};
    const TypeMember* m = entry_->DefaultMember();
    if (!m) return {};
    if (m->kind == kMemberMethod) return SymbolRef::Method(static_cast<const MethodMember*>(m), entry_->library);
    return SymbolRef::Property(static_cast<const PropertyMember*>(m), entry_->library);
}

SymbolRef FindVariable(TypeContext& ctx, std::string_view name, const std::string& startFile, const std::string& file, bool rebuild) {
    return FindVariableIn(ctx, name, startFile, Prepared(ctx.outlines.GetOrCreate(file), rebuild));
}

SymbolRef FindProcedure(TypeContext& ctx, std::string_view name, const std::string& startFile, const std::string& file, bool rebuild) {
    return FindProcedureIn(ctx, name, startFile, Prepared(ctx.outlines.GetOrCreate(file), rebuild));
}

TypeRef FindType(TypeContext& ctx, std::string_view name, const std::string& startFile, const std::string& file, bool rebuild,
                 const TypeLibrary* preferred) {
    if (name.empty()) return {};
    if (const TypeEntry* t = ctx.types.FindTypeByProgId(name, preferred)) return TypeRef(t);
    return FindTypeIn(ctx, name, startFile, Prepared(ctx.outlines.GetOrCreate(file), rebuild), preferred);
}

bool IsExpressionIdentChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool SplitExpression(std::string_view text, int lowerBound, int position, Expression& out) {
    out.clear();
    const int lower = std::max(lowerBound, 0);
    int pos = std::min(position, static_cast<int>(text.size()));
    if (pos < lower) return false;
    Expression rev;
    bool first = true;
    for (;;) {
        if (!first && pos > lower && text[static_cast<size_t>(pos - 1)] == ')') {
            // An argument list: back to its matching "(", over nested lists and strings.
            int depth = 0, open = -1;
            for (int p = pos - 1; p >= lower; --p) {
                const char c = text[static_cast<size_t>(p)];
                if (c == '"') {
                    int q = p - 1;
                    while (q >= lower && text[static_cast<size_t>(q)] != '"') --q;
                    if (q < lower) return false;
                    p = q;
                } else if (c == ')') {
                    ++depth;
                } else if (c == '(' && --depth == 0) {
                    open = p;
                    break;
                }
            }
            if (open < 0) return false;
            rev.push_back({ExpressionSegment::kArguments, std::string(text.substr(static_cast<size_t>(open), static_cast<size_t>(pos - open))), open, pos});
            pos = open;
            while (pos > lower && IsBlank(text[static_cast<size_t>(pos - 1)])) --pos;
            if (pos <= lower) break;
            const char before = text[static_cast<size_t>(pos - 1)];
            if (!IsExpressionIdentChar(before) && before != ')') return false;
            continue;
        }
        int start = pos;
        while (start > lower && IsExpressionIdentChar(text[static_cast<size_t>(start - 1)])) --start;
        rev.push_back({ExpressionSegment::kName, std::string(text.substr(static_cast<size_t>(start), static_cast<size_t>(pos - start))), start, pos});
        first = false;
        if (start <= lower || text[static_cast<size_t>(start - 1)] != '.') break;
        pos = start - 1;
    }
    out.assign(rev.rbegin(), rev.rend());
    return true;
}

SymbolRef ResolveExpression(TypeContext& ctx, const Expression& segments, OutlineSource& document, TextPosition caret,
                            bool rebuild) {
    Prepared(document, rebuild);
    return Resolver(ctx, document).Chain(segments, caret.line, 0);
}

const ClassItem* MeClassAt(const ScriptOutline& outline, std::string_view name, int line) {
    return line >= 0 && OutlineNameEquals(name, "Me") ? outline.ClassAtLine(line) : nullptr;
}

TypeRef TypeOfSymbol(TypeContext& ctx, const SymbolRef& symbol, OutlineSource& document) {
    return Resolver(ctx, document).TypeOf(symbol, 0);
}

}  // namespace tarnwell
