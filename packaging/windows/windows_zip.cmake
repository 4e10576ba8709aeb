# The Windows download: lentaro-<version>-win32.zip (win64 for the x86_64 build), one folder with
# lentaro.exe, LICENSE.txt and README.txt. The texts get CRLF line ends, which every Windows editor
# shows as lines.
set(readme ${CMAKE_CURRENT_BINARY_DIR}/README.txt)
set(license ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/windows/README.txt ${readme} @ONLY NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${license} @ONLY NEWLINE_STYLE CRLF)
install(FILES ${readme} ${license} DESTINATION .)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(windows_flavour win64)
else()
  set(windows_flavour win32)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME lentaro)
set(CPACK_PACKAGE_VENDOR "Lentaro")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME lentaro-${PROJECT_VERSION}-${windows_flavour})
set(CPACK_STRIP_FILES ON)
include(CPack)
