// A unique_ptr deleter that calls a C library's release function, for owning
// OpenSSL and other C objects: std::unique_ptr<X509, ReleaseWith<X509_free>>.
#ifndef BREVALT_PLATFORM_RELEASE_WITH_H
#define BREVALT_PLATFORM_RELEASE_WITH_H

namespace brevalt {

template <auto Release>
struct ReleaseWith {
  template <typename T>
  void operator()(T* p) const {
    Release(p);
  }
};

}  // namespace brevalt

#endif  // BREVALT_PLATFORM_RELEASE_WITH_H
