# Installs the build into PREFIX and checks what a desktop needs: the program folder with the
# programs and the default Windows installation, bin links that resolve into it, the desktop entry,
# metainfo, MIME types, icons and man pages; the demo catalogue when the build has one; no user file.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<empty folder> -P InstallLayout.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${status}): ${errors}")
endif()

set(programs glyphary glyphary-icons glyphary-catalogue glyphary-change)
set(expected
  lib/glyphary/Windows/installation.stamp
  lib/glyphary/glyphary.installed
  share/applications/org.glyphary.Glyphary.desktop
  share/metainfo/org.glyphary.Glyphary.metainfo.xml
  share/mime/packages/glyphary.xml
  share/icons/hicolor/scalable/apps/glyphary.svg)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/glyphary.png)
endforeach()
if(EXISTS ${BUILD_DIR}/bin/Icondata.dat)
  list(APPEND expected lib/glyphary/Icondata.dat lib/glyphary/Iconlib.res)
endif()
set(problems "")
foreach(program IN LISTS programs)
  list(APPEND expected share/man/man1/${program}.1)
  set(link ${PREFIX}/bin/${program})
  file(REAL_PATH ${link} target)
  file(REAL_PATH ${PREFIX}/lib/glyphary/${program} program_file)
  if(NOT IS_SYMLINK ${link} OR NOT target STREQUAL program_file OR IS_DIRECTORY ${target} OR NOT EXISTS ${target})
    list(APPEND problems "bin/${program} does not lead to lib/glyphary/${program}")
  endif()
endforeach()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${PREFIX}/${file})
    list(APPEND problems "${file} is missing")
  endif()
endforeach()
# An installed tool runs through its link.
execute_process(COMMAND ${PREFIX}/bin/glyphary-icons --help RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
  list(APPEND problems "bin/glyphary-icons --help exits with ${status}")
endif()
foreach(user_file Keyuser.dat Iconuser.dat Keyuser.bak Iconuser.bak Favorites)
  if(EXISTS ${PREFIX}/lib/glyphary/${user_file})
    list(APPEND problems "the user file ${user_file} was installed")
  endif()
endforeach()
file(REMOVE_RECURSE ${PREFIX})
if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Install layout:\n  ${text}")
endif()
message(STATUS "Install layout: every file in place")
