# Test for the build-time sound generator (media/synth). Include this file
# from the tests' CMakeLists after enable_testing(); it needs the
# `mediasynth` target, which may be defined before or after the include.
add_executable(test_synth ${CMAKE_CURRENT_LIST_DIR}/test_synth.cpp)
target_compile_features(test_synth PRIVATE cxx_std_20)
add_test(NAME media_synth COMMAND test_synth $<TARGET_FILE:mediasynth>)
