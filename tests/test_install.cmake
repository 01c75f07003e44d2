# Installs into a fresh prefix, then starts the program and a probe from
# another directory: the program must find its picture and samples there,
# in its own data folder and nowhere else, say what is missing, and keep
# working when they are broken.
#   cmake -DBUILD_DIR=... -DPROBE=... -DWORK=... -P test_install.cmake

# Fails the test with `why` unless the condition (the rest) holds.
function(expect why)
    if(NOT (${ARGN}))
        message(FATAL_ERROR "${why}")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/elsewhere")
set(prefix "${WORK}/prefix")
# Stripped, as a distribution ships it: what remains is what the program uses.
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}" --strip
                RESULT_VARIABLE rc OUTPUT_QUIET)
expect("install failed: ${rc}" rc EQUAL 0)
set(id io.github.chordmoss.chordmoss)
foreach(f bin/chordmoss libexec/chordmoss-draw share/chordmoss/guitar.jpg share/chordmoss/guitar@2x.jpg share/chordmoss/samples/E6.mp3
          share/chordmoss/samples/Gb-1.mp3 share/applications/${id}.desktop share/metainfo/${id}.metainfo.xml
          share/icons/hicolor/16x16/apps/${id}.png share/icons/hicolor/256x256/apps/${id}.png
          share/icons/hicolor/scalable/apps/${id}.svg share/doc/chordmoss/LICENSE)
    expect("not installed: ${f}" EXISTS "${prefix}/${f}")
endforeach()
file(GLOB samples "${prefix}/share/chordmoss/samples/*.mp3")
list(LENGTH samples count)
expect("${count} samples installed" count EQUAL 39)

# No path of the build or source tree is compiled into what is installed
# (a sanitizer build keeps them for its reports).
get_filename_component(source "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
foreach(bin bin/chordmoss libexec/chordmoss-gui)
    if(SANITIZED)
        break()
    endif()
    file(STRINGS "${prefix}/${bin}" lines)
    foreach(tree "${source}" "${BUILD_DIR}")
        string(FIND "${lines}" "${tree}" at)
        expect("${bin} names ${tree}" at EQUAL -1)
    endforeach()
endforeach()

# The desktop entry and the metainfo pass their validators without a word
# (pedantic, and offline: no URL is fetched).
foreach(check "desktop-file-validate;${prefix}/share/applications/${id}.desktop"
              "appstreamcli;validate;--pedantic;--no-net;${prefix}/share/metainfo/${id}.metainfo.xml")
    execute_process(COMMAND ${check} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(STRIP "${out}${err}" said)
    expect("${check}: ${rc} ${said}" rc EQUAL 0 AND (NOT said OR said MATCHES "^[^\n]*Validation was successful\\.$"))
endforeach()

# The installed program starts and keeps running until it is sent SIGTERM
# after 3 s, which ends it (it would be killed 10 s later if it did not).
string(TIMESTAMP started "%s")
execute_process(COMMAND timeout -k 10 3 "${prefix}/bin/chordmoss" WORKING_DIRECTORY "${WORK}/elsewhere"
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
string(TIMESTAMP ended "%s")
math(EXPR took "${ended} - ${started}")
expect("the installed program ended early: ${rc}" rc EQUAL 124)
expect("the installed program ignored SIGTERM" took LESS_EQUAL 8)

# A probe in the installed layout reports what the program finds, and what
# it says on standard error.
file(COPY "${PROBE}" DESTINATION "${prefix}/bin")
get_filename_component(probe "${PROBE}" NAME)
function(run_probe)
    execute_process(COMMAND "${prefix}/bin/${probe}" WORKING_DIRECTORY "${WORK}/elsewhere"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    expect("the probe failed: ${rc} ${out}" rc EQUAL 0)
    string(REGEX MATCHALL "chordmoss: [^\n]*" said "${err}")
    set(out "${out}" PARENT_SCOPE)
    set(said "${said}" PARENT_SCOPE)
endfunction()
set(data "${prefix}/share/chordmoss")

run_probe()
expect("the picture was not found: ${out}" out MATCHES "picture=1")
expect("the low E string plays: ${out}" out MATCHES "sample=${data}/samples/E6.mp3\n")
expect("a complete install warned: ${said}" NOT said)

# Samples: the working directory first, then the program's own folder only;
# without it, silence, said once, and the picture still shown.
file(COPY "${data}/samples/E6.mp3" DESTINATION "${WORK}/elsewhere")
run_probe()
expect("not from the working directory: ${out}" out MATCHES "sample=E6.mp3\n")
file(REMOVE "${WORK}/elsewhere/E6.mp3")
file(RENAME "${data}/samples" "${data}/hidden")
run_probe()
expect("without its samples: ${out}" out MATCHES "picture=1" AND out MATCHES "sample=${data}/samples/E6.mp3\n")
expect("missing samples not said: ${said}" said MATCHES "^chordmoss: 39 of 39 samples missing \\(E6.mp3, ...\\) in ${data}/samples/;")
file(RENAME "${data}/hidden" "${data}/samples")

# A corrupt picture leaves the picture area blank and the neck still clicks;
# an empty sample file is silence. A missing picture is said.
file(WRITE "${data}/guitar.jpg" "not a picture")
file(WRITE "${data}/guitar@2x.jpg" "not a picture")
file(WRITE "${data}/samples/E6.mp3" "")
run_probe()
expect("with broken files: ${out}" out MATCHES "picture=0" AND out MATCHES "position=5\n" AND out MATCHES "state=1")
file(REMOVE "${data}/guitar.jpg" "${data}/guitar@2x.jpg")
run_probe()
expect("with no picture: ${out}" out MATCHES "picture=0" AND out MATCHES "position=5\n")
expect("the missing picture not said: ${said}" said STREQUAL "chordmoss: no guitar picture (guitar.jpg or guitar@2x.jpg) in ${data}/")

# The installed command line from another directory, and its manual page.
foreach(run "--version|^chordmoss [0-9]+\\.[0-9]+\\.[0-9]+\n$" "chord;A;7th;5|fingering  575655\n"
            "find;C;E;G|^A  Min7          002010\n" "name;x02010;-f;png;-o;g.png|^$")
    string(REPLACE "|" ";" run "${run}")
    list(POP_BACK run expected)
    execute_process(COMMAND "${prefix}/bin/chordmoss" ${run} WORKING_DIRECTORY "${WORK}/elsewhere"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    expect("chordmoss ${run}: ${rc} ${err} ${out}" rc EQUAL 0 AND NOT err AND out MATCHES "${expected}")
endforeach()
expect("the manual page is not installed" EXISTS "${prefix}/share/man/man1/chordmoss.1")

# An installation path is bytes, not necessarily UTF-8: byte 0xFF in the
# prefix must not cost the picture or the icon.
string(ASCII 255 byte)
set(prefix "${WORK}/pre${byte}fix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(COPY "${PROBE}" DESTINATION "${prefix}/bin")
run_probe()
expect("installed under a non-UTF-8 path (${rc}): ${out}"
       rc EQUAL 0 AND out MATCHES "picture=1" AND out MATCHES "icon=1" AND out MATCHES "state=3")
file(REMOVE_RECURSE "${WORK}")
