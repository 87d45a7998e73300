# The packages people install, made by the `package` target from the built programs:
# Windows: Varenko-<version>-win64.zip (the two programs, README.txt, LICENSE.txt) and
#          Varenko-<version>-setup.exe (NSIS, 64-bit);
# Linux:   varenko_<version>_amd64.deb (made by tools/make_deb.sh).
set(VARENKO_PACKAGE_DIR ${PROJECT_BINARY_DIR}/packages)

if(WIN32)
  # The guide and the licence lie beside the programs in the build tree too, so the settings
  # dialog's guide button finds them there as it does in the zip.
  configure_file(${PROJECT_SOURCE_DIR}/resources/windows/README.txt.in
                 ${PROJECT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/LICENSE.txt @ONLY
                 NEWLINE_STYLE CRLF)

  find_program(VARENKO_MAKENSIS makensis)
  find_program(VARENKO_STRIP NAMES ${TOOLCHAIN_PREFIX}-strip x86_64-w64-mingw32-strip REQUIRED)
  set(stage ${VARENKO_PACKAGE_DIR}/stage)
  set(zip ${VARENKO_PACKAGE_DIR}/Varenko-${PROJECT_VERSION}-win64.zip)
  set(setup ${VARENKO_PACKAGE_DIR}/Varenko-${PROJECT_VERSION}-setup.exe)
  set(files Varenko.scr Varenko.dll README.txt LICENSE.txt)

  # The programs go out without their symbols, which are a third of their size.
  add_custom_command(
    OUTPUT ${stage}/Varenko.scr ${stage}/Varenko.dll ${stage}/README.txt ${stage}/LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
    COMMAND ${VARENKO_STRIP} -o ${stage}/Varenko.scr $<TARGET_FILE:varenko_scr>
    COMMAND ${VARENKO_STRIP} -o ${stage}/Varenko.dll $<TARGET_FILE:varenko_dll>
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_BINARY_DIR}/README.txt
            ${PROJECT_BINARY_DIR}/LICENSE.txt ${stage}
    DEPENDS varenko_scr varenko_dll ${PROJECT_BINARY_DIR}/README.txt
            ${PROJECT_BINARY_DIR}/LICENSE.txt
    COMMENT "Staging the Windows programs"
    VERBATIM)
  add_custom_command(
    OUTPUT ${zip}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${zip}
    COMMAND ${CMAKE_COMMAND} -E tar cf ${zip} --format=zip ${files}
    WORKING_DIRECTORY ${stage}
    DEPENDS ${stage}/Varenko.scr ${stage}/Varenko.dll ${stage}/README.txt ${stage}/LICENSE.txt
    COMMENT "Zip ${zip}"
    VERBATIM)
  set(outputs ${zip})
  if(VARENKO_MAKENSIS)
    set(nsi ${PROJECT_SOURCE_DIR}/resources/windows/setup.nsi)
    add_custom_command(
      OUTPUT ${setup}
      COMMAND ${VARENKO_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${stage}
              -DOUTFILE=${setup}
              "-DCOPYRIGHT=Copyright (C) ${VARENKO_COPYRIGHT_YEAR} the Varenko developers" ${nsi}
      DEPENDS ${nsi} ${PROJECT_SOURCE_DIR}/resources/windows/setup_strings.nsh
              ${stage}/Varenko.scr ${stage}/Varenko.dll ${stage}/README.txt ${stage}/LICENSE.txt
      COMMENT "Installer ${setup}"
      VERBATIM)
    list(APPEND outputs ${setup})
  else()
    message(WARNING "makensis not found (Debian package nsis): `package` makes the zip only")
  endif()
  add_custom_target(package DEPENDS ${outputs})
else()
  set(deb ${VARENKO_PACKAGE_DIR}/varenko_${PROJECT_VERSION}_amd64.deb)
  add_custom_target(
    package
    COMMAND ${PROJECT_SOURCE_DIR}/tools/make_deb.sh ${PROJECT_BINARY_DIR} ${PROJECT_VERSION}
            ${VARENKO_COPYRIGHT_YEAR} ${deb}
    DEPENDS varenko
    COMMENT "Debian package ${deb}"
    VERBATIM)
endif()
