#include "framework/forms/message_box.h"

#include "framework/forms/application.h"
#include "framework/platform/monitors.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {
constexpr std::int32_t kMargin = 12;
constexpr std::int32_t kIconSize = 32;
constexpr std::int32_t kButtonWidth = 75;
constexpr std::int32_t kButtonHeight = 23;
constexpr std::int32_t kMaxTextWidth = 420;

// The monitor of the window that was active when the box was asked for (the one holding most of
// it), else of the first visible window, else the primary.
MonitorInfo BoxMonitor() {
    const std::vector<MonitorInfo> monitors = CurrentMonitors(CurrentPlatform());
    const TCustomForm* anchor = nullptr;
    for (const TCustomForm* form : Screen->Forms()) {
        if (form->Active()) anchor = form;
        if (anchor == nullptr && form->Visible() && form->Width() > 0) anchor = form;
    }
    if (anchor != nullptr) return MonitorForRect(monitors, anchor->BoundsRect());
    for (const MonitorInfo& m : monitors)
        if (m.primary) return m;
    return monitors.front();
}

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
    // Laid out at the scale of the monitor it opens on, so the window's scaling leaves it alone.
    const MonitorInfo monitor = BoxMonitor();
    Font()->SetHeight(MulDiv(Font()->Height(), monitor.dpi, PixelsPerInch));
    PixelsPerInch = monitor.dpi;
    lines_ = WrapText(text, *Canvas(), ScaledLength(kMaxTextWidth));
    Layout(monitor.workArea);
}

void TMessageBoxForm::Layout(const TRect& workArea) {
    TCanvas& canvas = *Canvas();
    const std::int32_t margin = ScaledLength(kMargin);
    const std::int32_t iconSize = ScaledLength(kIconSize);
    const std::int32_t buttonWidth = ScaledLength(kButtonWidth);
    lineHeight_ = std::max(1, canvas.TextHeight("Ag"));
    std::int32_t textWidth = 0;
    for (const std::string& line : lines_) textWidth = std::max(textWidth, canvas.TextWidth(line));
    const std::int32_t textHeight = lineHeight_ * static_cast<std::int32_t>(lines_.size());
    iconRect_ = Bounds(margin, margin, iconSize, iconSize);
    const std::int32_t textLeft = iconRect_.Right + margin;
    // A short text sits level with the icon's middle.
    const std::int32_t textTop = textHeight < iconSize ? margin + (iconSize - textHeight) / 2 : margin;
    textRect_ = Bounds(textLeft, textTop, textWidth, textHeight);
    const std::int32_t contentBottom = std::max(iconRect_.Bottom, textRect_.Bottom);
    const std::int32_t clientWidth =
        std::max({textRect_.Right + margin, buttonWidth + 2 * margin, ScaledLength(180)});
    okRect_ = Bounds((clientWidth - buttonWidth) / 2, contentBottom + margin, buttonWidth,
                     ScaledLength(kButtonHeight));
    const std::int32_t clientHeight = okRect_.Bottom + margin;
    SetClientSize(clientWidth, clientHeight);
    // Centred on the work area of the monitor the user was looking at.
    SetBounds(std::max(workArea.Left, workArea.Left + (workArea.Width() - Width()) / 2),
              std::max(workArea.Top, workArea.Top + (workArea.Height() - Height()) / 2), Width(), Height());
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
    const std::int32_t cx = iconRect_.Left + iconRect_.Width() / 2;
    const std::int32_t cy = iconRect_.Top + iconRect_.Height() / 2;
    const double scale = iconRect_.Width() / double(kIconSize);
    const auto arm = static_cast<std::int32_t>(std::lround(7 * scale));
    const auto disc = [&](double radius, TColor color) {
        canvas.Brush()->SetColor(color);
        for (std::int32_t dy = -static_cast<std::int32_t>(radius); dy <= static_cast<std::int32_t>(radius);
             ++dy) {
            const auto half = static_cast<std::int32_t>(std::sqrt(radius * radius - double(dy) * dy) + 0.5);
            canvas.FillRect({cx - half, cy + dy, cx + half, cy + dy + 1});
        }
    };
    disc(15.5 * scale, clMaroon);
    disc(14.0 * scale, clRed);
    canvas.Pen()->SetColor(clWhite);
    canvas.Pen()->SetStyle(psSolid);
    const auto stroke = static_cast<std::int32_t>(scale); // the X's half-width grows in whole pixels
    for (std::int32_t t = -stroke; t <= stroke; ++t) {
        canvas.MoveTo(cx - arm + t, cy - arm);
        canvas.LineTo(cx + arm + t, cy + arm);
        canvas.MoveTo(cx + arm - 1 + t, cy - arm);
        canvas.LineTo(cx - arm - 1 + t, cy + arm);
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
    // Each line as wide as a frame line at the box's scale.
    const std::int32_t n = FrameLineWidth();
    canvas.Brush()->SetColor(clBlack);
    for (std::int32_t i = 0; i < n; ++i) canvas.FrameRect({r.Left + i, r.Top + i, r.Right - i, r.Bottom - i});
    canvas.Brush()->SetColor(light);
    canvas.FillRect({r.Left + n, r.Top + n, r.Right - 2 * n, r.Top + 2 * n});
    canvas.FillRect({r.Left + n, r.Top + n, r.Left + 2 * n, r.Bottom - 2 * n});
    canvas.Brush()->SetColor(dark);
    canvas.FillRect({r.Left + n, r.Bottom - 2 * n, r.Right - n, r.Bottom - n});
    canvas.FillRect({r.Right - 2 * n, r.Top + n, r.Right - n, r.Bottom - n});
    const std::string label = "OK";
    const std::int32_t shift = okPressed_ ? n : 0;
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
