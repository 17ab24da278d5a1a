// The calling errors that both closed libraries (the container and the
// rules-file library) share, with the same codes and texts: each library's
// own table of texts starts from this one.
#ifndef BREVALT_TAVIK_CALLING_ERRORS_H
#define BREVALT_TAVIK_CALLING_ERRORS_H

namespace brevalt::tavik {

inline constexpr int kCallOk = 0;
inline constexpr int kCallInvalidArgument = 1;  // null handle or pointer, bad length
inline constexpr int kCallOutOfMemory = 2;
inline constexpr int kCallBufferTooSmall = 4;  // second call with a length below the size

// The text of a shared calling error; null for every other code.
constexpr const char* CallingErrorText(int code) {
  switch (code) {
    case kCallOk:
      return "success";
    case kCallInvalidArgument:
      return "invalid argument";
    case kCallOutOfMemory:
      return "out of memory";
    case kCallBufferTooSmall:
      return "buffer too small";
    default:
      return nullptr;
  }
}

}  // namespace brevalt::tavik

#endif  // BREVALT_TAVIK_CALLING_ERRORS_H
