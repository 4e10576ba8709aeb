#include "framework/controls/menus.h"

#include "framework/core/exceptions.h"

#include <algorithm>
#include <cctype>
#include <utility>

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    Destroying();
    while (!items_.empty()) {
        TMenuItem* item = items_.back();
        items_.pop_back();
        item->parent_ = nullptr;
        delete item;
    }
    if (parent_ != nullptr) parent_->Remove(this);
}

void TMenuItem::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    if (checked_ && radioItem_) TurnSiblingsOff();
}

void TMenuItem::SetRadioItem(bool value) {
    if (value == radioItem_) return;
    radioItem_ = value;
    if (radioItem_ && checked_) TurnSiblingsOff();
}

void TMenuItem::SetGroupIndex(std::uint8_t value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    if (radioItem_ && checked_) TurnSiblingsOff();
}

void TMenuItem::TurnSiblingsOff() {
    // Radio groups only join items under the same parent.
    if (parent_ == nullptr) return;
    for (TMenuItem* sibling : parent_->items_)
        if (sibling != this && sibling->radioItem_ && sibling->groupIndex_ == groupIndex_)
            sibling->checked_ = false;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item == nullptr || item == this) return;
    for (const TMenuItem* p = this; p != nullptr; p = p->parent_)
        if (p == item) throw EInvalidOperation("A menu item cannot hold itself");
    if (item->parent_ != nullptr) item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
}

bool TMenuItem::HasSubmenu() const {
    return std::any_of(items_.begin(), items_.end(), [](const TMenuItem* i) { return i->Visible; });
}

void TMenuItem::Click() {
    if (!Enabled) return;
    if (AutoCheck) SetChecked(!checked_);
    if (OnClick) OnClick(this);
}

namespace {

bool UsableAccelerator(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

// The caption without its markers, and where the marked character stands in it (-1: none).
std::pair<std::string, int> StripMarkers(const std::string& caption) {
    std::string shown;
    int marked = -1;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
            if (caption[i] != '&') marked = static_cast<int>(shown.size());
        }
        shown += caption[i];
    }
    return {shown, marked};
}

} // namespace

std::string TMenuItem::DisplayCaption() const { return StripMarkers(caption_).first; }

void TMenuItem::AssignAutoAccelerators() {
    bool taken[128] = {};
    // Marked accelerators first: they are the caption's own, duplicates included.
    for (TMenuItem* item : items_) {
        item->accelerator_ = 0;
        item->acceleratorIndex_ = -1;
        if (!item->Visible || item->IsLine()) continue;
        const auto [shown, marked] = StripMarkers(item->caption_);
        if (marked < 0) continue;
        const char c = Upper(shown[static_cast<std::size_t>(marked)]);
        if (!UsableAccelerator(c)) continue;
        taken[static_cast<unsigned char>(c)] = true;
        item->accelerator_ = c;
        item->acceleratorIndex_ = marked;
    }
    for (TMenuItem* item : items_) {
        if (!item->Visible || item->IsLine() || item->acceleratorIndex_ >= 0) continue;
        const std::string shown = StripMarkers(item->caption_).first;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const char c = Upper(shown[i]);
            if (!UsableAccelerator(c) || taken[static_cast<unsigned char>(c)]) continue;
            taken[static_cast<unsigned char>(c)] = true;
            item->accelerator_ = c;
            item->acceleratorIndex_ = static_cast<int>(i);
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) {}

TMenu::~TMenu() {
    Destroying();
    delete items_;
}

namespace {
TPopupMenuRunner gRunner;
} // namespace

void SetPopupMenuRunner(const TPopupMenuRunner& runner) { gRunner = runner; }

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
    Destroying();
    if (tracker_ != nullptr && gRunner.cancel != nullptr) gRunner.cancel(*this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == PopupComponent) PopupComponent = nullptr;
}

void TPopupMenu::Popup(std::int32_t X, std::int32_t Y) {
    if (tracker_ != nullptr) return; // already open
    popupPoint_ = {X, Y};
    if (OnPopup) OnPopup(this);
    if (!Items()->HasSubmenu()) return;

    TMenuItem* chosen = gRunner.run != nullptr ? gRunner.run(*this, popupPoint_, tracker_) : nullptr;
    // As on the classic platform, the command runs once the menu is gone.
    if (chosen != nullptr) chosen->Click();
}
