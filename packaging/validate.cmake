# The packaging_validate test: installs the build into a staging folder, then checks what a
# desktop finds there. The desktop entry and the metainfo must pass their validators, the
# entry's program and icon must be installed under the names it gives, and every PNG icon
# must have the size of the folder it is in.
# Run by ctest: cmake -DBUILD_DIR= -DSTAGE= -DAPP_ID= -DDATADIR= -DBINDIR= -DICON_SIZES=
#               -DEXPECTED_FILES= -P validate.cmake
cmake_minimum_required(VERSION 3.22)

set(failures 0)
macro(problem)
  message(SEND_ERROR ${ARGN})
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}/usr
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result})")
endif()
set(root ${STAGE}/usr)

foreach(path IN LISTS EXPECTED_FILES)
  if(NOT EXISTS ${root}/${path})
    problem("not installed: ${path}")
  endif()
endforeach()

# Validators; their hints are advice, but errors and warnings fail the test.
set(desktop ${root}/${DATADIR}/applications/${APP_ID}.desktop)
set(metainfo ${root}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml)
foreach(tool desktop-file-validate appstreamcli)
  find_program(${tool}_path ${tool})
  if(NOT ${tool}_path)
    message(FATAL_ERROR "${tool} is missing (scripts/setup.sh installs it)")
  endif()
endforeach()
execute_process(COMMAND ${desktop-file-validate_path} ${desktop}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0 OR out MATCHES "error:|warning:")
  problem("desktop-file-validate ${desktop}:\n${out}")
endif()
execute_process(COMMAND ${appstreamcli_path} validate --no-net --no-color ${metainfo}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0)
  problem("appstreamcli validate ${metainfo}:\n${out}")
endif()
# Across files: the metainfo names an installed desktop entry, and so on.
execute_process(COMMAND ${appstreamcli_path} validate-tree --no-net --no-color ${root}
                RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT result EQUAL 0)
  problem("appstreamcli validate-tree ${root}:\n${out}")
endif()

# The entry starts an installed program and shows an installed icon.
file(STRINGS ${desktop} exec REGEX "^Exec=")
string(REGEX REPLACE "^Exec=([^ ]+).*" "\\1" exec "${exec}")
if(NOT EXISTS ${root}/${BINDIR}/${exec})
  problem("the desktop entry starts '${exec}', which is not installed in ${BINDIR}")
endif()
file(STRINGS ${desktop} icon REGEX "^Icon=")
if(NOT icon STREQUAL "Icon=${APP_ID}")
  problem("the desktop entry's icon is '${icon}', not the id ${APP_ID}")
endif()

# A PNG's width and height are the big-endian 32-bit numbers at byte 16 of the file.
foreach(size IN LISTS ICON_SIZES)
  set(png ${root}/${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  if(NOT EXISTS ${png})
    problem("no ${size} px icon: ${png}")
    continue()
  endif()
  file(READ ${png} signature LIMIT 8 HEX)
  file(READ ${png} header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width)
  string(SUBSTRING "${header}" 8 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    problem("${png} is ${width}x${height}, not a ${size}x${size} PNG")
  endif()
endforeach()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} packaging problem(s)")
endif()
message(STATUS "packaging: installed files, desktop entry, metainfo and icons are valid")
