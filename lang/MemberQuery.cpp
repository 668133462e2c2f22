// Contents of the member list and the parameter tip.
#include "lang/MemberQuery.h"

#include <algorithm>

namespace tarnwell {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool LessNoCase(const MemberListItem& a, const MemberListItem& b) {
    return std::lexicographical_compare(a.name.begin(), a.name.end(), b.name.begin(), b.name.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
}

// An empty first segment stands for the enclosing With block's object when the "." starts an
// expression (nothing but blanks or an operator before it), as in ".Fields" or "x = .Value".
bool StartsWithBlockReference(const Expression& segs, const CaretText& ct) {
    if (segs.size() < 2 || segs.front().kind != ExpressionSegment::kName || !segs.front().text.empty()) return false;
    int p = segs.front().start;
    while (p > ct.lowerBound && IsBlank(ct.text[static_cast<size_t>(p - 1)])) --p;
    if (p <= ct.lowerBound) return true;
    const char c = ct.text[static_cast<size_t>(p - 1)];
    return !IsExpressionIdentChar(c) && c != ')' && c != '"' && c != '.';
}

// Puts the With block's expression in place of an empty first segment. False when the text needs a
// With block and the caret has none (or its expression does not split).
bool SubstituteWith(const ScriptOutline& outline, int line, const CaretText& ct, Expression& segs, std::string& reason) {
    if (segs.empty() || segs.front().kind != ExpressionSegment::kName || !segs.front().text.empty()) return true;
    if (!StartsWithBlockReference(segs, ct)) {
        reason = "not-an-expression";
        return false;
    }
    const WithBlock* with = outline.WithAtLine(line);
    if (!with) {
        reason = "no-with";
        return false;
    }
    std::string text = with->expression;
    while (!text.empty() && IsBlank(text.back())) text.pop_back();
    text += '.';
    Expression sub;
    if (!SplitExpression(text, 0, static_cast<int>(text.size()), sub) || sub.size() < 2) {
        reason = "no-with";
        return false;
    }
    sub.pop_back();
    sub.insert(sub.end(), segs.begin() + 1, segs.end());
    segs = std::move(sub);
    return true;
}

void AddScriptNames(const ScriptOutline& o, std::vector<MemberListItem>& items) {
    for (const auto& p : o.procedures) items.push_back({p->name, kIconCallable, true, true, {}});
    for (const auto& v : o.variables) items.push_back({v->name, kIconData, false, true, v->text});
}

void AddClassNames(const ClassItem& c, std::vector<MemberListItem>& items) {
    for (const auto& p : c.procedures) items.push_back({p->name, kIconCallable, true, true, {}});
    for (const auto& v : c.members) items.push_back({v->name, kIconData, false, true, v->text});
}

void AddLibraryMembers(const TypeEntry& t, std::vector<MemberListItem>& items) {
    for (const auto& m : t.methods) {
        if (!m->Visible()) continue;
        const bool def = m->IsDefaultMember();
        const int icon = m->IsFunction() ? (def ? kIconDefaultCallable : kIconCallable) : (def ? kIconDefaultData : kIconData);
        items.push_back({m->name, icon, m->IsFunction(), false, m->typeName});
    }
    for (const auto& p : t.properties)
        if (p->Visible()) items.push_back({p->name, p->IsDefaultMember() ? kIconDefaultData : kIconData, false, false, p->typeName});
}

// The keyword "New" and blanks stand right before position `at`.
bool FollowsNew(std::string_view text, int at, int lower) {
    int p = at;
    while (p > lower && IsBlank(text[static_cast<size_t>(p - 1)])) --p;
    if (p == at || p - 3 < lower || !OutlineNameEquals(text.substr(static_cast<size_t>(p - 3), 3), "New")) return false;
    return p - 3 == lower || !IsExpressionIdentChar(text[static_cast<size_t>(p - 4)]);
}

void GlobalList(TypeContext& ctx, OutlineSource& doc, TextPosition caret, std::vector<MemberListItem>& items) {
    const ScriptOutline& o = doc.Outline();
    AddScriptNames(o, items);
    WalkIncludes(ctx.outlines, doc, doc.Path(), [&](OutlineSource& inc) {
        AddScriptNames(inc.Outline(), items);
        return false;
    });
    if (const ProcedureItem* p = o.ProcedureAtLine(caret.line)) {
        for (const auto& v : p->locals) items.push_back({v->name, kIconData, false, true, v->text});
        for (const auto& a : p->parameters) items.push_back({a->name, kIconData, false, true, {}});
    }
    if (const ClassItem* c = o.ClassAtLine(caret.line)) AddClassNames(*c, items);
    if (const TypeEntry* g = ctx.types.VbScriptGlobals()) AddLibraryMembers(*g, items);
}

}  // namespace

const ScriptRegion* RegionAtCaret(const ScriptOutline& outline, TextPosition caret) {
    for (const ScriptRegion& r : outline.regions) {
        if (caret < TextPosition(r.startLine, r.startChar)) continue;
        if ((r.endLine == -1 && r.endChar == -1) || caret <= TextPosition(r.endLine, r.endChar)) return &r;
    }
    return nullptr;
}

bool TextBeforeCaret(const ScriptOutline& outline, const LineSource& text, TextPosition caret, CaretText& out) {
    const ScriptRegion* region = RegionAtCaret(outline, caret);
    if (!region || caret.line < 0 || caret.line >= text.LineCount()) return false;
    std::string_view line = text.Line(caret.line);
    const size_t ch = std::min(static_cast<size_t>(std::max(caret.ch, 0)), line.size());
    out.text.assign(line.substr(0, ch));
    out.caret = static_cast<int>(ch);
    out.firstLine = caret.line;
    while (out.firstLine > region->startLine) {
        std::string_view prev = text.Line(out.firstLine - 1);
        const size_t keep = LineContinuationKeep(prev);
        if (keep == 0) break;
        out.text.insert(0, prev.substr(0, keep));
        out.caret += static_cast<int>(keep);
        --out.firstLine;
    }
    out.lowerBound = out.firstLine == region->startLine ? std::min(std::max(region->startChar, 0), out.caret) : 0;
    return true;
}

MemberList ListMembersAt(TypeContext& ctx, OutlineSource& document, const LineSource& text, TextPosition caret) {
    MemberList out;
    if (document.NeedsRebuild()) RebuildOutline(document.Outline());
    CaretText ct;
    Expression segs;
    if (!TextBeforeCaret(document.Outline(), text, caret, ct)) {
        out.reason = "outside-script";
        return out;
    }
    if (!SplitExpression(ct.text, ct.lowerBound, ct.caret, segs) || segs.empty()) {
        out.reason = "not-an-expression";
        return out;
    }
    out.wordStart = {caret.line, std::max(0, caret.ch - (ct.caret - segs.back().start))};
    if (segs.size() == 1) {
        GlobalList(ctx, document, caret, out.items);
    } else if (const ClassItem* me = segs.size() == 2 ? MeClassAt(document.Outline(), segs.front().text, caret.line) : nullptr) {
        out.typeText = me->name;
        AddClassNames(*me, out.items);
    } else {
        if (!SubstituteWith(document.Outline(), caret.line, ct, segs, out.reason)) return out;
        SymbolRef sym = ResolveExpression(ctx, segs, document, caret);
        if (!sym) {
            out.reason = "unresolved";
            return out;
        }
        TypeRef type = TypeOfSymbol(ctx, sym, document);
        if (!type) {
            out.reason = "no-type";
            return out;
        }
        out.typeText = sym.IsExpression() ? type.Name() : sym.TypeText();
        if (const TypeEntry* e = type.Entry()) {
            AddLibraryMembers(*e, out.items);
        } else if (const ClassItem* c = type.Class()) {
            AddClassNames(*c, out.items);
        }
    }
    std::stable_sort(out.items.begin(), out.items.end(), LessNoCase);
    // A name declared in several places (the predefined objects of every included file, a global
    // redeclared in an include) is listed once: the first, from the nearest scope.
    out.items.erase(std::unique(out.items.begin(), out.items.end(),
                                [](const MemberListItem& a, const MemberListItem& b) { return OutlineNameEquals(a.name, b.name); }),
                    out.items.end());
    if (out.items.empty()) out.reason = "no-members";
    return out;
}

std::string ParameterTip::Text() const {
    if (callee.empty()) return {};
    std::string out = callee + "(";
    for (size_t i = 0; i < params.size(); ++i) {
        if (i) out += ", ";
        out += params[i].name;
    }
    return out + ")";
}

ParameterTip ParameterTipAt(TypeContext& ctx, OutlineSource& document, const LineSource& text, TextPosition caret,
                            bool rebuild) {
    ParameterTip tip;
    if (rebuild && document.NeedsRebuild()) RebuildOutline(document.Outline());
    CaretText ct;
    if (!TextBeforeCaret(document.Outline(), text, caret, ct)) {
        tip.reason = "outside-script";
        return tip;
    }
    const std::string& t = ct.text;
    const int lower = ct.lowerBound;
    auto at = [&](int i) { return t[static_cast<size_t>(i)]; };
    // Walk back to the opening of the call the caret is in: a "(" or the blank after a statement's
    // leading name, skipping strings and nested argument lists.
    int p = ct.caret - 1;
    int quotes = 0, lastQuote = -1;
    for (int i = lower; i < ct.caret; ++i)
        if (at(i) == '"') ++quotes, lastQuote = i;
    if (quotes % 2) {
        if (lastQuote == lower) {
            tip.reason = "no-call";
            return tip;
        }
        p = lastQuote - 1;
    }
    int depth = 1, opening = -1;
    bool paren = false;
    while (p >= lower && opening < 0) {
        const char c = at(p);
        if (c == '"') {
            int q = p - 1;
            while (q >= lower && at(q) != '"') --q;
            if (q < lower) break;
            p = q - 1;
            continue;
        }
        if (c == ')') {
            ++depth;
        } else if (c == '(') {
            if (depth == 1) {
                opening = p;
                paren = true;
            } else {
                --depth;
            }
        } else if (IsBlank(c)) {
            int e = p;
            while (e > lower && IsBlank(at(e - 1))) --e;
            if (e <= lower) break;  // only blanks before: no call
            int s = e;
            while (s > lower && (IsExpressionIdentChar(at(s - 1)) || at(s - 1) == '.')) --s;
            bool leading = s < e;
            for (int i = lower; i < s && leading; ++i) leading = IsBlank(at(i));
            if (leading) {
                if (depth == 1) opening = p;
                else --depth;
            }
        }
        --p;
    }
    if (opening < 0) {
        tip.reason = "no-call";
        return tip;
    }
    int nameEnd = opening;
    if (paren)
        while (nameEnd > lower && IsBlank(at(nameEnd - 1))) --nameEnd;
    if (nameEnd <= lower || !IsExpressionIdentChar(at(nameEnd - 1))) {
        tip.reason = "no-call";
        return tip;
    }
    Expression segs;
    if (!SplitExpression(t, lower, nameEnd, segs)) {
        tip.reason = "not-an-expression";
        return tip;
    }
    segs.push_back({ExpressionSegment::kArguments, "(", nameEnd, nameEnd});
    if (!SubstituteWith(document.Outline(), caret.line, ct, segs, tip.reason)) return tip;
    SymbolRef sym = ResolveExpression(ctx, segs, document, caret, rebuild);
    if (sym && (sym.IsData() || (sym.FromLibrary() && sym.ParameterCount() == 0))) {
        TypeRef type = TypeOfSymbol(ctx, sym, document);
        sym = type ? type.DefaultMember() : SymbolRef();
    }
    if (!sym) {
        tip.reason = "unresolved";
        return tip;
    }
    tip.callee = sym.Name();
    tip.params = sym.Parameters();
    // The argument index: commas after the callee's name, outside strings and nested parentheses.
    int i = nameEnd;
    while (i < ct.caret && IsBlank(at(i))) ++i;
    if (i < ct.caret && at(i) == '(') ++i;
    int nest = 0;
    for (; i < ct.caret; ++i) {
        const char c = at(i);
        if (c == '"') {
            while (++i < ct.caret && at(i) != '"') {}
        } else if (c == '(') {
            ++nest;
        } else if (c == ')') {
            if (nest > 0) --nest;
        } else if (c == ',' && nest == 0) {
            ++tip.index;
        }
    }
    return tip;
}

std::pair<int, int> WordAround(std::string_view line, int ch) {
    int start = std::clamp(ch, 0, static_cast<int>(line.size()));
    int end = start;
    while (start > 0 && IsExpressionIdentChar(line[static_cast<size_t>(start - 1)])) --start;
    while (end < static_cast<int>(line.size()) && IsExpressionIdentChar(line[static_cast<size_t>(end)])) ++end;
    if (start < end && line[static_cast<size_t>(start)] >= '0' && line[static_cast<size_t>(start)] <= '9') return {ch, ch};
    return {start, end};
}

Definition DefinitionAt(TypeContext& ctx, OutlineSource& document, const LineSource& text, TextPosition caret) {
    Definition out;
    if (document.NeedsRebuild()) RebuildOutline(document.Outline());
    if (caret.line < 0 || caret.line >= text.LineCount()) {
        out.reason = "no-name";
        return out;
    }
    const auto [start, end] = WordAround(text.Line(caret.line), caret.ch);
    if (start == end) {
        out.reason = "no-name";
        return out;
    }
    // The expression up to the end of the word; a trailing empty segment makes a chain yield its last
    // name rather than the one before it.
    const TextPosition wordEnd{caret.line, end};
    CaretText ct;
    Expression segs;
    if (!TextBeforeCaret(document.Outline(), text, wordEnd, ct)) {
        out.reason = "outside-script";
        return out;
    }
    if (!SplitExpression(ct.text, ct.lowerBound, ct.caret, segs) || segs.empty()) {
        out.reason = "no-name";
        return out;
    }
    out.name = segs.back().text;
    // A class of the page or its includes named by the word.
    auto isClass = [&] {
        const TypeRef type = FindType(ctx, out.name, document.Path(), document.Path(), false);
        const ClassItem* c = type.Class();
        if (!c || !type.File()) return false;
        out.file = type.File()->Path();
        out.line = c->startLine;
        return true;
    };
    // "New Name" names a class, whatever variable shares the name.
    if (segs.size() == 1 && FollowsNew(ct.text, segs.front().start, ct.lowerBound) && isClass()) return out;
    if (segs.size() > 1) segs.push_back({ExpressionSegment::kName, "", ct.caret, ct.caret});
    if (!SubstituteWith(document.Outline(), caret.line, ct, segs, out.reason)) return out;
    const SymbolRef sym = ResolveExpression(ctx, segs, document, wordEnd);
    const OutlineItem* item = sym.AsProcedure();
    if (!item) item = sym.AsVariable();
    if (item && sym.File()) {
        int line = item->startLine;
        // A parameter has no line of its own: its procedure's.
        if (line < 0 && item->kind == kOutlineParameter && sym.File() == &document)
            if (const ProcedureItem* p = document.Outline().ProcedureAtLine(caret.line)) line = p->startLine;
        if (line < 0) {
            out.reason = "predefined";
            return out;
        }
        out.file = sym.File()->Path();
        out.line = line;
        return out;
    }
    if (sym) {
        out.reason = "library";
        return out;
    }
    // Any other class name resolves to no symbol.
    if (segs.size() == 1 && isClass()) return out;
    out.reason = "unresolved";
    return out;
}

}  // namespace tarnwell
