#include "ui/MainFormLogic.h"

#include "host/DbxUtils.h"
#include "placement/PlacementRun.h"

namespace kordane {

void TfrmMainLogic::cbDoSpaceClick() {
  SetSpacingEnabled(controls_.Checked(TControl::cbDoSpace));
}

void TfrmMainLogic::eSpacingChange() {
  SetSpacingEnabled(true);
}

void TfrmMainLogic::cbDoRotateClick() {
  SetRotateEnabled(controls_.Checked(TControl::cbDoRotate));
}

void TfrmMainLogic::cbRotationChange() {
  SetRotateEnabled(true);
}

void TfrmMainLogic::cbOnTopClick() {
  controls_.SetTopMost(controls_.Checked(TControl::cbOnTop));
}

void TfrmMainLogic::ChangeUnits(int tag) {
  // The present text is always read as the other unit, whatever DbUnits held before.
  const std::string text = controls_.Text(TControl::eSpacing);
  if (tag == kUnitsMils) {
    DbUnits = kUnitsMils;
    ShowUnits();
    SetSpacingTextFromCode(DbToMilsText(MmTextToDb(text)));
  } else if (tag == kUnitsMm) {
    DbUnits = kUnitsMm;
    ShowUnits();
    SetSpacingTextFromCode(DbToMmText(MilsTextToDb(text)));
  }
}

void TfrmMainLogic::SetSpacingEnabled(bool on) {
  controls_.SetTextColour(TControl::eSpacing,
                          on ? std::nullopt : std::optional<std::uint32_t>(kGreyTextColour));
  SetCheckedFromCode(TControl::cbDoSpace, on);
}

void TfrmMainLogic::SetRotateEnabled(bool on) {
  controls_.SetTextColour(TControl::cbRotation,
                          on ? std::nullopt : std::optional<std::uint32_t>(kGreyTextColour));
  SetCheckedFromCode(TControl::cbDoRotate, on);
}

void TfrmMainLogic::ShowUnits() {
  if (DbUnits == kUnitsMils) {
    controls_.SetText(TControl::lUnits, "mils");
  } else if (DbUnits == kUnitsMm) {
    controls_.SetText(TControl::lUnits, "mm");
  }
}

void TfrmMainLogic::LearnDesignUnits(IDbxCalls& host, bool& designOpen) {
  designOpen = false;
  {
    struct CloseOnExit {
      IDbxCalls& host;
      bool& designOpen;
      ~CloseOnExit() {
        if (designOpen) {
          host.CloseDesign(&DbxContext, kCloseMessage);
          designOpen = false;
        }
      }
    } closeOnExit{host, designOpen};
    if (host.OpenDesign(kOpenDbType, kOpenTimeout, kOpenDesignName, &DbxContext) == 0) {
      designOpen = true;
      AskDesignUnits(host);
    }
  }
  ShowUnits();
}

void TfrmMainLogic::SetCheckedFromCode(TControl control, bool checked) {
  if (controls_.Checked(control) == checked) return;
  controls_.SetChecked(control, checked);
  switch (control) {
    case TControl::cbDoSpace:
      cbDoSpaceClick();
      break;
    case TControl::cbDoRotate:
      cbDoRotateClick();
      break;
    case TControl::cbOnTop:
      cbOnTopClick();
      break;
    default:
      break;
  }
}

void TfrmMainLogic::SetSpacingTextFromCode(const std::string& text) {
  if (controls_.Text(TControl::eSpacing) == text) return;
  controls_.SetText(TControl::eSpacing, text);
  eSpacingChange();
}

PlacementInputs TfrmMainLogic::Inputs() const {
  PlacementInputs inputs;
  inputs.horizontal = controls_.Checked(TControl::rbHorizontal);
  inputs.order = SortOrderChecked().value_or(TSortOrder::Unchanged);
  inputs.spacingEnabled = controls_.Checked(TControl::cbDoSpace);
  inputs.spacingText = controls_.Text(TControl::eSpacing);
  inputs.rotateEnabled = controls_.Checked(TControl::cbDoRotate);
  return inputs;
}

void TfrmMainLogic::SetHorizontalChecked(bool horizontal) {
  controls_.SetChecked(TControl::rbHorizontal, horizontal);
  controls_.SetChecked(TControl::rbVertical, !horizontal);
}

std::optional<TSortOrder> TfrmMainLogic::SortOrderChecked() const {
  if (controls_.Checked(TControl::rbUp)) return TSortOrder::Increasing;
  if (controls_.Checked(TControl::rbDown)) return TSortOrder::Decreasing;
  if (controls_.Checked(TControl::rbNone)) return TSortOrder::Unchanged;
  return std::nullopt;
}

void TfrmMainLogic::SetSortOrderChecked(TSortOrder order) {
  controls_.SetChecked(TControl::rbUp, order == TSortOrder::Increasing);
  controls_.SetChecked(TControl::rbDown, order == TSortOrder::Decreasing);
  controls_.SetChecked(TControl::rbNone, order == TSortOrder::Unchanged);
}

}  // namespace kordane
