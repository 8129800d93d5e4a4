# The Windows release: trovel-<version>-win64.zip with the program, the user
# guides, the figure and the field sheet, and an example folder.
install(TARGETS trovel RUNTIME DESTINATION .)
install(FILES docs/guia-do-usuario.txt docs/user-guide.txt docs/geometry.png docs/field-sheet.pdf
        DESTINATION .)
install(FILES examples/Trovel_1p1_dados.txt examples/caso1.txt DESTINATION exemplo)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "trovel-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
