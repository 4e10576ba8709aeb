#include "edit_fixture.h"

void EditTest::SetUp() {
    XPTest::SetUp();
    LcApplication().Reset();
    edit = AddEdit(10, 10);
    edit->OnChange = [this](TObject*) {
        ++changes;
        caretSeenByOnChange.push_back(edit->CursorPos());
    };
    form->Show();
    Settle();
}

void EditTest::TearDown() {
    LcApplication().Reset();
    XPTest::TearDown();
}

CountingEdit* EditTest::AddEdit(int left, int top, int width) {
    auto* e = new CountingEdit(form);
    e->SetParent(form);
    e->SetBounds(left, top, width, 21);
    return e;
}

void EditTest::Prepare(CountingEdit* e, const std::string& text, int caret) {
    e->SetFocus();
    e->SetText(text);
    LcApplication().SetEditMode(EditModeBit(emInsert));
    e->SetCursorPos(caret);
    e->SetSelLength(0);
    Settle();
    changes = 0;
    caretSeenByOnChange.clear();
    e->drawTexts = 0;
}

void EditTest::DoubleClick(int x, int y) {
    MouseDown(x, y);
    MouseUp(x, y);
    PlatformEvent e;
    e.kind = PlatformEvent::Kind::MouseDown;
    e.window = form->PlatformWindow();
    e.position = {x, y};
    e.shift = kShiftLeft | kShiftDouble;
    platform.PostEvent(e);
    Settle();
    MouseUp(x, y);
}
