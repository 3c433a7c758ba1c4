# Included right after project() in the armhf cross build (see
# armhf-toolchain.cmake): Qt's code generators from the host.
foreach(tool moc rcc uic qmake)
  if(NOT TARGET Qt5::${tool})
    find_program(TAVRIK_HOST_${tool} NAMES ${tool}
      PATHS /usr/lib/qt5/bin /usr/lib/x86_64-linux-gnu/qt5/bin NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(TAVRIK_HOST_${tool})
      add_executable(Qt5::${tool} IMPORTED)
      set_target_properties(Qt5::${tool} PROPERTIES IMPORTED_LOCATION "${TAVRIK_HOST_${tool}}")
    endif()
  endif()
endforeach()
