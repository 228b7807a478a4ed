// Records the largest single allocation made through operator new while a
// watch is alive, so that tests can tell that damaged input did not make the
// code allocate what the input does not hold (the system would otherwise
// grant such memory lazily and hide the fault).
#pragma once

#include <cstddef>

namespace qv::testing_support {

class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;
  size_t Largest() const;
};

}  // namespace qv::testing_support
