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
  object zfm: TLvZoom
    Left = 0
    Top = 0
    Width = 250
    Height = 250
    ZoomLevel = 50
    Crosshair = True
    CrosshairColor = clBlue
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
