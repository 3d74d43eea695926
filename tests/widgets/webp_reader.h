#pragma once
// Whether prize pictures in WebP are read: on Linux by the system's Qt plugin; the Windows
// package has no WebP reader and refuses them, and Qt there cannot write one for a test.
namespace zv::testing {

#ifdef _WIN32
inline constexpr bool kWebPRead = false;
#else
inline constexpr bool kWebPRead = true;
#endif

}  // namespace zv::testing
