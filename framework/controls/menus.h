// Menus: TMenuItem (a command or a submenu, with check marks and radio groups) and TPopupMenu (a menu
// opened at a point). What shows an open menu and runs it (TPopupMenuTracker, its windows and the
// application's loop) lies a layer up and registers itself as the pop-up menu runner.
#pragma once

#include "framework/core/component.h"

#include <cstdint>
#include <string>
#include <vector>

class TPopupMenuTracker;
class TPopupMenu;
class TMenuItem;

// Shows pop-up menus: registered by the application, which has the windows and the loop for them.
struct TPopupMenuRunner {
    // Opens `menu` at a screen point and runs it until it closes; the chosen item, or null.
    // `open` is the menu's slot for its tracker, set while the menu runs.
    TMenuItem* (*run)(TPopupMenu& menu, TPoint point, TPopupMenuTracker*& open) = nullptr;
    // Closes the open `menu` at once, as it is going.
    void (*cancel)(TPopupMenu& menu) = nullptr;
};
void SetPopupMenuRunner(const TPopupMenuRunner& runner);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    // Destroys the sub-items with it (whoever owns them) and leaves its parent item.
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    // The caption as shown: an "&" marks the next character as the accelerator and is not shown
    // ("&&" shows one "&").
    std::string DisplayCaption() const;
    void SetCaption(const std::string& value) { caption_ = value; }
    // A caption of "-" makes the item a separator line.
    bool IsLine() const { return caption_ == "-"; }
    bool Checked() const { return checked_; }
    // Marking a radio item unmarks the other radio items of its group under the same parent.
    void SetChecked(bool value);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    std::uint8_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(std::uint8_t value);
    bool AutoCheck = false;
    bool Enabled = true;
    bool Visible = true;
    // Stored and kept; the toolkit does not act on menu shortcuts.
    std::uint16_t ShortCut = 0;
    TNotifyEvent OnClick;

    TMenuItem* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    int IndexOf(const TMenuItem* item) const;
    // Appends or inserts a sub-item, taking it from its previous parent.
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    // Whether it opens a submenu: it has at least one visible sub-item.
    bool HasSubmenu() const;

    // Chooses the item: nothing when disabled; otherwise an auto-check item flips its mark (a radio
    // item that became marked unmarks its group), then OnClick runs.
    virtual void Click();

    // The accelerator given when its level last opened ('A'..'Z', '0'..'9'; 0 for none), and the
    // index of that character in the displayed caption (-1 for none).
    char Accelerator() const { return accelerator_; }
    int AcceleratorIndex() const { return acceleratorIndex_; }
    // Gives the visible sub-items their accelerators: a caption's "&" marker names its own; every
    // other item takes the first character of its caption, upper-cased, that is a digit or a letter
    // not yet taken at this level.
    void AssignAutoAccelerators();

private:
    void TurnSiblingsOff();

    std::string caption_;
    bool checked_ = false;
    bool radioItem_ = false;
    std::uint8_t groupIndex_ = 0;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    char accelerator_ = 0;
    int acceleratorIndex_ = -1;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;
    // The invisible root item; the menu's entries are its sub-items.
    TMenuItem* Items() const { return items_; }

private:
    TMenuItem* items_;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Opened by a right click on a control that uses this menu.
    bool AutoPopup = true;
    // Where the menu sat on the design surface; kept but without effect at run time.
    TPoint DesignPosition;
    // The control the menu was last opened for.
    TComponent* PopupComponent = nullptr;
    // Runs just before the menu opens.
    TNotifyEvent OnPopup;

    // Opens the menu with its top-left corner at screen point (X, Y) and runs it until it closes
    // (timers and painting go on meanwhile); a chosen item's Click runs after the menu has closed.
    virtual void Popup(std::int32_t X, std::int32_t Y);
    TPoint PopupPoint() const { return popupPoint_; }
    // The running tracker while the menu is open, else null.
    TPopupMenuTracker* Tracker() const { return tracker_; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TPoint popupPoint_;
    TPopupMenuTracker* tracker_ = nullptr;
};
