// Reading stored window descriptions: values of every kind in stored order, nesting, fields,
// handlers, forward references, extra defined values, the loading sequence, parent colour and font,
// and the errors for malformed descriptions (which leave nothing behind).
#include "framework/controls/menus.h"
#include "framework/stored/picture_data.h"
#include "framework/stored/reader.h"
#include "headless_fixture.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

// A control that logs each property as it is applied, whether it was applied while reading, and
// when Loaded runs. It also defines an extra value "DateTime" of its own.
class TLoggingControl : public TCustomControl, public IDefinesProperties {
public:
    using TCustomControl::TCustomControl;
    void Loaded() override {
        gLog.push_back("Loaded " + Name());
        TCustomControl::Loaded();
    }
    void DefineProperties(TPropertyFiler& filer) override {
        filer.DefineProperty("DateTime",
                             [this](const StoredValue& v) { dateTime = stored_values::ToInt32(v); });
    }
    void Note(const std::string& what) {
        gLog.push_back(Name() + "." + what + (HasState(csReading) ? "" : " (late)"));
    }

    std::int32_t level = 0;
    std::vector<std::uint8_t> data;
    std::int32_t dateTime = -1;
};

class TLoggingForm : public TForm {
public:
    using TForm::TForm;
    void Loaded() override {
        gLog.push_back("Loaded " + Name());
        TForm::Loaded();
    }
    TLoggingControl* first = nullptr;
    TLoggingControl* second = nullptr;
    TPopupMenu* menu = nullptr;
    TMenuItem* item = nullptr;
    int clicks = 0;
};

void RegisterTestClasses() {
    TClassRegistry& registry = ClassRegistry();
    registry.Register<TLoggingForm>("TLoggingForm", "TForm");
    TPropertyTable& t =
        registry
            .Register<TLoggingControl>("TLoggingControl", "TCustomControl",
                                       [](TComponent* owner) { return new TLoggingControl(owner); })
            .properties;
    t.Integer<TLoggingControl>("Level", [](TLoggingControl& c, std::int32_t v) {
        c.level = v;
        c.Note("Level");
    });
    t.Binary<TLoggingControl>("Picture.Data", [](TLoggingControl& c, const std::vector<std::uint8_t>& v) {
        c.data = v;
        c.Note("Picture.Data");
    });
}

class ReaderTest : public ApplicationTest {
protected:
    void SetUp() override {
        ApplicationTest::SetUp();
        RegisterTestClasses();
        gLog.clear();
        form = new TLoggingForm(app.get());
        fields.Add("first", form->first);
        fields.Add("second", form->second);
        fields.Add("menu", form->menu);
        fields.Add("item", form->item);
        handlers["ItemClick"] = TNotifyEvent([this](TObject*) { ++form->clicks; });
        handlers["CanResize"] = TCanResizeEvent([](TObject*, int&, int&, bool&) {});
    }
    void Read(const std::string& text) { ReadRootComponent(*form, text, fields, handlers); }
    // The message of the error that reading `text` raises ("" when it reads cleanly).
    std::string ReadError(const std::string& text) {
        try {
            Read(text);
        } catch (const EReadError& e) {
            return e.Message();
        }
        return "";
    }

    TLoggingForm* form = nullptr;
    TFieldTable fields;
    THandlerTable handlers;
};

const char* const kGood = R"(object Main: TLoggingForm
  Caption = 'It''s'#9'here'
  Color = clSilver
  Font.Height = -13
  Font.Style = [fsBold, fsItalic]
  PopupMenu = menu // a reference forward
  OnCanResize = CanResize
  DesignSize = (
    300
    200)
  object first: TLoggingControl
    Level = 7
    Left = 1
    Anchors = [akLeft, akBottom]
    Picture.Data = {
      0A0b
      FF}
    DateTime = 44
    Level = 8
  end
  object second: TLoggingControl
    Color = $00FF00
    Font.Name = 'Courier'
  end
  object menu: TPopupMenu
    Left = 88
    Top = 176
    object sub: TMenuItem
      Caption = 'Sub'
      object item: TMenuItem
        Caption = 'Item'
        OnClick = ItemClick
      end
    end
  end
end
)";

TEST_F(ReaderTest, BuildsObjectsWithTheirPropertiesInStoredOrderThenLoadsRootFirst) {
    Read(kGood);
    EXPECT_EQ(gLog, (std::vector<std::string>{"first.Level", "first.Picture.Data", "first.Level",
                                              "Loaded Main", "Loaded first", "Loaded second"}));
    EXPECT_EQ(form->Name(), "Main");
    EXPECT_EQ(form->Caption(), "It's\there");
    EXPECT_EQ(form->Font()->Height(), -13);
    EXPECT_EQ(form->Font()->Style(), fsBold | fsItalic);
    EXPECT_EQ(form->DesignSize, (TSize{300, 200}));
    EXPECT_TRUE(form->OnCanResize);

    ASSERT_NE(form->first, nullptr);
    EXPECT_EQ(form->first->Parent(), form);
    EXPECT_EQ(form->first->Owner(), form);
    EXPECT_EQ(form->first->level, 8); // the later value wins: stored order
    EXPECT_EQ(form->first->Left(), 1);
    EXPECT_EQ(form->first->Anchors(), AnchorBit(akLeft) | AnchorBit(akBottom));
    EXPECT_EQ(form->first->data, (std::vector<std::uint8_t>{0x0A, 0x0B, 0xFF}));
    EXPECT_EQ(form->first->dateTime, 44);
    EXPECT_FALSE(form->first->HasState(csLoading | csReading));
    EXPECT_FALSE(form->HasState(csLoading | csReading));

    // The forward reference is resolved, the menu is nested and the handler bound.
    ASSERT_NE(form->menu, nullptr);
    EXPECT_EQ(form->PopupMenu, form->menu);
    EXPECT_EQ(form->menu->DesignPosition, (TPoint{88, 176}));
    ASSERT_EQ(form->menu->Items()->Count(), 1);
    TMenuItem* sub = form->menu->Items()->Items(0);
    EXPECT_EQ(sub->Caption(), "Sub");
    ASSERT_EQ(sub->Count(), 1);
    EXPECT_EQ(sub->Items(0), form->item);
    form->item->Click();
    EXPECT_EQ(form->clicks, 1);
}

TEST_F(ReaderTest, ControlsTakeTheFormsColourAndFontOnceLoadedAndFollowLaterChanges) {
    Read(kGood);
    TLoggingControl* plain = form->first;   // colour and font never set
    TLoggingControl* styled = form->second; // its own colour and font name
    EXPECT_EQ(plain->Color(), clSilver);
    EXPECT_TRUE(plain->ParentColor());
    EXPECT_EQ(plain->Font()->Height(), -13);
    EXPECT_EQ(plain->Font()->Style(), fsBold | fsItalic);
    EXPECT_EQ(styled->Color(), 0x00FF00);
    EXPECT_EQ(styled->Font()->Name(), "Courier");
    EXPECT_EQ(plain->TabOrder, 0); // windowed controls line up in creation order
    EXPECT_EQ(styled->TabOrder, 1);

    form->SetColor(clWhite);
    form->Font()->SetHeight(-20);
    EXPECT_EQ(plain->Color(), clWhite);
    EXPECT_EQ(plain->Font()->Height(), -20);
    EXPECT_EQ(styled->Color(), 0x00FF00);
    EXPECT_EQ(styled->Font()->Height(), -11);
}

TEST_F(ReaderTest, MalformedDescriptionsNameTheObjectThePropertyAndTheLine) {
    struct Case {
        const char* text;
        std::vector<std::string> expected; // substrings of the message
    };
    const std::vector<Case> cases = {
        {"object Main: TLoggingForm\n  object w: TNoSuchClass\n  end\nend\n",
         {"object w", "line 2", "TNoSuchClass"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n    Bogus = 1\n  end\nend\n",
         {"first.Bogus", "line 3", "does not exist"}},
        {"object Main: TLoggingForm\n  Left = 'abc'\nend\n", {"Main.Left", "line 2", "integer expected"}},
        {"object Main: TLoggingForm\n  Left = 99999999999\nend\n", {"Main.Left", "line 2", "out of range"}},
        {"object Main: TLoggingForm\n  Anchors = [akLeft, akMiddle]\nend\n", {"Main.Anchors", "akMiddle"}},
        {"object Main: TLoggingForm\n  Color = clPurple\nend\n", {"Main.Color", "line 2", "clPurple"}},
        {"object Main: TLoggingForm\n  Visible = Yes\nend\n", {"Main.Visible", "True or False"}},
        {"object Main: TLoggingForm\n  DesignSize = (1 2 3)\nend\n", {"Main.DesignSize", "line 2"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n    Left = 1\n",
         {"first", "line 2", "'end'"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n    Picture.Data = {\n      0A0B\n",
         {"first.Picture.Data", "line 3", "binary data ends"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n    Picture.Data = {0A0}\n  end\nend\n",
         {"first.Picture.Data", "line 3", "odd number"}},
        {"object Main: TLoggingForm\n  Caption = 'open\nend\n", {"Main.Caption", "line 2", "string"}},
        {"object Main: TLoggingForm\n  OnCanResize = Missing\nend\n",
         {"Main.OnCanResize", "line 2", "Missing"}},
        {"object Main: TLoggingForm\n  OnClick = CanResize\nend\n",
         {"Main.OnClick", "line 2", "does not fit"}},
        {"object Main: TLoggingForm\n  PopupMenu = nowhere\nend\n", {"Main.PopupMenu", "line 2", "nowhere"}},
        {"object Main: TLoggingForm\n  PopupMenu = first\n  object first: TLoggingControl\n  end\nend\n",
         {"Main.PopupMenu", "line 2", "wrong class"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n  end\n  object first: "
         "TLoggingControl\n"
         "  end\nend\n",
         {"object first", "line 4", "exists already"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n    object item: TMenuItem\n    end\n  "
         "end\nend\n",
         {"object item", "line 3", "menu"}},
        {"object Main: TLoggingForm\nend\nobject More: TLoggingForm\nend\n", {"line 3"}},
        {"object Main: TLoggingForm\n  object first: TLoggingControl\n  end\n  Left = 1\nend\n",
         {"line 4", "before nested objects"}},
    };
    const std::string deep = "object Main: TLoggingForm\n  DesignSize = " + std::string(200, '(') + "\nend\n";
    const std::string deepMessage = ReadError(deep);
    EXPECT_NE(deepMessage.find("nested too deeply"), std::string::npos) << deepMessage;
    for (const Case& c : cases) {
        const std::string message = ReadError(c.text);
        SCOPED_TRACE(c.text);
        ASSERT_FALSE(message.empty());
        for (const std::string& part : c.expected)
            EXPECT_NE(message.find(part), std::string::npos) << message;
    }
    // A plain form cannot be built from a description of a TLoggingForm.
    TForm plain(nullptr);
    EXPECT_THROW(ReadRootComponent(plain, "object Main: TLoggingForm\nend\n", fields, handlers), EReadError);
}

TEST_F(ReaderTest, AFailedReadDestroysEverythingItMadeAndClearsTheFields) {
    const std::size_t alive = TComponent::LiveCount();
    // The error comes last, after controls, a menu and its items have been made.
    std::string text = kGood;
    text.insert(text.find("OnClick = ItemClick") + 20, "        Bogus = 1\n");
    EXPECT_NE(ReadError(text).find("item.Bogus"), std::string::npos);
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(form->ControlCount(), 0);
    EXPECT_EQ(form->first, nullptr);
    EXPECT_EQ(form->menu, nullptr);
    EXPECT_EQ(form->item, nullptr);
    EXPECT_FALSE(form->HasState(csReading));
    // An unresolved reference is found only after everything was made; that also unwinds.
    std::string dangling = kGood;
    dangling.replace(dangling.find("PopupMenu = menu"), 16, "PopupMenu = gone");
    EXPECT_NE(ReadError(dangling).find("gone"), std::string::npos);
    EXPECT_EQ(form->ComponentCount(), 0);
    EXPECT_EQ(TComponent::LiveCount(), alive); // nothing they owned outlived them either
    // The same form reads a good description afterwards.
    Read(kGood);
    EXPECT_EQ(form->ComponentCount(), 5);
}

// A BMP file of `bits` per pixel with the rows given bottom row first, as BMP files keep them.
std::vector<std::uint8_t> Bmp(std::int32_t width, std::int32_t height, std::uint16_t bits,
                              const std::vector<std::vector<std::uint8_t>>& rows,
                              const std::vector<std::uint32_t>& palette = {}) {
    std::vector<std::uint8_t> out;
    auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const std::uint32_t offset = 14 + 40 + static_cast<std::uint32_t>(palette.size()) * 4;
    out.push_back('B');
    out.push_back('M');
    u32(0);
    u32(0);
    u32(offset);
    u32(40);
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(height));
    u16(1);
    u16(bits);
    for (int i = 0; i < 4; ++i) u32(0);
    u32(static_cast<std::uint32_t>(palette.size()));
    u32(0);
    for (std::uint32_t c : palette) u32(c); // 0x00RRGGBB is blue, green, red, 0 in memory
    for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
    return out;
}

TEST(PictureData, BitmapsDecodeFromTheirStoredBytesAndBadDataIsRefused) {
    // 2 x 2, 24 bits: bottom row red, white; top row blue, black; rows padded to 4 bytes.
    const auto bytes24 = Bmp(2, 2, 24, {{0, 0, 255, 255, 255, 255, 0, 0}, {255, 0, 0, 0, 0, 0, 0, 0}});
    TBitmap bitmap;
    ReadBitmapData(bitmap, bytes24);
    ASSERT_EQ(bitmap.Width(), 2);
    EXPECT_EQ(bitmap.Pixels().Pixel(0, 1), 0xFF0000u);
    EXPECT_EQ(bitmap.Pixels().Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(bitmap.Pixels().Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(bitmap.Pixels().Pixel(1, 0), 0x000000u);
    EXPECT_EQ(bitmap.PixelFormat(), pf24bit);

    // 9 x 1, 1 bit with a two-colour palette: the ninth pixel sits in the second byte.
    const auto bytes1 = Bmp(9, 1, 1, {{0b10000001, 0b10000000, 0, 0}}, {0x00FF00, 0x0000FF});
    ReadBitmapData(bitmap, bytes1);
    EXPECT_EQ(bitmap.Pixels().Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(bitmap.Pixels().Pixel(1, 0), 0x00FF00u);
    EXPECT_EQ(bitmap.Pixels().Pixel(8, 0), 0x0000FFu);

    // A picture names its graphic's class first, then gives the bitmap file's length.
    std::vector<std::uint8_t> picture{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    for (int shift = 0; shift < 32; shift += 8)
        picture.push_back(static_cast<std::uint8_t>(bytes24.size() >> shift));
    picture.insert(picture.end(), bytes24.begin(), bytes24.end());
    TPicture holder;
    ReadPictureData(holder, picture);
    EXPECT_EQ(holder.Width(), 2);
    ReadPictureData(holder, {});
    EXPECT_EQ(holder.Graphic(), nullptr);

    auto truncated = bytes24;
    truncated.resize(truncated.size() - 1);
    EXPECT_THROW(ReadBitmapData(bitmap, truncated), EReadError);
    EXPECT_EQ(bitmap.Width(), 9); // left as it was
    EXPECT_THROW(ReadBitmapData(bitmap, {'B', 'M', 0}), EReadError);
    EXPECT_THROW(ReadBitmapData(bitmap, Bmp(100000, 1, 24, {})), EReadError);
    EXPECT_THROW(ReadPictureData(holder, {5, 'T', 'I', 'c', 'o', 'n'}), EReadError);
    EXPECT_THROW(ReadPictureData(holder, {9, 'T'}), EReadError);
}

} // namespace
