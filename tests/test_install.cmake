# Installs into a fresh prefix, then starts the program and a probe from
# another directory: the program must find its picture and samples there,
# and keep working when they are broken.
#   cmake -DBUILD_DIR=... -DPROBE=... -DWORK=... -P test_install.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/elsewhere")
set(prefix "${WORK}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
    message(FATAL_ERROR "install failed: ${rc}")
endif()
set(id io.github.chordmoss.chordmoss)
foreach(f bin/chordmoss libexec/chordmoss-draw share/chordmoss/guitar.jpg share/chordmoss/guitar@2x.jpg share/chordmoss/samples/E6.mp3
          share/chordmoss/samples/Gb-1.mp3 share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
          share/icons/hicolor/16x16/apps/${id}.png share/icons/hicolor/256x256/apps/${id}.png
          share/icons/hicolor/scalable/apps/${id}.svg share/doc/chordmoss/LICENSE)
    if(NOT EXISTS "${prefix}/${f}")
        message(FATAL_ERROR "not installed: ${f}")
    endif()
endforeach()
file(GLOB samples "${prefix}/share/chordmoss/samples/*.mp3")
list(LENGTH samples count)
if(NOT count EQUAL 39)
    message(FATAL_ERROR "${count} samples installed")
endif()

# The desktop entry and the metainfo pass their validators without a word
# (pedantic, and offline: no URL is fetched).
foreach(check "desktop-file-validate;${prefix}/share/applications/${id}.desktop"
              "appstreamcli;validate;--pedantic;--no-net;${prefix}/share/metainfo/${id}.metainfo.xml")
    execute_process(COMMAND ${check} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(STRIP "${out}${err}" said)
    if(rc OR (said AND NOT said MATCHES "^[^\n]*Validation was successful\\.$"))
        message(FATAL_ERROR "${check}: ${rc} ${said}")
    endif()
endforeach()

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

# A probe in the installed layout reports what the program finds.
file(COPY "${PROBE}" DESTINATION "${prefix}/bin")
get_filename_component(probe "${PROBE}" NAME)
function(run_probe)
    execute_process(COMMAND "${prefix}/bin/${probe}" WORKING_DIRECTORY "${WORK}/elsewhere"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_QUIET)
    if(rc)
        message(FATAL_ERROR "the probe failed: ${rc} ${out}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

run_probe()
if(NOT out MATCHES "picture=1")
    message(FATAL_ERROR "the picture was not found: ${out}")
endif()
string(REGEX MATCH "sample=([^\n]*)" _ "${out}")
if(NOT CMAKE_MATCH_1 STREQUAL "${prefix}/share/chordmoss/samples/E6.mp3")
    message(FATAL_ERROR "the low E string plays '${CMAKE_MATCH_1}'")
endif()

# A corrupt picture leaves the picture area blank and the neck still clicks;
# an empty sample file is silence. So is a missing picture.
file(WRITE "${prefix}/share/chordmoss/guitar.jpg" "not a picture")
file(WRITE "${prefix}/share/chordmoss/samples/E6.mp3" "")
run_probe()
if(NOT out MATCHES "picture=0" OR NOT out MATCHES "position=5\n" OR NOT out MATCHES "state=1")
    message(FATAL_ERROR "with broken files: ${out}")
endif()
file(REMOVE "${prefix}/share/chordmoss/guitar.jpg")
run_probe()
if(NOT out MATCHES "picture=0" OR NOT out MATCHES "position=5\n")
    message(FATAL_ERROR "with no picture: ${out}")
endif()

# The installed command line from another directory, and its manual page.
foreach(run "--version|^chordmoss [0-9]+\\.[0-9]+\\.[0-9]+\n$" "chord;A;7th;5|fingering  575655\n"
            "find;C;E;G|^A  Min7          002010\n" "name;x02010;-f;png;-o;g.png|^$")
    string(REPLACE "|" ";" run "${run}")
    list(POP_BACK run expected)
    execute_process(COMMAND "${prefix}/bin/chordmoss" ${run} WORKING_DIRECTORY "${WORK}/elsewhere"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc OR NOT err STREQUAL "" OR NOT out MATCHES "${expected}")
        message(FATAL_ERROR "chordmoss ${run}: ${rc} ${err} ${out}")
    endif()
endforeach()
if(NOT EXISTS "${prefix}/share/man/man1/chordmoss.1")
    message(FATAL_ERROR "the manual page is not installed")
endif()

# An installation path is bytes, not necessarily UTF-8: byte 0xFF in the
# prefix must not cost the picture or the icon.
string(ASCII 255 byte)
set(prefix "${WORK}/pre${byte}fix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(COPY "${PROBE}" DESTINATION "${prefix}/bin")
run_probe()
if(rc OR NOT out MATCHES "picture=1" OR NOT out MATCHES "icon=1" OR NOT out MATCHES "state=3")
    message(FATAL_ERROR "installed under a non-UTF-8 path (${rc}): ${out}")
endif()
file(REMOVE_RECURSE "${WORK}")
