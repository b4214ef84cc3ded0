#pragma once
// COM for the user-interface thread, apartment-threaded as WIC's decoders expect; uninitialised
// when the entry point leaves.
#include <objbase.h>

namespace platform::win32 {

class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }

 private:
  bool initialised_;
};

}  // namespace platform::win32
