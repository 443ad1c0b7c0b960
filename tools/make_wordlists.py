#!/usr/bin/env python3
"""Regenerates Lexiflip's two word lists from the SCOWL word lists.

    python3 tools/make_wordlists.py [--scowl /usr/share/dict/scowl] [--check]

Writes assets/dictionary/words.txt (the dictionary: upper case, 2 to 14 letters,
longer words cut to 14, one record per line, sorted by byte order) and
assets/computer_words/words.txt (the computer player's list: lower case, 1 to 7
letters, sorted). With --check nothing is written; the script fails when the
committed files differ from what it would write.

A maintainer's tool, not run by the build. Standard library only. The output
depends only on the SCOWL files read, never on the machine or the run: every
choice within a SCOWL level is made by a fixed ranking (SHA-1 of the word).
"""

import argparse
import collections
import hashlib
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# Spelling categories of SCOWL whose words both lists draw on: the words common
# to all spellings, American and British spellings, and the common variants.
DICTIONARY_CATEGORIES = ("english", "american", "british", "variant_1", "variant_2")
# Levels taken whole into the dictionary, and the level it fills up from.
DICTIONARY_FULL_LEVELS = (10, 20, 35, 40, 50, 55, 60, 70)
DICTIONARY_FILL_LEVEL = 80

# Records by word length in the dictionary (14 counts the cut forms of longer
# words as well); the fill level brings each length up to its count.
DICTIONARY_COUNTS = {2: 94, 3: 970, 4: 3903, 5: 8634, 6: 15233, 7: 23110, 8: 28424,
                     9: 24882, 10: 20312, 11: 15506, 12: 11360, 13: 7827, 14: 12591}
MAX_LETTERS = 14

# The computer player draws from the most common words only.
COMPUTER_CATEGORIES = ("english", "american", "british")
COMPUTER_LEVELS = (10, 20, 35, 40, 50, 55, 60, 70)
COMPUTER_COUNTS = {1: 6, 2: 56, 3: 395, 4: 1439, 5: 1655, 6: 2009, 7: 2127}
# Entries that occur twice in the computer's list (the list keeps this quirk so
# that its size and composition stay what the game was balanced for).
COMPUTER_DOUBLES = 10
# Entries at the end of the list that the computer never plays.
COMPUTER_TAIL = 10

WORD = re.compile(r"[a-z]+")


def rank(word):
    """A fixed, even-handed order for choosing among words of one level."""
    return hashlib.sha1(word.encode("ascii")).hexdigest(), word


def read_level(scowl, categories, level):
    """Words of one SCOWL level: lower-case a..z only, so that proper names,
    possessives, abbreviations and accented words all stay out."""
    words = set()
    for category in categories:
        path = scowl / f"{category}-words.{level}"
        if not path.exists():
            continue
        for line in path.read_text(encoding="utf-8").splitlines():
            if WORD.fullmatch(line):
                words.add(line)
    return words


def bucket(word):
    return min(len(word), MAX_LETTERS)


def counts_by_length(words, key=len):
    counter = collections.Counter(key(w) for w in words)
    return dict(sorted(counter.items()))


def make_dictionary(scowl):
    common = set()
    for level in DICTIONARY_FULL_LEVELS:
        common |= read_level(scowl, DICTIONARY_CATEGORIES, level)
    common = {w for w in common if len(w) >= 2}
    fill = {w for w in read_level(scowl, DICTIONARY_CATEGORIES, DICTIONARY_FILL_LEVEL)
            if len(w) >= 2} - common

    def extends_common(word):
        # Derived forms of a common word ("martyrdoms", "effacers") come before
        # unrelated rare words: players try them more often.
        return any(word[:k] in common for k in range(4, len(word)))

    have = collections.Counter(bucket(w) for w in common)
    chosen = set(common)
    by_bucket = collections.defaultdict(list)
    for word in fill:
        by_bucket[bucket(word)].append(word)
    for length, wanted in DICTIONARY_COUNTS.items():
        need = wanted - have[length]
        candidates = sorted(by_bucket[length], key=lambda w: (not extends_common(w), rank(w)))
        if need < 0 or need > len(candidates):
            sys.exit(f"make_wordlists: cannot make {wanted} records of length {length} "
                     f"({have[length]} common, {len(candidates)} to fill from)")
        chosen.update(candidates[:need])
    # One record per word; cutting makes some records repeat. Letters sort after
    # the padding space, so plain string order is the records' byte order.
    return sorted(w[:MAX_LETTERS].upper() for w in chosen)


def make_computer_words(scowl, dictionary):
    in_dictionary = set(dictionary)
    levels = []
    for level in COMPUTER_LEVELS:
        words = {w for w in read_level(scowl, COMPUTER_CATEGORIES, level)
                 if len(w) <= 7 and (len(w) == 1 or w.upper() in in_dictionary)}
        for earlier in levels:
            words -= earlier
        levels.append(words)

    # The tail: the computer never plays the last ten entries, so they are the
    # last words of 4 to 7 letters in the alphabet that the levels offer
    # ("zygote" .. "zymurgy"); no other entry may sort after them.
    pool = sorted(set().union(*levels))
    tail = [w for w in pool if 4 <= len(w) <= 7][-COMPUTER_TAIL:]
    levels = [{w for w in words if w < tail[0]} for words in levels]

    # The doubled entries: the first words of 4 to 7 letters of the most common
    # level in the fixed ranking (that level is always taken whole).
    doubles = sorted((w for w in levels[0] if 4 <= len(w) <= 7), key=rank)[:COMPUTER_DOUBLES]

    chosen = tail + doubles
    have = collections.Counter(len(w) for w in chosen)
    for length, wanted in COMPUTER_COUNTS.items():
        need = wanted - have[length]
        for words in levels:
            candidates = sorted((w for w in words if len(w) == length), key=rank)
            take = candidates[:need]
            chosen.extend(take)
            need -= len(take)
            if need == 0:
                break
        if need:
            sys.exit(f"make_wordlists: {need} computer words of {length} letters missing")
    return sorted(chosen)


def write_or_check(path, lines, check):
    text = "".join(line + "\n" for line in lines)
    if check:
        if not path.exists() or path.read_text(encoding="ascii") != text:
            sys.exit(f"make_wordlists: {path.relative_to(ROOT)} is not what the sources give")
        return
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text, encoding="ascii", newline="\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scowl", type=pathlib.Path, default=pathlib.Path("/usr/share/dict/scowl"))
    parser.add_argument("--check", action="store_true", help="compare with the committed lists only")
    args = parser.parse_args()
    if not (args.scowl / "english-words.10").exists():
        sys.exit(f"make_wordlists: no SCOWL word lists in {args.scowl} (apt-get install scowl)")

    dictionary = make_dictionary(args.scowl)
    computer = make_computer_words(args.scowl, dictionary)
    write_or_check(ROOT / "assets/dictionary/words.txt", dictionary, args.check)
    write_or_check(ROOT / "assets/computer_words/words.txt", computer, args.check)

    print(f"dictionary: {len(dictionary)} records, {len(set(dictionary))} distinct")
    print("  by length:", counts_by_length(dictionary))
    print(f"computer words: {len(computer)} entries, {len(set(computer))} distinct")
    print("  by length:", counts_by_length(computer))
    print(f"  first {computer[0]!r}, last ten {computer[-10:]}")


if __name__ == "__main__":
    main()
