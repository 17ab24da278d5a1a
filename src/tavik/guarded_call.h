// The C boundary of our libraries: no C++ exception may cross it.
#ifndef BREVALT_TAVIK_GUARDED_CALL_H
#define BREVALT_TAVIK_GUARDED_CALL_H

#include <new>

namespace brevalt {

// Runs `body` (which returns the C function's result), turning an allocation
// failure into out_of_memory and any other exception into other_failure.
template <typename Body>
int GuardedCall(int out_of_memory, int other_failure, Body&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return out_of_memory;
  } catch (...) {
    return other_failure;
  }
}

}  // namespace brevalt

#endif  // BREVALT_TAVIK_GUARDED_CALL_H
