# Message catalogues are compiled at build time and put under ":/lang".
set(LANG_OUT ${CMAKE_BINARY_DIR}/lang)
file(MAKE_DIRECTORY ${LANG_OUT})

set(TS_FILES
    ${CMAKE_SOURCE_DIR}/resources/lang/Tolvane_cn.ts
    ${CMAKE_SOURCE_DIR}/resources/lang/Tolvane_en.ts)
set_source_files_properties(${TS_FILES} PROPERTIES OUTPUT_LOCATION ${LANG_OUT})
qt5_add_translation(APP_QM_FILES ${TS_FILES})

# Qt's own zh_CN catalogue only refers to its parts; merge them into one file
# so that it loads from the resources.
get_target_property(_qmake Qt5::qmake IMPORTED_LOCATION)
execute_process(COMMAND ${_qmake} -query QT_INSTALL_TRANSLATIONS
    OUTPUT_VARIABLE QT_TRANSLATIONS_DIR OUTPUT_STRIP_TRAILING_WHITESPACE)
set(QT_ZH_PARTS)
foreach(part qtbase qtscript qtmultimedia qtxmlpatterns)
    if(EXISTS ${QT_TRANSLATIONS_DIR}/${part}_zh_CN.qm)
        list(APPEND QT_ZH_PARTS ${QT_TRANSLATIONS_DIR}/${part}_zh_CN.qm)
    endif()
endforeach()
if(NOT QT_ZH_PARTS)
    message(FATAL_ERROR "Qt's Chinese translations were not found in ${QT_TRANSLATIONS_DIR}; run scripts/setup.sh")
endif()
add_custom_command(OUTPUT ${LANG_OUT}/qt_zh_CN.qm
    COMMAND Qt5::lconvert -o ${LANG_OUT}/qt_zh_CN.qm ${QT_ZH_PARTS}
    DEPENDS ${QT_ZH_PARTS}
    COMMENT "Merging Qt's Chinese catalogue")

add_custom_target(tolvane_catalogues DEPENDS ${APP_QM_FILES} ${LANG_OUT}/qt_zh_CN.qm)

configure_file(${CMAKE_SOURCE_DIR}/resources/lang/lang.qrc.in ${LANG_OUT}/lang.qrc COPYONLY)
qt5_add_resources(LANG_RESOURCE_SOURCES ${LANG_OUT}/lang.qrc)
set_source_files_properties(${LANG_RESOURCE_SOURCES} PROPERTIES SKIP_AUTOMOC ON SKIP_AUTORCC ON)

set(TOLVANE_RESOURCES
    ${CMAKE_SOURCE_DIR}/resources/tolvane.qrc
    ${LANG_RESOURCE_SOURCES}
)
