#include "assets/embedded.h"

// The files are pulled in by the assembler (.incbin) at the absolute build-tree
// paths the build passes in, so the lists are read-only data of the program
// itself: nothing is copied at start-up and nothing is on the heap. The build
// recompiles this file whenever either list changes.
#if !defined(LEXIFLIP_DICTIONARY_RECORDS) || !defined(LEXIFLIP_COMPUTER_WORDS)
#error                                                                                                       \
    "the build must define LEXIFLIP_DICTIONARY_RECORDS and LEXIFLIP_COMPUTER_WORDS (paths of the files to embed)"
#endif

#define LEXIFLIP_EMBED(name, path)                                                                           \
    asm(".pushsection .rodata, \"a\", @progbits\n"                                                           \
        ".balign 16\n"                                                                                       \
        ".globl " #name "_begin\n"                                                                           \
        ".hidden " #name "_begin\n" #name "_begin:\n"                                                        \
        ".incbin \"" path "\"\n"                                                                             \
        ".globl " #name "_end\n"                                                                             \
        ".hidden " #name "_end\n" #name "_end:\n"                                                            \
        ".popsection\n")

LEXIFLIP_EMBED(lexiflip_dictionary_records, LEXIFLIP_DICTIONARY_RECORDS);
LEXIFLIP_EMBED(lexiflip_computer_words, LEXIFLIP_COMPUTER_WORDS);

extern "C" {
__attribute__((visibility("hidden"))) extern const char lexiflip_dictionary_records_begin[];
__attribute__((visibility("hidden"))) extern const char lexiflip_dictionary_records_end[];
__attribute__((visibility("hidden"))) extern const char lexiflip_computer_words_begin[];
__attribute__((visibility("hidden"))) extern const char lexiflip_computer_words_end[];
}

namespace lexiflip::assets {

std::string_view dictionaryRecords()
{
    return {lexiflip_dictionary_records_begin,
            static_cast<std::size_t>(lexiflip_dictionary_records_end - lexiflip_dictionary_records_begin)};
}

std::string_view computerWords()
{
    return {lexiflip_computer_words_begin,
            static_cast<std::size_t>(lexiflip_computer_words_end - lexiflip_computer_words_begin)};
}

} // namespace lexiflip::assets
