# Checks velunka-sfx (SFX, of version VERSION) on the committed sound definitions
# (ASSETS), writing into OUT.
file(MAKE_DIRECTORY ${OUT})

execute_process(COMMAND ${SFX} info ${ASSETS}/pop01.wkt RESULT_VARIABLE result
                OUTPUT_VARIABLE info)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "info failed: ${result}")
endif()
foreach(line "length: 10000" "filtertype: 5"
        "pitch: 0:0.998; 9874:0.88889 (vib_amount 0.056, vib_speed -1.2599998)"
        "vol: 0:1.3099996; 187:0.98999995; 1093:0.12238113 (curve_in 3.0499997, curve_out -0.24999997); 9937:0")
  string(FIND "${info}" "${line}\n" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "info lacks \"${line}\":\n${info}")
  endif()
endforeach()

file(REMOVE ${OUT}/laser02.wav)
execute_process(COMMAND ${SFX} render ${ASSETS}/laser02.wkt ${OUT}/laser02.wav
                RESULT_VARIABLE result)
file(SIZE ${OUT}/laser02.wav size)
# 44 bytes of header, then 41340 frames of 2 bytes.
if(NOT result EQUAL 0 OR NOT size EQUAL 82724)
  message(FATAL_ERROR "render gave ${result} and ${size} bytes")
endif()
file(READ ${OUT}/laser02.wav header LIMIT 44 HEX)
# RIFF, WAVE, PCM, one channel, 44100 (0xAC44) frames and 88200 bytes a second, 2-byte
# frames of 16 bits, then 82680 (0x142F8) bytes of data.
if(NOT header MATCHES "^52494646........57415645666d7420100000000100010044ac0000885801000200100064617461f8420100$")
  message(FATAL_ERROR "unexpected WAV header ${header}")
endif()

file(WRITE ${OUT}/broken.wkt "welkator version \tsnd")
foreach(arguments "info;${OUT}/broken.wkt" "render;${OUT}/broken.wkt;${OUT}/broken.wav"
        "info;${OUT}/missing.wkt" "frobnicate")
  execute_process(COMMAND ${SFX} ${arguments} RESULT_VARIABLE result ERROR_VARIABLE error
                  OUTPUT_QUIET)
  if(result EQUAL 0 OR error STREQUAL "")
    message(FATAL_ERROR "${arguments}: exit ${result}, message \"${error}\"")
  endif()
endforeach()

execute_process(COMMAND ${SFX} --version RESULT_VARIABLE result OUTPUT_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said STREQUAL "velunka-sfx ${VERSION}\n")
  message(FATAL_ERROR "--version gave ${result} and \"${said}\"")
endif()
execute_process(COMMAND ${SFX} --help RESULT_VARIABLE result OUTPUT_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said MATCHES "play IN.wkt" OR NOT said MATCHES "Exit status")
  message(FATAL_ERROR "--help gave ${result} and \"${said}\"")
endif()

# Playing needs an audio output: the mixer's device-less "null" output stands in for a
# sound card, and a list of outputs that names none it knows leaves it with no output.
execute_process(COMMAND ${CMAKE_COMMAND} -E env ALSOFT_DRIVERS=null ${SFX} play ${ASSETS}/pop01.wkt
                RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT error STREQUAL "")
  message(FATAL_ERROR "play on an output gave ${result} and \"${error}\"")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env ALSOFT_DRIVERS=no-such-output
                ${SFX} play ${ASSETS}/pop01.wkt RESULT_VARIABLE result ERROR_VARIABLE error)
if(NOT result EQUAL 1 OR NOT error MATCHES "^velunka-sfx: no audio output[^\n]*\n$")
  message(FATAL_ERROR "play without an output gave ${result} and \"${error}\"")
endif()
