#pragma once
// The largest single allocation this program makes while a watch is alive (one at a time).
// Every operator new of the graphics test program passes through allocation_watch.cpp.
#include <cstddef>

namespace orv::test {

class AllocationWatch {
 public:
  AllocationWatch();
  ~AllocationWatch();
  AllocationWatch(const AllocationWatch&) = delete;
  AllocationWatch& operator=(const AllocationWatch&) = delete;

  size_t Largest() const;
};

}  // namespace orv::test
