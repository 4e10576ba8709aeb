#include "framework/forms/message_box.h"

#include "framework/forms/application.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr std::int32_t kMargin = 12;
constexpr std::int32_t kIconSize = 32;
constexpr std::int32_t kButtonWidth = 75;
constexpr std::int32_t kButtonHeight = 23;
constexpr std::int32_t kMaxTextWidth = 420;

// Breaks the text at line feeds, then at spaces where a line would grow wider than maxWidth.
std::vector<std::string> WrapText(const std::string& text, TCanvas& canvas, std::int32_t maxWidth) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string paragraph = text.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.pop_back();
        std::string line;
        std::size_t pos = 0;
        while (pos < paragraph.size()) {
            const std::size_t space = std::min(paragraph.find(' ', pos), paragraph.size());
            const std::string word = paragraph.substr(pos, space - pos);
            const std::string candidate = line.empty() ? word : line + ' ' + word;
            if (!line.empty() && canvas.TextWidth(candidate) > maxWidth) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
            pos = space + 1;
        }
        if (!paragraph.empty() && paragraph.back() == ' ') line += ' ';
        lines.push_back(line);
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}
} // namespace

TMessageBoxForm::TMessageBoxForm(TComponent* AOwner, const std::string& text, const std::string& caption)
    : TForm(AOwner) {
    BorderStyle = bsDialog;
    BorderIcons = biSystemMenu;
    SetCaption(caption);
    lines_ = WrapText(text, *Canvas(), kMaxTextWidth);
    Layout();
}

void TMessageBoxForm::Layout() {
    TCanvas& canvas = *Canvas();
    lineHeight_ = std::max(1, canvas.TextHeight("Ag"));
    std::int32_t textWidth = 0;
    for (const std::string& line : lines_) textWidth = std::max(textWidth, canvas.TextWidth(line));
    const std::int32_t textHeight = lineHeight_ * static_cast<std::int32_t>(lines_.size());
    iconRect_ = Bounds(kMargin, kMargin, kIconSize, kIconSize);
    const std::int32_t textLeft = iconRect_.Right + kMargin;
    // A short text sits level with the icon's middle.
    const std::int32_t textTop = textHeight < kIconSize ? kMargin + (kIconSize - textHeight) / 2 : kMargin;
    textRect_ = Bounds(textLeft, textTop, textWidth, textHeight);
    const std::int32_t contentBottom = std::max(iconRect_.Bottom, textRect_.Bottom);
    const std::int32_t clientWidth = std::max({textRect_.Right + kMargin, kButtonWidth + 2 * kMargin, 180});
    okRect_ = Bounds((clientWidth - kButtonWidth) / 2, contentBottom + kMargin, kButtonWidth, kButtonHeight);
    const std::int32_t clientHeight = okRect_.Bottom + kMargin;
    SetClientSize(clientWidth, clientHeight);
    // Centred on the primary display.
    SetBounds(std::max(0, (Screen->Width() - Width()) / 2), std::max(0, (Screen->Height() - Height()) / 2),
              Width(), Height());
}

void TMessageBoxForm::Paint() {
    TCanvas& canvas = *Canvas();
    PaintStopIcon();
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clWindowText);
    for (std::size_t i = 0; i < lines_.size(); ++i)
        canvas.TextOut(textRect_.Left, textRect_.Top + static_cast<std::int32_t>(i) * lineHeight_, lines_[i]);
    canvas.Brush()->SetStyle(bsSolid);
    PaintOkButton();
}

void TMessageBoxForm::PaintStopIcon() {
    // A red disc with a darker rim and a white X, drawn span by span.
    TCanvas& canvas = *Canvas();
    const std::int32_t cx = iconRect_.Left + kIconSize / 2;
    const std::int32_t cy = iconRect_.Top + kIconSize / 2;
    const auto disc = [&](double radius, TColor color) {
        canvas.Brush()->SetColor(color);
        for (std::int32_t dy = -static_cast<std::int32_t>(radius); dy <= static_cast<std::int32_t>(radius);
             ++dy) {
            const auto half = static_cast<std::int32_t>(std::sqrt(radius * radius - double(dy) * dy) + 0.5);
            canvas.FillRect({cx - half, cy + dy, cx + half, cy + dy + 1});
        }
    };
    disc(15.5, clMaroon);
    disc(14.0, clRed);
    canvas.Pen()->SetColor(clWhite);
    canvas.Pen()->SetStyle(psSolid);
    for (std::int32_t t = -1; t <= 1; ++t) {
        canvas.MoveTo(cx - 7 + t, cy - 7);
        canvas.LineTo(cx + 7 + t, cy + 7);
        canvas.MoveTo(cx + 6 + t, cy - 7);
        canvas.LineTo(cx - 8 + t, cy + 7);
    }
}

void TMessageBoxForm::PaintOkButton() {
    TCanvas& canvas = *Canvas();
    const TRect r = okRect_;
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect(r);
    // Raised edge, sunken while pressed; the black frame marks the default button.
    const TColor light = okPressed_ ? clBtnShadow : clBtnHighlight;
    const TColor dark = okPressed_ ? clBtnHighlight : clBtnShadow;
    canvas.Brush()->SetColor(clBlack);
    canvas.FrameRect(r);
    canvas.Brush()->SetColor(light);
    canvas.FillRect({r.Left + 1, r.Top + 1, r.Right - 2, r.Top + 2});
    canvas.FillRect({r.Left + 1, r.Top + 1, r.Left + 2, r.Bottom - 2});
    canvas.Brush()->SetColor(dark);
    canvas.FillRect({r.Left + 1, r.Bottom - 2, r.Right - 1, r.Bottom - 1});
    canvas.FillRect({r.Right - 2, r.Top + 1, r.Right - 1, r.Bottom - 1});
    const std::string label = "OK";
    const std::int32_t shift = okPressed_ ? 1 : 0;
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clBtnText);
    canvas.TextOut(r.Left + (r.Width() - canvas.TextWidth(label)) / 2 + shift,
                   r.Top + (r.Height() - canvas.TextHeight(label)) / 2 + shift, label);
    canvas.Brush()->SetStyle(bsSolid);
}

void TMessageBoxForm::WndProc(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
        if (m.WParam == VK_RETURN || m.WParam == VK_ESCAPE || m.WParam == VK_SPACE) {
            CloseBox();
            return;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (okRect_.Contains({MouseX(m.LParam), MouseY(m.LParam)})) {
            okPressed_ = true;
            Invalidate();
        }
        break;
    case WM_LBUTTONUP:
        if (okPressed_) {
            okPressed_ = false;
            Invalidate();
            // Released over the button: a click; elsewhere the press is abandoned.
            if (okRect_.Contains({MouseX(m.LParam), MouseY(m.LParam)})) CloseBox();
        }
        break;
    default: break;
    }
    TForm::WndProc(m);
}

void TMessageBoxForm::CloseBox() {
    if (closed_) return;
    closed_ = true;
    ModalResult = mrOk;
    Hide();
}

TModalResult TMessageBoxForm::Execute() {
    Show();
    while (!closed_ && Application != nullptr && !Application->Terminated()) Application->HandleMessage();
    if (Visible()) Hide();
    return ModalResult;
}

bool ShowToolkitMessageBox(const std::string& text, const std::string& caption) {
    if (Application == nullptr || Application->Terminated()) return false;
    auto box = std::make_unique<TMessageBoxForm>(nullptr, text, caption);
    box->Execute();
    return box->Closed();
}
