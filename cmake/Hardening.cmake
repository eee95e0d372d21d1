# The hardening Debian expects of the programs it ships (what lintian checks in the package):
# position-independent executables, a stack protector, fortified libc calls, and a relocation table
# made read-only after start-up (relro with bindnow). orvane_harden(TARGET) applies it to one target;
# the programs and the libraries compiled into them take it.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)

# _FORTIFY_SOURCE needs optimisation (glibc warns without it, and warnings are errors here), and it
# hides calls from the sanitizers' interceptors, so the Debug and sanitizer builds go without it. Any
# level the compiler or the caller's flags already define is replaced by ours.
set(ORVANE_FORTIFY ON)
if(ORVANE_SANITIZE OR ORVANE_TSAN)
  set(ORVANE_FORTIFY OFF)
endif()

function(orvane_harden target)
  set_target_properties(${target} PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_compile_options(${target} PRIVATE -fstack-protector-strong)
  if(ORVANE_FORTIFY)
    target_compile_options(${target} PRIVATE
      $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_link_options(${target} PRIVATE -Wl,-z,relro -Wl,-z,now)
  endif()
endfunction()
