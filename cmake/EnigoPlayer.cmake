# The player: its Win32 code as a library (shared by every quiz .exe and the Windows tests),
# add_player_exe(), which links it into an executable, and add_quiz(), which compiles a quiz
# folder and links it into its own executable.

add_library(enigo_player STATIC
  src/base/app.cpp
  src/base/message_box.cpp
  src/quiz/quiz_state_win.cpp
  src/app/main_window.cpp
  src/app/startup.cpp
  src/quiz/quiz_loader.cpp
  src/app/progress.cpp
  src/base/shell_open.cpp
  src/base/edit_font.cpp
  src/board/board.cpp
  src/board/board_controls.cpp
  src/board/board_scroll.cpp
  src/board/answer_box.cpp
  src/board/relayout.cpp
  src/judging/header.cpp
  src/judging/judge.cpp
  src/judging/score.cpp
  src/pictures/picture.cpp
  src/pictures/png_picture.cpp
  src/media/media.cpp)
target_include_directories(enigo_player PUBLIC src resources)
target_link_libraries(enigo_player PUBLIC enigo_portable user32 gdi32 kernel32 shell32 ole32 oleaut32 uuid)
target_compile_definitions(enigo_player PUBLIC NOMINMAX WIN32_LEAN_AND_MEAN)

if(MINGW)
  # Small, self-contained executables: static C++ runtime, no unused sections,
  # nothing but system DLLs imported.
  foreach(target enigo_portable enigo_player)
    target_compile_options(${target} PRIVATE $<$<CONFIG:MinSizeRel,Release>:-ffunction-sections -fdata-sections>)
  endforeach()
  set(ENIGO_EXE_LINK_OPTIONS -static -Wl,--gc-sections $<$<CONFIG:MinSizeRel,Release>:-s>)
endif()

# add_player_exe(NAME OUTPUT_DIR RESOURCE_SCRIPT [MAIN SOURCE]): the player and a resource script
# linked into NAME.exe in OUTPUT_DIR; a Windows program entered through the player's own WinMain,
# or with MAIN a console program entered through that source's main().
function(add_player_exe name output_dir resource_script)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "MAIN" "")
  if(arg_MAIN)
    add_executable(${name} ${arg_MAIN} ${resource_script})
  else()
    add_executable(${name} WIN32 ${PROJECT_SOURCE_DIR}/src/app/main.cpp ${resource_script})
  endif()
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/resources)
  target_link_libraries(${name} PRIVATE enigo_player)
  target_link_options(${name} PRIVATE ${ENIGO_EXE_LINK_OPTIONS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${output_dir})
endfunction()

# add_quiz(NAME DIR): DIR holds quiz.txt and its media; builds NAME.exe.
function(add_quiz name dir)
  set(out ${CMAKE_BINARY_DIR}/quizzes/${name})
  file(GLOB inputs CONFIGURE_DEPENDS ${dir}/*)
  add_custom_command(
    OUTPUT ${out}/quiz.rc ${out}/quiz104.bin ${out}/quiz105.bin
    COMMAND quizc ${dir}/quiz.txt ${out}
    DEPENDS ${inputs} quizc
    COMMENT "Compiling quiz ${name}"
    VERBATIM)
  # One resource script per quiz: the player's own resources and the quiz's.
  file(WRITE ${out}/quiz_all.rc.in "#include \"enigo.rc\"\n#include \"quiz.rc\"\n")
  configure_file(${out}/quiz_all.rc.in ${out}/quiz_all.rc COPYONLY)
  set_source_files_properties(${out}/quiz_all.rc PROPERTIES
    OBJECT_DEPENDS "${out}/quiz.rc;${out}/quiz104.bin;${out}/quiz105.bin;${PROJECT_SOURCE_DIR}/resources/enigo.rc")
  add_player_exe(${name} ${CMAKE_BINARY_DIR}/bin ${out}/quiz_all.rc)
  target_include_directories(${name} BEFORE PRIVATE ${out})
endfunction()

add_quiz(enigo-images ${PROJECT_SOURCE_DIR}/quizzes/images)
add_quiz(enigo-texte ${PROJECT_SOURCE_DIR}/quizzes/texte)
add_quiz(enigo-png ${PROJECT_SOURCE_DIR}/quizzes/png)
add_quiz(enigo-sons ${PROJECT_SOURCE_DIR}/quizzes/sons)
add_quiz(enigo-videos ${PROJECT_SOURCE_DIR}/quizzes/videos)

# Start-up benchmark (not a test): -DENIGO_BENCH=ON generates its quizzes with ImageMagick at
# configure time; run it with the target run-startup-bench.
option(ENIGO_BENCH "Build the start-up benchmark quizzes" OFF)
if(ENIGO_BENCH)
  set(bench_quizzes ${CMAKE_BINARY_DIR}/bench-quizzes)
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/tools/make_bench_quiz.sh ${bench_quizzes}
    COMMAND_ERROR_IS_FATAL ANY)
  add_quiz(bench-full ${bench_quizzes}/full)
  add_quiz(bench-png ${bench_quizzes}/png)
  add_quiz(bench-empty ${bench_quizzes}/empty)
  # The full quiz's records without a single picture: 96 cards that cost only their controls.
  set(full_records ${CMAKE_BINARY_DIR}/quizzes/bench-full)
  file(WRITE ${bench_quizzes}/cards.rc "#include \"enigo.rc\"\n104 PATCH \"${full_records}/quiz104.bin\"\n"
    "105 PATCH \"${full_records}/quiz105.bin\"\n")
  set_source_files_properties(${bench_quizzes}/cards.rc PROPERTIES
    OBJECT_DEPENDS "${full_records}/quiz104.bin;${full_records}/quiz105.bin")
  add_player_exe(bench-cards ${CMAKE_BINARY_DIR}/bin ${bench_quizzes}/cards.rc)
  add_player_exe(startup_bench ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/resources/enigo.rc
    MAIN ${PROJECT_SOURCE_DIR}/bench/startup_bench.cpp)
  add_custom_target(run-startup-bench
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:startup_bench> $<TARGET_FILE:bench-empty>
      $<TARGET_FILE:bench-cards> $<TARGET_FILE:bench-full> $<TARGET_FILE:bench-png> 5
    DEPENDS startup_bench bench-empty bench-cards bench-full bench-png
    USES_TERMINAL)
  # The same start-up phase by phase, in one process.
  add_player_exe(board_profile ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/resources/enigo.rc
    MAIN ${PROJECT_SOURCE_DIR}/bench/board_profile.cpp)
  add_custom_target(run-board-profile
    COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:board_profile> $<TARGET_FILE:bench-full>
    DEPENDS board_profile bench-full
    USES_TERMINAL)
endif()

# Relayout benchmark (not a test): run-relayout-bench runs it under the emulator.
add_player_exe(relayout_bench ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/resources/enigo.rc
  MAIN ${PROJECT_SOURCE_DIR}/bench/relayout_bench.cpp)
add_custom_target(run-relayout-bench
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:relayout_bench> $<TARGET_FILE:enigo-images> 50
  DEPENDS relayout_bench enigo-images
  USES_TERMINAL)
