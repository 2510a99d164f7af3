# The hardening Debian asks of every package, as `dpkg-buildflags` gives it with hardening=+all: fortified libc
# calls, stack protection, stack-clash and control-flow protection, read-only relocations bound at start, and
# position-independent executables. Included for every build but the sanitizer and fuzz builds (fortified calls
# hide overflows from AddressSanitizer, which checks the same calls itself).
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)

add_compile_options(-Wformat -Werror=format-security)
foreach(flag -fstack-protector-strong -fstack-clash-protection -fcf-protection)
  string(MAKE_C_IDENTIFIER "DELVIX_HAS${flag}" supported)
  check_cxx_compiler_flag(${flag} ${supported})
  if(${supported})
    add_compile_options(${flag})
  endif()
endforeach()
# glibc fortifies only optimised code, and warns when asked to at -O0.
add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro -Wl,-z,now)

# Debian's compilers make position-independent executables unasked; CMake asks for them elsewhere (which
# compiles the static libraries as PIC, at some cost, for it).
check_cxx_source_compiles("#ifndef __PIE__\n#error not PIE\n#endif\nint main() {}" DELVIX_PIE_BY_DEFAULT)
if(NOT DELVIX_PIE_BY_DEFAULT)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()

# A program linked fully static is randomised too when the C library can start it at any address.
set(CMAKE_REQUIRED_LINK_OPTIONS -static-pie)
check_cxx_source_compiles("int main() {}" DELVIX_STATIC_PIE)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(DELVIX_STATIC_PIE)
  set(DELVIX_STATIC_LINK -static-pie)
endif()
