# Installs into a fresh prefix, then starts the program and a probe from
# another directory: the program must find its picture and samples there.
#   cmake -DBUILD_DIR=... -DPROBE=... -DWORK=... -P test_install.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/elsewhere")
set(prefix "${WORK}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
foreach(f bin/chordmoss share/chordmoss/guitar.jpg share/chordmoss/samples/E6.mp3 share/chordmoss/samples/Gb-1.mp3
          share/applications/chordmoss.desktop share/metainfo/chordmoss.metainfo.xml
          share/icons/hicolor/16x16/apps/chordmoss.png share/icons/hicolor/256x256/apps/chordmoss.png
          share/icons/hicolor/scalable/apps/chordmoss.svg)
    if(NOT EXISTS "${prefix}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
file(GLOB samples "${prefix}/share/chordmoss/samples/*.mp3")
list(LENGTH samples count)
if(NOT count EQUAL 39)
    message(FATAL_ERROR "${count} samples installed")
endif()

# The installed program starts and keeps running until it is sent SIGTERM
# after 3 s, which ends it (it would be killed 10 s later if it did not).
string(TIMESTAMP started "%s")
execute_process(COMMAND timeout -k 10 3 "${prefix}/bin/chordmoss" WORKING_DIRECTORY "${WORK}/elsewhere"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
string(TIMESTAMP ended "%s")
math(EXPR took "${ended} - ${started}")
if(NOT rc EQUAL 124)
    message(FATAL_ERROR "the installed program ended early: ${rc}")
endif()
if(took GREATER 8)
    message(FATAL_ERROR "the installed program ignored SIGTERM")
endif()

file(COPY "${PROBE}" DESTINATION "${prefix}/bin")
get_filename_component(probe "${PROBE}" NAME)
execute_process(COMMAND "${prefix}/bin/${probe}" WORKING_DIRECTORY "${WORK}/elsewhere"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_QUIET)
if(rc OR NOT out MATCHES "picture=1")
    message(FATAL_ERROR "the picture was not found: ${out}")
endif()
string(REGEX MATCH "sample=([^\n]*)" _ "${out}")
set(sample "${CMAKE_MATCH_1}")
if(NOT sample STREQUAL "${prefix}/share/chordmoss/samples/E6.mp3" OR NOT EXISTS "${sample}")
    message(FATAL_ERROR "the low E string plays '${sample}'")
endif()
file(REMOVE_RECURSE "${WORK}")
