# Small helpers shared by the folder CMakeLists files.

# zintar_library(<target> [SOURCES a.cpp ...] [GLOB] [EXCLUDE x.cpp ...] [DEPS lib ...])
# A static library of the listed sources, or with GLOB of every .cpp in the current
# folder (less EXCLUDE). Headers are included as "folder/Name.h" from src/.
function(zintar_library target)
    cmake_parse_arguments(ARG "GLOB" "" "SOURCES;EXCLUDE;DEPS" ${ARGN})
    set(sources ${ARG_SOURCES})
    if(ARG_GLOB)
        file(GLOB found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
        foreach(f IN LISTS found)
            get_filename_component(n ${f} NAME)
            if(NOT n IN_LIST ARG_EXCLUDE)
                list(APPEND sources ${f})
            endif()
        endforeach()
    endif()
    set(existing)
    foreach(f IN LISTS sources)
        if(NOT IS_ABSOLUTE ${f})
            set(f ${CMAKE_CURRENT_SOURCE_DIR}/${f})
        endif()
        if(EXISTS ${f})
            list(APPEND existing ${f})
        endif()
    endforeach()
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${target} STATIC ${existing} ${headers})
    set_target_properties(${target} PROPERTIES LINKER_LANGUAGE CXX)
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
endfunction()

# zintar_tests([LIBS lib ...]) : one QtTest executable per tst_*.cpp in the folder,
# each registered with CTest under <folder>/<name>. Widget tests run offscreen and every
# test gets a private XDG_DATA_HOME so nothing touches the user's real settings.
function(zintar_tests)
    cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(src IN LISTS tests)
        get_filename_component(name ${src} NAME_WE)
        set(exe ${folder}_${name})
        add_executable(${exe} ${src})
        target_link_libraries(${exe} PRIVATE ${ARG_LIBS} zintar_testsupport Qt6::Test)
        add_dependencies(${exe} zintar_data)
        add_test(NAME ${folder}/${name} COMMAND ${exe})
        set_tests_properties(${folder}/${name} PROPERTIES
            LABELS unit
            TIMEOUT 120
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/testtmp/${exe};XDG_RUNTIME_DIR=${CMAKE_BINARY_DIR}/testtmp/runtime;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
    endforeach()
endfunction()

# zintar_e2e_tests() : every *.sh in the folder is a test of the real program under Xvfb.
function(zintar_e2e_tests)
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.sh)
    foreach(src IN LISTS tests)
        get_filename_component(name ${src} NAME_WE)
        add_test(NAME e2e/${name}
                 COMMAND bash ${src} ${ZINTAR_BIN_DIR})
        set_tests_properties(e2e/${name} PROPERTIES LABELS e2e TIMEOUT 150 RUN_SERIAL TRUE)
    endforeach()
endfunction()
