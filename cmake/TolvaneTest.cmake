# tolvane_add_test(<source>): one Qt Test executable per tst_*.cpp, registered
# with CTest under the offscreen platform and with a private settings home.
function(tolvane_add_test source)
    get_filename_component(name ${source} NAME_WE)
    get_filename_component(dir ${source} DIRECTORY)
    get_filename_component(module ${dir} NAME)
    set(target ${module}_${name})
    add_executable(${target} ${source})
    target_link_libraries(${target} PRIVATE tolvane_core tolvane_testsupport Qt5::Test)
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/sdk/include)
    add_dependencies(${target} hci_sys hci_asr_recorder hci_tts_player)
    add_test(NAME ${module}/${name} COMMAND ${target})
    set(home ${CMAKE_BINARY_DIR}/test-home/${target})
    set_tests_properties(${module}/${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;HOME=${home};TOLVANE_TEST=1;TOLVANE_SDK_AUDIO=none;TOLVANE_SDK_PLAYBACK_SCALE=0.05"
        TIMEOUT 300)
endfunction()
