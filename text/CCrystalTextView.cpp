// CCrystalTextView: buffer binding, change notification, per-line caches, fonts and metrics,
// program-wide settings, scroll bars, split panes, command routing and status texts.
#include "text/CCrystalTextView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusTipEvent>

#include <algorithm>
#include <cstring>

#include "text/EditCommandIds.h"

namespace tarnwell {

namespace {

ViewSettings& Settings() {
    static ViewSettings settings;
    return settings;
}

std::vector<CCrystalTextView*>& LiveViews() {
    static std::vector<CCrystalTextView*> views;
    return views;
}

QFont DefaultTextFont() {
    QFont font;
    if (QFontDatabase::hasFamily(QStringLiteral("FixedSys"))) {
        font = QFont(QStringLiteral("FixedSys"));
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    }
    font.setPointSize(12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

QFont DefaultMarginFont() {
    QFont font;
    if (QFontDatabase::hasFamily(QStringLiteral("Small Fonts"))) {
        font = QFont(QStringLiteral("Small Fonts"));
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    }
    font.setPointSize(7);
    return font;
}

}  // namespace

// Gives every live view the new settings at once.
class ViewSettingsApplier {
public:
    static void Apply() {
        for (CCrystalTextView* view : LiveViews()) view->SettingsChanged();
    }
};

const ViewSettings& CCrystalTextView::GetViewSettings() { return Settings(); }

void CCrystalTextView::SetViewSettings(const ViewSettings& settings) {
    ViewSettings s = settings;
    s.tabSize = ClampViewTabSize(s.tabSize);
    if (s == Settings()) return;
    Settings() = s;
    ViewSettingsApplier::Apply();
}

void CCrystalTextView::SetTabSize(int tabSize) {
    ViewSettings s = Settings();
    s.tabSize = tabSize;
    SetViewSettings(s);
}
void CCrystalTextView::SetSelectionMargin(bool on) {
    ViewSettings s = Settings();
    s.showSelectionMargin = on;
    SetViewSettings(s);
}
void CCrystalTextView::SetLineNumbers(bool on) {
    ViewSettings s = Settings();
    s.showLineNumbers = on;
    SetViewSettings(s);
}
void CCrystalTextView::SetShowSelectionAlways(bool on) {
    ViewSettings s = Settings();
    s.showSelectionAlways = on;
    SetViewSettings(s);
}
void CCrystalTextView::SetAutoIndent(bool on) {
    ViewSettings s = Settings();
    s.autoIndent = on;
    SetViewSettings(s);
}
void CCrystalTextView::SetTabToSpace(bool on) {
    ViewSettings s = Settings();
    s.tabToSpace = on;
    SetViewSettings(s);
}

void CCrystalTextView::SettingsChanged() {
    // Tab size changes every display length; the margin changes the visible columns.
    std::fill(lengthCache_.begin(), lengthCache_.end(), -1);
    longestLine_ = -1;
    visibleColumns_ = -1;
    wantedColumn_ = -1;
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
    viewport()->update();
    ShowCaretNow();
}

CCrystalTextView::CCrystalTextView(QWidget* parent) : QAbstractScrollArea(parent) {
    LiveViews().push_back(this);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_InputMethodEnabled);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    font_ = DefaultTextFont();
    marginFont_ = DefaultMarginFont();
    // Page steps move by one page less one line, as the scroll-bar rules want.
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()}) {
        connect(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) {
            const int page = std::max(1, bar->pageStep() - 1);
            if (action == QAbstractSlider::SliderPageStepAdd) {
                bar->setSliderPosition(std::min(bar->maximum(), bar->value() + page));
            } else if (action == QAbstractSlider::SliderPageStepSub) {
                bar->setSliderPosition(std::max(0, bar->value() - page));
            }
        });
    }
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
}

CCrystalTextView::~CCrystalTextView() {
    auto& views = LiveViews();
    views.erase(std::remove(views.begin(), views.end(), this), views.end());
    if (buffer_) buffer_->DetachView(this);
    buffer_ = nullptr;
}

// --- Buffer ---------------------------------------------------------------------------------------

CCrystalTextBuffer* CCrystalTextView::FindBuffer() { return nullptr; }

void CCrystalTextView::BindBuffer(CCrystalTextBuffer* buffer) {
    if (buffer_) buffer_->DetachView(this);
    buffer_ = nullptr;
    if (!buffer) buffer = FindBuffer();
    buffer_ = buffer;
    if (buffer_) buffer_->AttachView(this);
    ResetFromBuffer();
}

void CCrystalTextView::ResetFromBuffer() {
    codePage_ = buffer_ ? buffer_->GetCodePage() : CodePage::Utf8;
    ResetLayout();
    AdoptSiblingScroll();
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
    viewport()->update();
    emit StatusChanged();
}

void CCrystalTextView::UnbindBuffer() {
    if (buffer_) buffer_->DetachView(this);
    buffer_ = nullptr;
    ResetLayout();
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
    viewport()->update();
    emit StatusChanged();
}

void CCrystalTextView::AdoptCodePage(CodePage cp, const PositionAdjuster* adjuster) {
    codePage_ = cp;
    std::fill(lengthCache_.begin(), lengthCache_.end(), -1);
    longestLine_ = -1;
    // Converted bytes: the adjuster moves each position onto its character; re-read bytes: snap the
    // positions to character boundaries of the new decoding.
    auto snap = [this, adjuster](TextPosition& p) {
        if (adjuster) adjuster->Adjust(p);
        p.ch = SnapForwardOnLine(p.line, p.ch);
    };
    snap(cursor_);
    snap(anchor_);
    snap(selFrom_);
    snap(selTo_);
    if (textDragActive_) {
        snap(dragSourceStart_);
        snap(dragSourceEnd_);
    }
    wantedColumn_ = -1;
    RecalcHorzScrollBar();
    viewport()->update();
    ShowCaretNow();
    emit StatusChanged();
}

void CCrystalTextView::ResetLayout() {
    firstVisibleLine_ = 0;
    scrollColumn_ = 0;
    rowHeight_ = -1;
    cellWidth_ = -1;
    visibleRows_ = -1;
    visibleColumns_ = -1;
    longestLine_ = -1;
    wantedColumn_ = -1;
    bookmarkImage_ = QPixmap();
    InvalidateFonts();
    cookieCache_.clear();
    cookieCache_.shrink_to_fit();
    cookieValid_ = 0;
    resumeLine_ = -1;
    lengthCache_.clear();
    lengthCache_.shrink_to_fit();
    lineColors_.clear();
    columnIndexes_.clear();
    cursor_ = selFrom_ = selTo_ = anchor_ = TextPosition(0, 0);
    scrollLockedVert_ = scrollLockedHorz_ = false;
    ShowCaretNow();
}

void CCrystalTextView::OnBufferChanged(BufferObserver* source, const PositionAdjuster* adjuster,
                                       std::uint32_t hints, int line) {
    (void)source;
    if (hints & HintReset) {
        ResetFromBuffer();
        return;
    }
    if (hints & HintCodePage) {
        // The bytes of every line may have been converted.
        lineColors_.clear();
        columnIndexes_.clear();
        LineCountChangedCaches(0);
        AdoptCodePage(buffer_ ? buffer_->GetCodePage() : CodePage::Utf8, adjuster);
        return;
    }
    if (line < 0) line = 0;
    if (hints & HintOneLine) {
        if (!(hints & HintFlagsOnly)) {
            // The line's text changed; with the changed range known, the bytes before and after it
            // keep their cached colors and columns.
            const bool known = adjuster && adjuster->start.line == line && adjuster->end.line == line;
            if (auto it = lineColors_.find(line); it != lineColors_.end()) {
                if (known) {
                    const int keptEnd = adjuster->IsInsert() ? adjuster->end.ch : adjuster->start.ch;
                    it->second.NoteEdit(adjuster->start.ch, LineLength(line) - keptEnd);
                } else {
                    it->second.Forget();
                }
            }
            if (auto it = columnIndexes_.find(line); it != columnIndexes_.end()) {
                if (known) it->second.InvalidateFrom(adjuster->start.ch);
                else columnIndexes_.erase(it);
            }
        }
        // Only this line's text (or marks) changed: its cookie and every later one become unknown,
        // but the later lines are unchanged, so their stale cookies may be confirmed again.
        if (!cookieCache_.empty() && line < static_cast<int>(cookieCache_.size())) {
            if (line < cookieValid_) {
                resumeLine_ = line;
                resumeCookie_ = cookieCache_[line];
                resumeWatermark_ = cookieValid_;
            } else if (resumeLine_ >= 0 && line > resumeLine_) {
                // The pending resume would vouch for this line's stale entry.
                resumeLine_ = -1;
            }
            cookieValid_ = std::min(cookieValid_, line);
        }
        if (line < static_cast<int>(lengthCache_.size())) {
            const int old = lengthCache_[line];
            lengthCache_[line] = -1;
            if ((hints & HintWidth) && longestLine_ >= 0) {
                // The longest length needs a full walk only when the longest line got shorter.
                const int now = DisplayLength(line);
                if (now >= longestLine_) {
                    longestLine_ = now;
                } else if (old < 0 || old >= longestLine_) {
                    longestLine_ = -1;
                }
            }
        } else if (hints & HintWidth) {
            longestLine_ = -1;
        }
        RepaintLines(line, -1);
    } else {
        ShiftLineCaches(line, adjuster);
        LineCountChangedCaches(line);
        if (hints & HintWidth) longestLine_ = -1;
        RepaintLines(line, -1);
    }
    if (adjuster) {
        adjuster->Adjust(cursor_);
        adjuster->Adjust(selFrom_);
        adjuster->Adjust(selTo_);
        adjuster->Adjust(anchor_);
        if (textDragActive_) {
            adjuster->Adjust(dragSourceStart_);
            adjuster->Adjust(dragSourceEnd_);
        }
        TextPosition top(firstVisibleLine_, 0);
        adjuster->Adjust(top);
        if (top.line != firstVisibleLine_) {
            firstVisibleLine_ = std::clamp(top.line, 0, std::max(0, LineCount() - 1));
            viewport()->update();
        }
    }
    if ((hints & HintHeight) && !scrollLockedVert_) RecalcVertScrollBar();
    if ((hints & HintWidth) && !scrollLockedHorz_) RecalcHorzScrollBar();
    ShowCaretNow();
    emit StatusChanged();
}

// Lines were added or removed at `line`: the colors and columns of the lines before it stay, those of
// the unchanged lines after the change move with them, the rest are dropped. Line `line` itself kept
// its bytes before the change.
void CCrystalTextView::ShiftLineCaches(int line, const PositionAdjuster* adjuster) {
    const bool known = adjuster && adjuster->start.line == line;
    const int span = known ? adjuster->end.line - adjuster->start.line : 0;
    const int delta = known && !adjuster->IsInsert() ? -span : span;
    auto shift = [&](auto& cache, auto&& keepLine) {
        using Map = std::remove_reference_t<decltype(cache)>;
        Map moved;
        for (auto& [key, value] : cache) {
            if (key < line) {
                moved.emplace(key, std::move(value));
            } else if (key == line && known) {
                keepLine(value);
                moved.emplace(key, std::move(value));
            } else if (known && key > line + std::max(-delta, 0)) {
                moved.emplace(key + delta, std::move(value));
            }
        }
        cache.swap(moved);
    };
    const int at = known ? adjuster->start.ch : 0;
    shift(lineColors_, [at](LineColoring& c) { c.NoteEdit(at, 0); });
    shift(columnIndexes_, [at](ColumnIndex& index) { index.InvalidateFrom(at); });
}

// The number of lines may have changed at `line`: keep the entries before it, shift the entries of the
// unchanged lines after the changed region, and drop the ones in between.
void CCrystalTextView::LineCountChangedCaches(int line) {
    const int n = LineCount();
    auto shift = [n, line](auto& cache, auto invalid) {
        const int o = static_cast<int>(cache.size());
        if (o == 0) return;
        if (line >= o) {
            cache.resize(n, invalid);
            return;
        }
        const int delta = n - o;
        const int oldTail = line + 1 + std::max(-delta, 0);
        const int newTail = line + 1 + std::max(delta, 0);
        if (delta > 0) {
            cache.insert(cache.begin() + std::min(oldTail, o), delta, invalid);
        } else if (delta < 0) {
            cache.erase(cache.begin() + newTail, cache.begin() + std::min(oldTail, o));
        }
        cache.resize(n, invalid);
        for (int i = line; i < std::min(newTail, n); ++i) cache[i] = invalid;
    };
    const int oldSize = static_cast<int>(cookieCache_.size());
    if (oldSize > 0) {
        const int delta = n - oldSize;
        const int oldTail = line + 1 + std::max(-delta, 0);
        const int newTail = line + 1 + std::max(delta, 0);
        // Resume: if the last changed line ends in the state the old text had there, the stale
        // entries after it (now shifted) are right again.
        const int oldWatermark = cookieValid_;
        if (oldTail - 1 < oldWatermark && oldTail - 1 < oldSize && newTail - 1 < n) {
            resumeLine_ = newTail - 1;
            resumeCookie_ = cookieCache_[oldTail - 1];
            resumeWatermark_ = std::min(n, oldWatermark + delta);
        } else {
            resumeLine_ = -1;
        }
        shift(cookieCache_, kInvalidCookie);
        cookieValid_ = std::min(oldWatermark, line);
    }
    shift(lengthCache_, -1);
}

void CCrystalTextView::EnsureCaches() {
    const int n = LineCount();
    if (static_cast<int>(lengthCache_.size()) != n) {
        lengthCache_.assign(n, -1);
        longestLine_ = -1;
    }
    if (static_cast<int>(cookieCache_.size()) != n) {
        cookieCache_.assign(n, kInvalidCookie);
        cookieValid_ = 0;
        resumeLine_ = -1;
    }
}

LineCookie CCrystalTextView::CookieOf(int line) {
    if (line < 0) return 0;
    const int n = LineCount();
    if (line >= n) line = n - 1;
    if (static_cast<int>(cookieCache_.size()) != n) {
        cookieCache_.assign(n, kInvalidCookie);
        cookieValid_ = 0;
        resumeLine_ = -1;
    }
    while (cookieValid_ <= line) {
        // Walk up to the requested line, or to the line where the old cookies may be confirmed.
        const int k = cookieValid_;
        const int last = (resumeLine_ >= k && resumeLine_ < line) ? resumeLine_ : line;
        ParseCookies(k > 0 ? cookieCache_[k - 1] : 0, k, last, cookieCache_.data() + k);
        cookieValid_ = last + 1;
        if (last == resumeLine_) {
            if (cookieCache_[last] == resumeCookie_ && resumeWatermark_ > cookieValid_) cookieValid_ = resumeWatermark_;
            resumeLine_ = -1;
        }
    }
    return cookieCache_[line];
}

void CCrystalTextView::ParseCookies(LineCookie incoming, int first, int last, LineCookie* out) {
    for (int k = first; k <= last; ++k) {
        int count = 0;
        LineCookie cookie = ParseLineColors(incoming, k, nullptr, count);
        if (cookie == kInvalidCookie) cookie = 0;
        out[k - first] = incoming = cookie;
    }
}

// Lines this long get column checkpoints; shorter ones are walked.
constexpr int kIndexedLineLength = 2 * ColumnIndex::kStep;

int CCrystalTextView::DisplayLength(int line) {
    const int n = LineCount();
    if (line < 0 || line >= n) return 0;
    if (static_cast<int>(lengthCache_.size()) != n) lengthCache_.assign(n, -1);
    int& entry = lengthCache_[line];
    if (entry < 0) {
        ColumnIndex* index = IndexFor(line);
        entry = index ? index->DisplayLength(LineRefOf(line), Settings().tabSize)
                      : tarnwell::DisplayLength(LineRefOf(line), Settings().tabSize);
    }
    return entry;
}

ColumnIndex* CCrystalTextView::IndexFor(int line) {
    if (LineLength(line) < kIndexedLineLength) return nullptr;
    auto it = columnIndexes_.find(line);
    if (it == columnIndexes_.end()) {
        if (columnIndexes_.size() >= 64) columnIndexes_.clear();
        it = columnIndexes_.emplace(line, ColumnIndex()).first;
    }
    return &it->second;
}

int CCrystalTextView::LongestLine() {
    if (longestLine_ < 0) {
        int longest = 0;
        const int n = LineCount();
        if (static_cast<int>(lengthCache_.size()) != n) lengthCache_.assign(n, -1);
        const int tab = Settings().tabSize;
        for (int i = 0; i < n; ++i) {
            int& entry = lengthCache_[i];
            if (entry < 0) {
                const LineRef ref = LineRefOf(i);
                entry = ref.length < kIndexedLineLength ? tarnwell::DisplayLength(ref, tab) : DisplayLength(i);
            }
            longest = std::max(longest, entry);
        }
        longestLine_ = longest;
    }
    return longestLine_;
}

int CCrystalTextView::ColumnOf(int line, int ch) {
    if (line < 0 || line >= LineCount()) return 0;
    if (ColumnIndex* index = IndexFor(line)) return index->ColumnOf(LineRefOf(line), ch, Settings().tabSize);
    return tarnwell::ColumnOf(LineRefOf(line), ch, Settings().tabSize);
}

int CCrystalTextView::CharAtColumn(int line, int column) {
    if (line < 0 || line >= LineCount()) return 0;
    if (ColumnIndex* index = IndexFor(line)) return index->CharAtColumn(LineRefOf(line), column, Settings().tabSize);
    return tarnwell::CharAtColumn(LineRefOf(line), column, Settings().tabSize);
}

int CCrystalTextView::CharUnderColumn(int line, int column) {
    if (line < 0 || line >= LineCount()) return 0;
    if (ColumnIndex* index = IndexFor(line)) return index->CharUnderColumn(LineRefOf(line), column, Settings().tabSize);
    return tarnwell::CharUnderColumn(LineRefOf(line), column, Settings().tabSize);
}

LineColoring& CCrystalTextView::ColoringOf(int line) {
    const LineCookie in = CookieOf(line - 1);
    LineColoring& c = lineColors_[line];
    if (!c.upToDate || c.incoming != in) {
        LineCookie out = ColorLine(in, line, c);
        if (out == kInvalidCookie) out = 0;
        c.incoming = in;
        c.outgoing = out;
        c.upToDate = true;
        c.keptPrefix = -1;
        c.keptSuffix = 0;
    }
    // Store the outgoing cookie when this line is the next one the cookie cache would compute.
    if (static_cast<int>(cookieCache_.size()) == LineCount() && cookieValid_ == line) {
        cookieCache_[line] = c.outgoing;
        cookieValid_ = line + 1;
        if (line == resumeLine_) {
            if (c.outgoing == resumeCookie_ && resumeWatermark_ > cookieValid_) cookieValid_ = resumeWatermark_;
            resumeLine_ = -1;
        }
    }
    return c;
}

std::vector<ColorBlock> CCrystalTextView::BlocksForBytes(int line, int from, int to) {
    std::vector<ColorBlock> out;
    if (line < 0 || line >= LineCount() || LineLength(line) == 0) return out;
    const LineColoring& c = ColoringOf(line);
    if (c.memo) {
        c.memo->BlocksFor(LineText(line), LineLength(line), from, to, out);
    } else {
        out = c.blocks;
    }
    return out;
}

// Keeps the colors of the lines around the window only.
void CCrystalTextView::TrimLineColors() {
    const int rows = std::max(1, VisibleRows());
    if (static_cast<int>(lineColors_.size()) <= 4 * rows + 64) return;
    for (auto it = lineColors_.begin(); it != lineColors_.end();) {
        if (it->first < firstVisibleLine_ - rows || it->first > firstVisibleLine_ + 2 * rows) {
            it = lineColors_.erase(it);
        } else {
            ++it;
        }
    }
}

int CCrystalTextView::SnapForwardOnLine(int line, int ch) const {
    if (line < 0 || line >= LineCount()) return 0;
    const int len = LineLength(line);
    ch = std::clamp(ch, 0, len);
    return SnapForward(codePage_, LineText(line), len, ch);
}

// --- Line access ----------------------------------------------------------------------------------

int CCrystalTextView::LineCount() const { return buffer_ ? std::max(1, buffer_->LineCount()) : 1; }

int CCrystalTextView::LineLength(int line) const {
    if (!buffer_ || buffer_->LineCount() == 0) return 0;
    return buffer_->LineLength(line);
}

const char* CCrystalTextView::LineText(int line) const {
    if (!buffer_ || buffer_->LineCount() == 0) return "";
    const char* text = buffer_->LineText(line);
    return text ? text : "";
}

std::uint32_t CCrystalTextView::LineFlags(int line) const {
    if (!buffer_ || buffer_->LineCount() == 0) return 0;
    return buffer_->LineFlags(line);
}

std::string CCrystalTextView::RangeText(TextPosition start, TextPosition end) const {
    if (!buffer_ || buffer_->LineCount() == 0 || start == end) return {};
    return buffer_->CopyRange(start, end, "\r\n");
}

// --- Clipboard ------------------------------------------------------------------------------------

std::string CCrystalTextView::TextFromUnicode(const QString& text, std::u32string* refused) const {
    // The buffer breaks lines at CR LF and lone CR; a lone LF would stay a character, so every
    // line end the toolkit hands in (LF on this platform's clipboard) becomes CR LF.
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    std::u32string missing;
    std::string out;
    out.reserve(static_cast<size_t>(t.size()));
    for (char32_t code : t.toUcs4()) {
        if (!AppendEncoded(codePage_, code, out) && missing.find(code) == std::u32string::npos) missing.push_back(code);
    }
    if (refused) *refused = missing;
    if (!missing.empty()) out.clear();
    return out;
}

void CCrystalTextView::RefuseChars(const std::u32string& chars) {
    QApplication::beep();
    const QString text = QStringLiteral("%1 cannot hold %2")
                             .arg(QString::fromLatin1(CodePageName(codePage_)),
                                  QString::fromStdString(DescribeChars(chars)));
    QStatusTipEvent tip(text);
    QApplication::sendEvent(this, &tip);
}

QString CCrystalTextView::TextToUnicode(const std::string& bytes) const {
    const std::u16string u = DecodeToUtf16(codePage_, bytes);
    QString text = QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
#ifndef Q_OS_WIN
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
#endif
    return text;
}

namespace {

// Whether the clipboard offers text. The command-state refresh asks on every key press; the answer
// is taken from the clipboard's formats (never its text, which may be large and belong to another
// program) and only again after the clipboard announced a change.
bool ClipboardOffersText() {
    static QPointer<QClipboard> watched;
    static bool known = false;
    static bool hasText = false;
    QClipboard* clipboard = QApplication::clipboard();
    if (!clipboard) return false;
    if (watched != clipboard) {
        watched = clipboard;
        known = false;
        QObject::connect(clipboard, &QClipboard::dataChanged, clipboard, [] { known = false; });
    }
    if (!known) {
        const QMimeData* data = clipboard->mimeData();
        hasText = data && data->hasText();
        known = true;
    }
    return hasText;
}

}  // namespace

bool CCrystalTextView::ClipboardHasText() const { return ClipboardOffersText(); }

bool CCrystalTextView::CopyToClipboard(const std::string& text) {
    if (text.empty()) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::clipboard()->setText(TextToUnicode(text));
    QApplication::restoreOverrideCursor();
    return true;
}

std::string CCrystalTextView::ReadClipboardText() const {
    return TextFromUnicode(QApplication::clipboard()->text(), &refusedChars_);
}

// --- Coloring hooks -------------------------------------------------------------------------------

QColor CCrystalTextView::ColorForIndex(int colorClass) const {
    const QPalette& pal = palette();
    switch (colorClass) {
        case ClassEmptyArea:
        case ClassLineBack:
            return pal.color(QPalette::Base);
        case ClassPlainText:
            return pal.color(QPalette::Text);
        case ClassMargin:
            return pal.color(QPalette::Button);
        case ClassSelectBack:
            return QColor(0, 0, 0);
        case ClassSelectText:
            return QColor(255, 255, 255);
        case ClassSpare:
            return QColor(0, 128, 192);
        case ClassHtmlKeyword:
            return QColor(0, 0, 255);
        case ClassHtmlComment:
            return QColor(128, 128, 128);
        default:
            return QColor(255, 0, 0);
    }
}

CCrystalTextView::LineColors CCrystalTextView::LineColorsFor(int) const { return {}; }
bool CCrystalTextView::IsItalic(int) const { return false; }
bool CCrystalTextView::IsBold(int) const { return false; }

LineCookie CCrystalTextView::ParseLineColors(LineCookie, int, ColorBlock*, int& count) {
    count = 0;
    return 0;
}

LineCookie CCrystalTextView::ColorLine(LineCookie incoming, int line, LineColoring& coloring) {
    const int length = LineLength(line);
    const int room = length * 3 + 2;
    coloring.memo.reset();
    coloring.blocks.assign(static_cast<size_t>(room), ColorBlock{});
    int count = 0;
    const LineCookie out = ParseLineColors(incoming, line, coloring.blocks.data(), count);
    coloring.blocks.resize(static_cast<size_t>(std::clamp(count, 0, room)));
    coloring.blocks.shrink_to_fit();
    return out;
}

// --- Fonts and metrics ----------------------------------------------------------------------------

void CCrystalTextView::SetTextFont(const QString& face, int pointSize) {
    QFont font(face);
    font.setPointSize(pointSize > 0 ? pointSize : 12);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    SetTextFont(font);
}

void CCrystalTextView::SetTextFont(const QFont& font) {
    font_ = font;
    font_.setKerning(false);
    InvalidateFonts();
    rowHeight_ = cellWidth_ = -1;
    visibleRows_ = visibleColumns_ = -1;
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
    viewport()->update();
    ShowCaretNow();
}

void CCrystalTextView::InvalidateFonts() {
    for (auto& f : fonts_) f.reset();
    for (auto& r : rawFonts_) r = QRawFont();
    rawFontTried_.fill(false);
    for (auto& cache : glyphCache_) cache.clear();
}

quint32 CCrystalTextView::GlyphFor(int variant, char32_t code) {
    auto& cache = glyphCache_[variant];
    auto it = cache.find(code);
    if (it != cache.end()) return it->second;
    const QRawFont& raw = RawFontFor(variant & 1, variant & 2);
    quint32 glyph = 0;
    if (raw.isValid()) {
        QChar units[2];
        int n = 1;
        if (code >= 0x10000) {
            units[0] = QChar::highSurrogate(code);
            units[1] = QChar::lowSurrogate(code);
            n = 2;
        } else {
            units[0] = QChar(static_cast<char16_t>(code));
        }
        quint32 g[2] = {0, 0};
        int gn = 2;
        if (raw.glyphIndexesForChars(units, n, g, &gn) && gn >= 1) glyph = g[0];
    }
    cache.emplace(code, glyph);
    return glyph;
}

const QFont& CCrystalTextView::FontFor(bool bold, bool italic) {
    const int index = (bold ? 1 : 0) | (italic ? 2 : 0);
    if (!fonts_[index]) {
        auto f = std::make_unique<QFont>(font_);
        f->setWeight(bold ? QFont::Bold : QFont::Normal);
        f->setItalic(italic);
        fonts_[index] = std::move(f);
    }
    return *fonts_[index];
}

const QRawFont& CCrystalTextView::RawFontFor(bool bold, bool italic) {
    const int index = (bold ? 1 : 0) | (italic ? 2 : 0);
    if (!rawFontTried_[index]) {
        rawFontTried_[index] = true;
        rawFonts_[index] = QRawFont::fromFont(FontFor(bold, italic));
    }
    return rawFonts_[index];
}

void CCrystalTextView::MeasureFont() {
    const QFontMetrics fm(FontFor(false, false));
    rowHeight_ = std::max(1, fm.height());
    cellWidth_ = std::max(1, fm.horizontalAdvance(QLatin1Char('X')));
    ascent_ = fm.ascent();
}

int CCrystalTextView::RowHeight() {
    if (rowHeight_ < 0) MeasureFont();
    return rowHeight_;
}

int CCrystalTextView::CellWidth() {
    if (cellWidth_ < 0) MeasureFont();
    return cellWidth_;
}

int CCrystalTextView::MarginWidth() const { return Settings().showSelectionMargin ? 22 : 1; }

int CCrystalTextView::VisibleRows() {
    if (visibleRows_ < 0) visibleRows_ = viewport()->height() / RowHeight();
    return visibleRows_;
}

int CCrystalTextView::VisibleColumns() {
    if (visibleColumns_ < 0) visibleColumns_ = std::max(0, (viewport()->width() - MarginWidth()) / CellWidth());
    return visibleColumns_;
}

void CCrystalTextView::InvalidateColoring() {
    lineColors_.clear();
    cookieCache_.clear();
    cookieValid_ = 0;
    resumeLine_ = -1;
    viewport()->update();
}

void CCrystalTextView::RepaintLines(int first, int last) {
    const int rh = RowHeight();
    const int top = std::max(0, (first - firstVisibleLine_) * rh);
    const int bottom = last < 0 ? viewport()->height() : (last - firstVisibleLine_ + 1) * rh;
    if (bottom <= 0 || top >= viewport()->height() || bottom <= top) return;
    viewport()->update(QRect(0, top, viewport()->width(), bottom - top));
}

void CCrystalTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    visibleRows_ = visibleColumns_ = -1;
    RecalcVertScrollBar();
    RecalcHorzScrollBar();
}

void CCrystalTextView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) viewport()->update();
}

void CCrystalTextView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    // The view attaches when it is first shown.
    if (!buffer_) {
        if (CCrystalTextBuffer* found = FindBuffer()) BindBuffer(found);
    }
}

// --- Scroll bars and split panes ------------------------------------------------------------------

void CCrystalTextView::RecalcVertScrollBar() {
    if (scrollLockedVert_) return;
    const int count = LineCount();
    const int rows = VisibleRows();
    QScrollBar* bar = verticalScrollBar();
    syncingScrollBars_ = true;
    if (rows >= count && firstVisibleLine_ > 0) {
        firstVisibleLine_ = 0;
        viewport()->update();
        ShowCaretNow();
    }
    // Like a page-sized thumb: the range ends where the last page is full.
    bar->setRange(0, rows >= count ? 0 : count - rows);
    bar->setPageStep(std::max(1, rows));
    bar->setSingleStep(1);
    bar->setValue(firstVisibleLine_);
    syncingScrollBars_ = false;
}

void CCrystalTextView::RecalcHorzScrollBar() {
    if (scrollLockedHorz_) return;
    const int longest = LongestLine();
    const int cols = VisibleColumns();
    QScrollBar* bar = horizontalScrollBar();
    syncingScrollBars_ = true;
    if (cols >= longest && scrollColumn_ > 0) {
        scrollColumn_ = 0;
        viewport()->update();
        ShowCaretNow();
    }
    bar->setRange(0, cols >= longest ? 0 : longest - cols);
    bar->setPageStep(std::max(1, cols));
    bar->setSingleStep(1);
    bar->setValue(scrollColumn_);
    syncingScrollBars_ = false;
}

void CCrystalTextView::scrollContentsBy(int, int) {
    if (syncingScrollBars_) return;
    const int v = verticalScrollBar()->value();
    const int h = horizontalScrollBar()->value();
    if (v != firstVisibleLine_) ScrollToLine(v);
    if (h != scrollColumn_) ScrollToColumn(h);
}

void CCrystalTextView::ScrollToLine(int top, bool notifySiblings) {
    top = std::clamp(top, 0, std::max(0, LineCount() - 1));
    if (top == firstVisibleLine_) return;
    firstVisibleLine_ = top;
    viewport()->update();
    syncingScrollBars_ = true;
    if (verticalScrollBar()->maximum() < top) verticalScrollBar()->setMaximum(top);
    verticalScrollBar()->setValue(top);
    syncingScrollBars_ = false;
    ShowCaretNow();
    if (notifySiblings) {
        for (CCrystalTextView* pane : SiblingPanes(true)) pane->ScrollToLine(top, false);
    }
}

void CCrystalTextView::ScrollToColumn(int column, bool notifySiblings) {
    column = std::clamp(column, 0, std::max(0, LongestLine() - 1));
    if (column == scrollColumn_) return;
    scrollColumn_ = column;
    viewport()->update();
    syncingScrollBars_ = true;
    if (horizontalScrollBar()->maximum() < column) horizontalScrollBar()->setMaximum(column);
    horizontalScrollBar()->setValue(column);
    syncingScrollBars_ = false;
    ShowCaretNow();
    if (notifySiblings) {
        for (CCrystalTextView* pane : SiblingPanes(false)) pane->ScrollToColumn(column, false);
    }
}

// Panes of a splitter side by side (horizontal orientation) share a row and so the first visible
// line; panes stacked (vertical orientation) share a column and so the scroll column.
std::vector<CCrystalTextView*> CCrystalTextView::SiblingPanes(bool sameRow) const {
    std::vector<CCrystalTextView*> panes;
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!splitter) return panes;
    const bool horizontal = splitter->orientation() == Qt::Horizontal;
    if (horizontal != sameRow) return panes;
    for (int i = 0; i < splitter->count(); ++i) {
        auto* pane = qobject_cast<CCrystalTextView*>(splitter->widget(i));
        if (pane && pane != this && pane->buffer_ == buffer_) panes.push_back(pane);
    }
    return panes;
}

void CCrystalTextView::AdoptSiblingScroll() {
    const auto row = SiblingPanes(true);
    if (!row.empty()) firstVisibleLine_ = std::clamp(row.front()->firstVisibleLine_, 0, LineCount() - 1);
    const auto column = SiblingPanes(false);
    if (!column.empty()) scrollColumn_ = std::max(0, column.front()->scrollColumn_);
}

// --- Commands -------------------------------------------------------------------------------------

int CCrystalTextView::CommandForKey(int key, Qt::KeyboardModifiers modifiers) const {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    if (alt) {
        if (key == Qt::Key_Backspace && !ctrl && !shift) return cmd::Undo;
        return 0;
    }
    const int s = shift ? 1 : 0;
    switch (key) {
        case Qt::Key_Left: return (ctrl ? cmd::WordLeft : cmd::CharLeft) + s;
        case Qt::Key_Right: return (ctrl ? cmd::WordRight : cmd::CharRight) + s;
        case Qt::Key_Up:
            if (ctrl) return shift ? 0 : cmd::ScrollUp;
            return cmd::LineUp + s;
        case Qt::Key_Down:
            if (ctrl) return shift ? 0 : cmd::ScrollDown;
            return cmd::LineDown + s;
        case Qt::Key_PageUp: return ctrl ? 0 : cmd::PageUp + s;
        case Qt::Key_PageDown: return ctrl ? 0 : cmd::PageDown + s;
        case Qt::Key_Home: return (ctrl ? cmd::TextBegin : cmd::Home) + s;
        case Qt::Key_End: return (ctrl ? cmd::TextEnd : cmd::LineEnd) + s;
        case Qt::Key_A: return (ctrl && !shift) ? cmd::SelectAll : 0;
        case Qt::Key_F2:
            if (ctrl) return shift ? cmd::ClearAllBookmarks : cmd::ToggleBookmark;
            return shift ? cmd::PrevBookmark : cmd::NextBookmark;
        case Qt::Key_C: return (ctrl && !shift) ? cmd::Copy : 0;
        case Qt::Key_Insert:
            if (ctrl && !shift) return cmd::Copy;
            if (shift && !ctrl) return cmd::Paste;
            return (!ctrl && !shift) ? cmd::ToggleOverwrite : 0;
        case Qt::Key_X: return (ctrl && !shift) ? cmd::Cut : 0;
        case Qt::Key_V: return (ctrl && !shift) ? cmd::Paste : 0;
        case Qt::Key_Z: return (ctrl && !shift) ? cmd::Undo : 0;
        case Qt::Key_Y: return (ctrl && !shift) ? cmd::Redo : 0;
        case Qt::Key_Delete:
            if (shift && !ctrl) return cmd::Cut;
            return (!ctrl && !shift) ? cmd::Delete : 0;
        case Qt::Key_Backspace: return (!ctrl) ? cmd::DeleteBack : 0;
        case Qt::Key_Tab: return (!ctrl) ? (shift ? cmd::Unindent : cmd::Indent) : 0;
        case Qt::Key_Backtab: return (!ctrl) ? cmd::Unindent : 0;
        case Qt::Key_R:
        case Qt::Key_H: return (ctrl && !shift) ? cmd::EditReplace : 0;
        default: return 0;
    }
}

bool CCrystalTextView::UpdateCommand(int id, CommandState& state) {
    const bool hasBuffer = buffer_ != nullptr;
    if ((id >= cmd::CharLeft && id <= cmd::ExtTextEnd) || id == cmd::SelectAll) {
        state.enabled = true;
        return true;
    }
    switch (id) {
        case cmd::ToggleBookmark:
        case cmd::NextBookmark:
        case cmd::PrevBookmark:
        case cmd::ClearAllBookmarks:
            state.enabled = hasBuffer;
            return true;
        case cmd::Copy:
            state.enabled = HasSelection();
            return true;
        case cmd::IndicatorPosition:
            state.text = PositionStatusText().toStdString();
            return true;
        case cmd::IndicatorLineEnd:
            state.text = LineEndStatusText().toStdString();
            return true;
        case cmd::IndicatorEncoding:
            state.text = EncodingStatusText().toStdString();
            return true;
        default:
            return false;
    }
}

bool CCrystalTextView::ExecuteCommand(int id) {
    const bool extend = (id >= cmd::CharLeft && id <= cmd::ExtTextEnd) && ((id - cmd::CharLeft) % 2 == 1) &&
                        id != cmd::ScrollDown;
    switch (id) {
        case cmd::CharLeft: case cmd::ExtCharLeft: MoveLeft(extend); return true;
        case cmd::CharRight: case cmd::ExtCharRight: MoveRight(extend); return true;
        case cmd::WordLeft: case cmd::ExtWordLeft: MoveWordLeft(extend); return true;
        case cmd::WordRight: case cmd::ExtWordRight: MoveWordRight(extend); return true;
        case cmd::LineUp: case cmd::ExtLineUp: MoveUp(extend); return true;
        case cmd::LineDown: case cmd::ExtLineDown: MoveDown(extend); return true;
        case cmd::ScrollUp: ScrollUpOneLine(); return true;
        case cmd::ScrollDown: ScrollDownOneLine(); return true;
        case cmd::PageUp: case cmd::ExtPageUp: MovePageUp(extend); return true;
        case cmd::PageDown: case cmd::ExtPageDown: MovePageDown(extend); return true;
        case cmd::LineEnd: case cmd::ExtLineEnd: MoveEnd(extend); return true;
        case cmd::Home: case cmd::ExtHome: MoveHome(extend); return true;
        case cmd::TextBegin: case cmd::ExtTextBegin: MoveTextBegin(extend); return true;
        case cmd::TextEnd: case cmd::ExtTextEnd: MoveTextEnd(extend); return true;
        case cmd::SelectAll: SelectWholeText(); return true;
        case cmd::ToggleBookmark: ToggleBookmark(); return true;
        case cmd::NextBookmark: NextBookmark(); return true;
        case cmd::PrevBookmark: PrevBookmark(); return true;
        case cmd::ClearAllBookmarks: ClearAllBookmarks(); return true;
        case cmd::Copy:
            if (HasSelection()) {
                TextPosition s, e;
                SelectionBounds(s, e);
                CopyToClipboard(RangeText(s, e));
            }
            return true;
        default: return false;
    }
}

// --- Status texts ---------------------------------------------------------------------------------

QString CCrystalTextView::PositionStatusText() const {
    auto* self = const_cast<CCrystalTextView*>(this);
    return QStringLiteral("Ln %1, Col %2").arg(cursor_.line + 1).arg(self->ColumnOf(cursor_.line, cursor_.ch) + 1);
}

QString CCrystalTextView::EncodingStatusText() const {
    if (!buffer_) return {};
    const EncodingDecision& d = buffer_->Encoding();
    if (d.Mismatch())
        return QStringLiteral("declared %1, read as %2")
            .arg(QString::fromLatin1(CodePageName(*d.declared)), QString::fromLatin1(CodePageName(d.codePage)));
    return QString::fromLatin1(CodePageName(d.codePage));
}

QString CCrystalTextView::LineEndStatusText() const {
    if (!buffer_) return {};
    switch (buffer_->LineEndMode()) {
        case 0: return QStringLiteral("DOS");
        case 1: return QStringLiteral("MAC");
        case 2: return QStringLiteral("UNIX");
        default: return {};
    }
}

}  // namespace tarnwell
