# Cross build for the unit: 32-bit ARM (armhf) Debian 12, with Debian's cross
# compiler and the armhf libraries laid out by scripts/armhf-sysroot.sh.
# The code generators (moc, rcc, uic) are the host's amd64 ones: they emit
# the same code for every target of the same Qt version.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

if(NOT TAVRIK_ARMHF_SYSROOT)
  if(DEFINED ENV{TAVRIK_ARMHF_SYSROOT})
    set(TAVRIK_ARMHF_SYSROOT "$ENV{TAVRIK_ARMHF_SYSROOT}")
  else()
    get_filename_component(TAVRIK_ARMHF_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build/armhf-sysroot" ABSOLUTE)
  endif()
endif()
# try_compile projects re-read this file and need the same sysroot.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TAVRIK_ARMHF_SYSROOT)
set(CMAKE_SYSROOT "${TAVRIK_ARMHF_SYSROOT}")

# GCC's note that passing some structures changed in GCC 7.1 concerns code
# linked with objects from older compilers; everything on Debian 12 is newer.
set(CMAKE_CXX_FLAGS_INIT "-Wno-psabi")

set(CMAKE_FIND_ROOT_PATH "${TAVRIK_ARMHF_SYSROOT}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the armhf programs through qemu; -L makes the sysroot the
# root for the dynamic loader and every absolute path the program opens
# that exists there (libraries, Qt plug-ins), and the host's otherwise.
find_program(TAVRIK_QEMU_ARM NAMES qemu-arm-static qemu-arm)
if(TAVRIK_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TAVRIK_QEMU_ARM};-L;${TAVRIK_ARMHF_SYSROOT}")
endif()

# Qt's package files would take the armhf moc from the sysroot; defining the
# tool targets first makes them use the host's.
set(CMAKE_PROJECT_INCLUDE "${CMAKE_CURRENT_LIST_DIR}/armhf-hosttools.cmake")
