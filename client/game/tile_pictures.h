#pragma once

// The indexes of the tile picture sets, shared by the game half (which says
// what each cell, bar tile and marker shows) and the painter (which draws it).
namespace lexiflip::client {

// imagelist_letters: 54 tiles. 0 draws nothing; 1..26 are A..Z
// face up with their point value; 27 is the tile back; 28..53 are A..Z in the
// grey used look, so letter L in the used look is L + kUsedOffset.
inline constexpr int kLetterPictureCount = 54;
inline constexpr int kTileBack = 27;
inline constexpr int kUsedOffset = 27;

// A letter code as the set shows it face up (27 is the tile back; codes the
// set has no picture for draw nothing), in the used look, and as a plain
// letter (the word row and the little set, 0..26).
constexpr int faceUpPicture(int letter)
{
    return letter >= 0 && letter <= kTileBack ? letter : 0;
}
constexpr int usedPicture(int letter)
{
    return letter >= 1 && letter <= 26 ? letter + kUsedOffset : faceUpPicture(letter);
}
constexpr int letterPicture(int letter)
{
    return letter >= 1 && letter <= 26 ? letter : 0;
}

// The sneaker marker's animation.
inline constexpr int kSneakerFrames = 5;

} // namespace lexiflip::client
