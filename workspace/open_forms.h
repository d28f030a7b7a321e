// The two small dialogs of the open command: the open options, which the
// open command reads (convert a shapefile to KML, clear the globe's places
// after an open) and the style of the KML the library writes; and the
// resource dialog, which only closes.
#pragma once

#include "platform/forms/controls.h"
#include "platform/forms/pictures.h"

namespace altimar::workspace {

class FrmOpenOptions : public forms::Form {
 public:
  FrmOpenOptions(win::Desktop& desktop, int program);

  forms::Frame Frame3{*this, "Frame3"};
  forms::CheckBox chkConvert{*this, "chkConvert", &Frame3};
  forms::CheckBox chkLoadinGE{*this, "chkLoadinGE", &Frame3};
  forms::CheckBox chkCloseGEPlaces{*this, "chkCloseGEPlaces", &Frame3};

  forms::Frame Frame2{*this, "Frame2"};
  forms::CheckBox Check2{*this, "Check2", &Frame2};
  forms::CheckBox Check1{*this, "Check1", &Frame2};

  forms::Frame Frame1{*this, "Frame1"};
  forms::Frame frameHeightParameter{*this, "frameHeightParameter", &Frame1};
  forms::Label lblHeightField{*this, "lblHeightField", &frameHeightParameter};
  forms::ComboBox Combo1{*this, "Combo1", &frameHeightParameter};
  forms::Frame frameCoefficient{*this, "frameCoefficient", &Frame1};
  forms::Label lblFormula{*this, "lblFormula", &frameCoefficient};
  forms::TextBox Text1{*this, "Text1", &frameCoefficient};
  forms::TextBox Text2{*this, "Text2", &frameCoefficient};
  forms::Label lblLabelField{*this, "lblLabelField", &Frame1};
  forms::ComboBox cmbSelectFieldToLabel{*this, "cmbSelectFieldToLabel", &Frame1};
  forms::CheckBox chkOpenFileOption[3] = {{*this, "chkOpenFileOption", &Frame1},
                                          {*this, "chkOpenFileOption", &Frame1},
                                          {*this, "chkOpenFileOption", &Frame1}};

  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};

  void chkOpenFileOption_Click(int index);

 protected:
  void Form_Load() override;
};

class FrmOpenResource : public forms::Form {
 public:
  FrmOpenResource(win::Desktop& desktop, int program);

  forms::Frame Frame1{*this, "Frame1"};
  forms::Label lblLocal{*this, "lblLocal", &Frame1};
  forms::TextBox Text1{*this, "Text1", &Frame1};
  forms::CommandButton Command3{*this, "Command3", &Frame1};
  forms::Label lblWfs{*this, "lblWfs", &Frame1};
  forms::TextBox Text2{*this, "Text2", &Frame1};
  forms::CommandButton Command4{*this, "Command4", &Frame1};
  forms::CommandButton Command1{*this, "Command1"};
  forms::CommandButton Command2{*this, "Command2"};

 protected:
  void Form_Load() override;
};

}  // namespace altimar::workspace
