#include "ui/arrange/AlignPanel.h"

namespace kordane::ui {

void ShowAlignChoices(const IArrangeControls& controls, const TArrangeChoices& choices) {
  const bool vertical = choices.alignAxis == TArrangeAxis::Vertical;
  Check(controls.Control(kIdAlignHorizontal), !vertical);
  Check(controls.Control(kIdAlignVertical), vertical);
  Check(controls.Control(kIdAlignFirst), choices.alignEdge == TAlignEdge::TopOrLeft);
  Check(controls.Control(kIdAlignCentre), choices.alignEdge == TAlignEdge::Centre);
  Check(controls.Control(kIdAlignLast), choices.alignEdge == TAlignEdge::BottomOrRight);
}

void ReadAlignChoices(const IArrangeControls& controls, TArrangeChoices& choices) {
  choices.alignAxis = IsChecked(controls.Control(kIdAlignVertical)) ? TArrangeAxis::Vertical
                                                                    : TArrangeAxis::Horizontal;
  choices.alignEdge = IsChecked(controls.Control(kIdAlignFirst))  ? TAlignEdge::TopOrLeft
                      : IsChecked(controls.Control(kIdAlignLast)) ? TAlignEdge::BottomOrRight
                                                                  : TAlignEdge::Centre;
}

void UpdateAlignControls(const IArrangeControls& controls, const TArrangeChoices& choices) {
  const bool vertical = choices.alignAxis == TArrangeAxis::Vertical;
  SetWindowTextA(controls.Control(kIdAlignFirst),
                 vertical ? align_layout::kLeft : align_layout::kControls[2].text);
  SetWindowTextA(controls.Control(kIdAlignLast),
                 vertical ? align_layout::kRight : align_layout::kControls[4].text);
}

}  // namespace kordane::ui
