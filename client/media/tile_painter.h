#pragma once

// How the tiles and tick boxes are painted. The painter works in
// device-independent pixels; pictures.cpp scales it to the device pixels of
// the copy being made.

class QPainter;

namespace lexiflip::client::tiles {

enum class Face { Up, Used };

// A tile of size x size showing letter 1..26; withValue adds the letter's point
// value in the lower right corner.
void paintLetterTile(QPainter& painter, int size, int letter, Face face, bool withValue);

// The face-down tile.
void paintTileBack(QPainter& painter, int size);

// The tick box of the options dialog, empty or ticked.
void paintTickBox(QPainter& painter, bool ticked);

} // namespace lexiflip::client::tiles
