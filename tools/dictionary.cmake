# The generator of the dictionary's record file. The rule that runs it lives
# with the data it embeds, in assets/.
add_executable(make_dictionary ${CMAKE_CURRENT_SOURCE_DIR}/make_dictionary.cpp)
