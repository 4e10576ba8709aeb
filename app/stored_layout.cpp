#include "app/stored_layout.h"

namespace {

// The window's own properties first, then its controls and the menu in creation order.
constexpr std::string_view kTLTFRM = R"(object LTfrm: TLTfrm
  Left = 660
  Top = 295
  Width = 258
  Height = 320
  BorderIcons = []
  Caption = 'Lentaro'
  Color = clSilver
  Font.Charset = DEFAULT_CHARSET
  Font.Color = clWindowText
  Font.Height = -11
  Font.Name = 'MS Sans Serif'
  Font.Style = []
  OldCreateOrder = False
  PopupMenu = PopupMenu1
  OnCanResize = FormCanResize
  DesignSize = (
    250
    293)
  PixelsPerInch = 96
  TextHeight = 13
  object Label1: TLabel
    Left = 0
    Top = 252
    Width = 63
    Height = 13
    Anchors = [akBottom]
    Caption = 'Zoom Power:'
  end
  object Label2: TLabel
    Left = 88
    Top = 254
    Width = 69
    Height = 13
    Anchors = [akBottom]
    Caption = 'Crosshair Size:'
  end
  object zfm: TLvZoom
    Left = 0
    Top = 0
    Width = 250
    Height = 250
    ZoomLevel = 50
    Crosshair = True
    CrosshairColor = clBlue
  end
  object powerZ: TLcSpinEdit
    Left = 0
    Top = 272
    Width = 65
    Height = 21
    Anchors = [akLeft, akBottom]
    Bevel.Mode = bmWindows
    Caret.BlinkRate = 530
    TabOrder = 1
    OnChange = powerZChange
    AutoSelect = True
    Suffix = '%'
    MaxValue = 1000
    Value = 200
    DateTime = 0.000000000000000000
  end
  object crossS: TLcSpinEdit
    Left = 88
    Top = 271
    Width = 73
    Height = 21
    Anchors = [akBottom]
    Bevel.Mode = bmWindows
    Caret.BlinkRate = 530
    TabOrder = 2
    OnChange = crossSChange
    AutoSelect = True
    Suffix = ' pixels'
    Value = 20
    DateTime = 0.000000000000000000
  end
  object LvXPButton1: TLvXPButton
    Left = 164
    Top = 264
    Width = 85
    Height = 21
    Anchors = [akRight, akBottom]
    Caption = 'Exit'
    TabOrder = 3
    Glyph.Data = {
      07544269746D617036030000424D360300000000000036000000280000001000
      000010000000010018000000000000030000130B0000130B0000000000000000
      0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFF0000FF0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000
      FF0000FFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFFFFFF0000FF
      0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFF0000FF0000FF0000FF0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFF0000FF0000FF0000FF0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFFFFFF0000FF
      0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000
      FF0000FFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFF0000FF0000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF0000FF0000FFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF
      FFFF}
    OnClick = LvXPButton1Click
  end
  object PopupMenu1: TPopupMenu
    Left = 88
    Top = 176
    object crosshairMnuSub: TMenuItem
      Caption = 'Crosshair'
      object crosshairMnu: TMenuItem
        AutoCheck = True
        Caption = 'On'
        Checked = True
        RadioItem = True
        OnClick = crosshairMnuClick
      end
      object Off1: TMenuItem
        AutoCheck = True
        Caption = 'Off'
        RadioItem = True
        OnClick = Off1Click
      end
    end
    object CrosshairColor1: TMenuItem
      Caption = 'Crosshair Color'
      object Bluecr: TMenuItem
        AutoCheck = True
        Caption = 'Blue'
        Checked = True
        RadioItem = True
        OnClick = BluecrClick
      end
      object Redcr: TMenuItem
        AutoCheck = True
        Caption = 'Red'
        RadioItem = True
        OnClick = RedcrClick
      end
      object Blackcr: TMenuItem
        AutoCheck = True
        Caption = 'Black'
        RadioItem = True
        OnClick = BlackcrClick
      end
    end
  end
end
)";

} // namespace

std::string_view StoredDescriptionTLTFRM() {
    return kTLTFRM;
}
