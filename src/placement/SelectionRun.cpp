#include "placement/SelectionRun.h"

#include <memory>
#include <vector>

#include "host/DbxUtils.h"

namespace kordane {

namespace {

using run_guards::ChangeTally;
using run_guards::Connection;
using run_guards::WaitCursor;

class ViewRefDesReporter : public IRefDesReporter {
 public:
  explicit ViewRefDesReporter(IPlacementView& view) : view_(view) {}
  void ReportRefDesError(const std::string& message) override { view_.ShowRefDesError(message); }

 private:
  IPlacementView& view_;
};

void CaptureSelection(IDbxCalls& host, std::vector<std::unique_ptr<TDbxComponent>>& records) {
  // Zeroed so that no byte of a record is ever indeterminate, whatever the host fills in.
  auto item = std::make_unique<TDbxItem>();
  std::int32_t status = host.GetFirstSelectedItem(&DbxContext, item.get());
  while (status == 0) {
    if (item->ItemType() == TDbxItem::kComponentType) {
      auto record = std::make_unique<TDbxComponent>();
      item->CopyComponentTo(*record);
      records.push_back(std::move(record));
    }
    status = host.GetNextSelectedItem(&DbxContext, item.get());
  }
}

std::int32_t DesignUnitsOf(IDbxCalls& host) {
  auto info = std::make_unique<TDesignInfo>();
  return host.GetDesignInfo(&DbxContext, info.get()) == 0 ? info->Units() : kUnitsUnknown;
}

}  // namespace

void RunOverSelection(IDbxCalls& host, IPlacementView& view, bool& designOpen,
                      const std::function<void(TSelectionStep&)>& step, bool askDesignUnits) {
  // Declared in the reverse of their cleanup: the connection closes first, then a failed change
  // is shown, then the groups and the records go, and the cursor comes back last.
  WaitCursor waitCursor(view);
  designOpen = false;
  std::int32_t rotationPoint[2] = {-1, -1};
  std::vector<std::unique_ptr<TDbxComponent>> records;
  ViewRefDesReporter reporter(view);
  TSortedComp sorted(reporter);
  ChangeTally tally(host, view);
  Connection connection(host, view, designOpen);
  std::int32_t designUnits = kUnitsUnknown;

  if (connection.Open()) {
    if (askDesignUnits) {
      designUnits = DesignUnitsOf(host);
      if (DbUnits == kUnitsUnknown) DbUnits = designUnits;
    } else if (DbUnits == kUnitsUnknown) {
      AskDesignUnits(host);
    }
    if (DbUnits == kUnitsMils) {
      view.SetUnitsLabel("mils");
    } else if (DbUnits == kUnitsMm) {
      view.SetUnitsLabel("mm");
    }
    CaptureSelection(host, records);
  }

  for (const auto& record : records) {
    sorted.AddComponent(record.get());
  }

  TSelectionStep selection{host, sorted, tally, rotationPoint,
                           askDesignUnits ? designUnits : DbUnits};
  step(selection);
}

}  // namespace kordane
