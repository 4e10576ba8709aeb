#include "framework/controls/label.h"

#include "framework/controls/control_accessible.h"
#include "framework/graphics/text_layout.h"

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle |= csOpaque | csReplicatable;
    width_ = 65;
    height_ = 17;
}

void TLabel::SetAutoSize(bool value) {
    if (value == autoSize_) return;
    autoSize_ = value;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment value) {
    if (value == alignment_) return;
    alignment_ = value;
    Invalidate();
}

void TLabel::SetTransparent(bool value) {
    if (value == transparent_) return;
    transparent_ = value;
    if (value)
        ControlStyle &= ~csOpaque;
    else
        ControlStyle |= csOpaque;
    Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
    if (value == showAccelChar_) return;
    showAccelChar_ = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::SetWordWrap(bool value) {
    if (value == wordWrap_) return;
    wordWrap_ = value;
    AdjustBounds();
    Invalidate();
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

std::uint32_t TLabel::TextFlags() const {
    std::uint32_t flags = DT_EXPANDTABS | (wordWrap_ ? DT_WORDBREAK : 0u);
    if (!showAccelChar_) flags |= DT_NOPREFIX;
    return flags;
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || HasState(csLoading) || HasState(csReading)) return;
    Canvas()->Font()->Assign(*Font());
    // An empty caption still takes the height of one line.
    TRect r{0, 0, wordWrap_ ? Width() : 0, 0};
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    DrawTextFlags(*Canvas(), text, r, TextFlags() | DT_CALCRECT);
    std::int32_t left = Left();
    if (alignment_ == taRightJustify)
        left += Width() - r.Width();
    else if (alignment_ == taCenter)
        left += (Width() - r.Width()) / 2;
    SetBounds(left, Top(), r.Width(), r.Height());
}

void TLabel::Paint() {
    TCanvas& c = *Canvas();
    const TRect area = ClientRect();
    if (!transparent_) {
        c.Brush()->SetColor(Color());
        c.Brush()->SetStyle(bsSolid);
        c.FillRect(area);
    }
    c.Brush()->SetStyle(bsClear);
    c.Font()->Assign(*Font());
    const std::uint32_t align = alignment_ == taRightJustify ? DT_RIGHT
                                : alignment_ == taCenter     ? DT_CENTER
                                                             : 0u;
    TRect r = area;
    if (Enabled()) {
        DrawTextFlags(c, Caption(), r, TextFlags() | align);
        return;
    }
    // Disabled text is engraved: a light copy one pixel down and right under a shadowed one.
    r = area.Offset(1, 1);
    c.Font()->SetColor(clBtnHighlight);
    DrawTextFlags(c, Caption(), r, TextFlags() | align);
    r = area;
    c.Font()->SetColor(clBtnShadow);
    DrawTextFlags(c, Caption(), r, TextFlags() | align);
}

void TLabel::CMTextChanged(TMessage& m) {
    TGraphicControl::CMTextChanged(m);
    AdjustBounds();
    Invalidate();
}

void TLabel::CMFontChanged(TMessage& m) {
    TGraphicControl::CMFontChanged(m);
    AdjustBounds();
}

void TLabel::SetFocusControl(TWinControl* value) {
    if (value == focusControl_) return;
    if (focusControl_ != nullptr) focusControl_->RemoveFreeNotification(this);
    focusControl_ = value;
    // The control may go first; it then tells this label.
    if (value != nullptr) value->FreeNotification(this);
}

TControl* TLabel::LabelledControl() const { return focusControl_; }

void TLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == focusControl_)
        focusControl_ = nullptr;
}

void TLabel::DescribeAccessible(AccessibleDescription& d) {
    TGraphicControl::DescribeAccessible(d);
    d.role = AccessibleRole::Label;
    d.name = showAccelChar_ ? accessibility::StripAccelerators(Caption()) : Caption();
    d.keyboardShortcut = showAccelChar_ ? accessibility::ShortcutFromCaption(Caption()) : std::string();
}
