#include "framework/graphics/text_layout.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// One line as it is drawn, with the place of its underlined accelerator character.
struct TextLine {
    std::string text;
    std::ptrdiff_t underline = -1;
};

constexpr std::string_view kEllipsis = "...";
constexpr int kTabStopChars = 8; // tab stops every eight average character widths

// Widths of text in the canvas font, tabs advancing to the next tab stop when they are expanded.
class TextMeasure {
public:
    TextMeasure(TCanvas& canvas, bool expandTabs)
        : platform_(CurrentPlatform()), font_(canvas.Font()->Spec()),
          metrics_(platform_.GetFontMetrics(font_)), expandTabs_(expandTabs) {
        tabWidth_ = std::max(1, metrics_.averageCharWidth * kTabStopChars);
    }

    const FontMetrics& Metrics() const { return metrics_; }
    bool ExpandsTabs() const { return expandTabs_; }

    std::int32_t Width(std::string_view text) const {
        if (!expandTabs_) return platform_.MeasureText(font_, text);
        std::int32_t x = 0;
        for (;;) {
            const std::size_t tab = text.find('\t');
            x += platform_.MeasureText(font_, text.substr(0, tab));
            if (tab == std::string_view::npos) return x;
            x = NextTabStop(x);
            text.remove_prefix(tab + 1);
        }
    }

    std::int32_t NextTabStop(std::int32_t x) const { return (x / tabWidth_ + 1) * tabWidth_; }

private:
    Platform& platform_;
    FontSpec font_;
    FontMetrics metrics_;
    bool expandTabs_;
    std::int32_t tabWidth_ = 1;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Splits at "\r\n", "\n" or "\r"; a break at the very end does not start another line.
std::vector<std::string_view> SplitParagraphs(std::string_view text) {
    std::vector<std::string_view> paragraphs;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == std::string_view::npos) {
            paragraphs.push_back(text.substr(start));
            break;
        }
        paragraphs.push_back(text.substr(start, brk - start));
        start = brk + (text.compare(brk, 2, "\r\n") == 0 ? 2 : 1);
    }
    return paragraphs;
}

// Removes the accelerator marks: "&x" draws x, underlined when it is the last such mark (the one
// that the controls take as the accelerator), "&&" draws "&", and a final "&" is dropped.
TextLine StripPrefixes(std::string_view raw) {
    TextLine line;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '&') {
            line.text += raw[i];
            continue;
        }
        if (++i == raw.size()) break;
        if (raw[i] != '&') line.underline = static_cast<std::ptrdiff_t>(line.text.size());
        line.text += raw[i];
    }
    return line;
}

TextLine SubLine(const TextLine& line, std::size_t start, std::size_t end) {
    TextLine part{line.text.substr(start, end - start), -1};
    const auto s = static_cast<std::ptrdiff_t>(start);
    if (line.underline >= s && line.underline < static_cast<std::ptrdiff_t>(end))
        part.underline = line.underline - s;
    return part;
}

// Greedy word wrapping at blanks. Blanks at a break vanish; blanks at the paragraph's end stay when
// they fit; a word wider than the limit keeps a line of its own.
void WrapParagraph(const TextLine& paragraph, std::int32_t maxWidth, const TextMeasure& measure,
                   std::vector<TextLine>& out) {
    const std::string_view s = paragraph.text;
    const std::size_t n = s.size();
    auto skipBlanks = [&](std::size_t i) {
        while (i < n && IsBlank(s[i])) ++i;
        return i;
    };
    auto skipWord = [&](std::size_t i) {
        while (i < n && !IsBlank(s[i])) ++i;
        return i;
    };
    if (n == 0) {
        out.push_back(paragraph);
        return;
    }
    std::size_t start = 0;
    while (start < n) {
        // The first word always goes on the line, with the paragraph's leading blanks.
        std::size_t end = skipWord(skipBlanks(start));
        while (end < n) {
            const std::size_t wordStart = skipBlanks(end);
            if (wordStart == n) {
                if (measure.Width(s.substr(start)) <= maxWidth) end = n;
                break;
            }
            const std::size_t wordEnd = skipWord(wordStart);
            if (measure.Width(s.substr(start, wordEnd - start)) > maxWidth) break;
            end = wordEnd;
        }
        out.push_back(SubLine(paragraph, start, end));
        start = skipBlanks(end);
    }
}

// Cuts a line that is wider than maxWidth so that the rest plus "..." fits.
void AddEndEllipsis(TextLine& line, std::int32_t maxWidth, const TextMeasure& measure) {
    if (measure.Width(line.text) <= maxWidth) return;
    // Widths grow with the length kept, so the longest prefix that fits is found by bisection.
    std::size_t fits = 0;
    std::size_t tooLong = line.text.size();
    while (tooLong - fits > 1) {
        const std::size_t mid = fits + (tooLong - fits) / 2;
        std::string candidate = line.text.substr(0, mid);
        candidate += kEllipsis;
        if (measure.Width(candidate) <= maxWidth)
            fits = mid;
        else
            tooLong = mid;
    }
    line.text.resize(fits);
    line.text += kEllipsis;
    if (line.underline >= static_cast<std::ptrdiff_t>(fits)) line.underline = -1;
}

std::vector<TextLine> LayOutLines(const std::string& text, std::int32_t maxWidth, std::uint32_t flags,
                                  const TextMeasure& measure) {
    std::vector<std::string_view> paragraphs;
    if (flags & DT_SINGLELINE) {
        if (!text.empty()) paragraphs.push_back(text);
    } else {
        paragraphs = SplitParagraphs(text);
    }
    std::vector<TextLine> lines;
    for (std::string_view raw : paragraphs) {
        TextLine paragraph = (flags & DT_NOPREFIX) ? TextLine{std::string(raw), -1} : StripPrefixes(raw);
        if ((flags & DT_WORDBREAK) && !(flags & DT_SINGLELINE))
            WrapParagraph(paragraph, maxWidth, measure, lines);
        else
            lines.push_back(std::move(paragraph));
    }
    if (flags & DT_END_ELLIPSIS)
        for (TextLine& line : lines) AddEndEllipsis(line, maxWidth, measure);
    return lines;
}

// Narrows the canvas clip to a rectangle for the lifetime of the object.
void DrawLine(TCanvas& canvas, const TextLine& line, std::int32_t x, std::int32_t y,
              const TextMeasure& measure) {
    if (!measure.ExpandsTabs()) {
        canvas.TextOut(x, y, line.text);
    } else {
        std::string_view rest = line.text;
        std::int32_t offset = 0;
        for (;;) {
            const std::size_t tab = rest.find('\t');
            const std::string segment(rest.substr(0, tab));
            if (!segment.empty()) canvas.TextOut(x + offset, y, segment);
            offset += measure.Width(segment);
            if (tab == std::string_view::npos) break;
            offset = measure.NextTabStop(offset);
            rest.remove_prefix(tab + 1);
        }
    }
    if (line.underline < 0) return;
    const auto u = static_cast<std::size_t>(line.underline);
    const std::string_view text = line.text;
    const std::int32_t x0 = x + measure.Width(text.substr(0, u));
    const std::int32_t x1 = x + measure.Width(text.substr(0, u + 1));
    if (x1 <= x0) return;
    const std::int32_t underlineY = y + measure.Metrics().ascent + 1;
    TPen saved;
    saved.Assign(*canvas.Pen());
    canvas.Pen()->SetColor(canvas.Font()->Color());
    canvas.Pen()->SetStyle(psSolid);
    canvas.MoveTo(x0, underlineY);
    canvas.LineTo(x1, underlineY);
    canvas.Pen()->Assign(saved);
}

} // namespace

int DrawTextFlags(TCanvas& canvas, const std::string& text, TRect& rect, std::uint32_t flags) {
    const TextMeasure measure(canvas, (flags & DT_EXPANDTABS) != 0);
    const std::vector<TextLine> lines = LayOutLines(text, rect.Width(), flags, measure);
    const std::int32_t lineHeight = measure.Metrics().height;
    const auto textHeight = static_cast<std::int32_t>(lines.size()) * lineHeight;

    if (flags & DT_CALCRECT) {
        std::int32_t widest = 0;
        for (const TextLine& line : lines) widest = std::max(widest, measure.Width(line.text));
        rect.Right = rect.Left + widest;
        rect.Bottom = rect.Top + textHeight;
        return textHeight;
    }
    if (lines.empty()) return 0;

    std::int32_t y = rect.Top;
    if (flags & DT_SINGLELINE) {
        if (flags & DT_BOTTOM)
            y = rect.Bottom - lineHeight;
        else if (flags & DT_VCENTER)
            y = rect.Top + (rect.Height() - lineHeight) / 2;
    }
    const TPoint savedPen = canvas.PenPos;
    std::optional<ClipNarrowing> clip;
    if (!(flags & DT_NOCLIP)) clip.emplace(canvas.Handle(), rect);
    for (const TextLine& line : lines) {
        const std::int32_t width = measure.Width(line.text);
        std::int32_t x = rect.Left;
        if (flags & DT_CENTER)
            x = rect.Left + (rect.Width() - width) / 2;
        else if (flags & DT_RIGHT)
            x = rect.Right - width;
        DrawLine(canvas, line, x, y, measure);
        y += lineHeight;
    }
    canvas.PenPos = savedPen;
    return textHeight;
}
