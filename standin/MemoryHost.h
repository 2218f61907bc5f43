// An in-memory design behind a table of plain functions, for in-process hosts such as the
// benchmark:
//   standin::Design design({standin::Item::Component("R1", 0, 0, 0), ...});
//   standin::MemoryHost bound(design);
//   kordane::DbxHost host(standin::MemoryHost::Api());
#pragma once

#include "Board.h"
#include "host/Dbx32.h"

namespace standin {

// Binds one design to the table for the binding's lifetime. The table's functions take no
// pointer of the caller's, so they reach the design through a single slot: one binding at a
// time, on one thread. Calls while nothing is bound fail with kNoConnection.
class MemoryHost {
 public:
  // Throws std::logic_error when another design is bound.
  explicit MemoryHost(Design& design);
  ~MemoryHost();
  MemoryHost(const MemoryHost&) = delete;
  MemoryHost& operator=(const MemoryHost&) = delete;

  // The table, valid while this binding exists.
  static kordane::DbxApi Api();
};

}  // namespace standin
