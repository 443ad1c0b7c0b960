#include "client/game/key_moves.h"

#include <algorithm>

#include "client/game/turn.h"

namespace lexiflip::client {

namespace {

using Kind = KeyMove::Kind;

KeyMove cursorAt(int column, int row)
{
    return {Kind::Cursor, {std::clamp(column, 1, kColumns), std::clamp(row, 1, kRows)}, 0};
}

int letterCode(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return letter >= 'A' && letter <= 'Z' ? letter - 'A' + 1 : 0;
}

bool takeable(const BoardCell& cell, int code)
{
    return cell.faceup && !cell.picked && cell.letter == code;
}

KeyMove typedLetter(const Turn& turn, BoardCursor cursor, char letter)
{
    const int code = letterCode(letter);
    if (code == 0)
        return {};
    if (takeable(turn.board(cursor.column, cursor.row), code))
        return {Kind::BoardClick, cursor, 0};
    for (int row = 1; row <= kRows; ++row)
        for (int column = 1; column <= kColumns; ++column)
            if (takeable(turn.board(column, row), code))
                return {Kind::BoardClick, {column, row}, 0};
    // The bar as the player sees it: left to right by place.
    int best = 0;
    for (int position = 1; position <= kBarSize; ++position) {
        const BarTile& tile = turn.bar(position);
        if (tile.shown != 0 && tile.letter == code && (best == 0 || tile.place < turn.bar(best).place))
            best = position;
    }
    return best == 0 ? KeyMove{} : KeyMove{Kind::BarClick, {}, best};
}

KeyMove barAtPlace(const Turn& turn, int place)
{
    for (int position = 1; position <= kBarSize; ++position)
        if (turn.bar(position).place == place && turn.bar(position).shown != 0)
            return {Kind::BarSwapClick, {}, position};
    return {};
}

KeyMove wordButton(const Turn& turn, Kind kind)
{
    return turn.wordButtonsShown() ? KeyMove{kind, {}, 0} : KeyMove{};
}

} // namespace

KeyMove keyMove(const Turn& turn, BoardCursor cursor, KeyPress press)
{
    switch (press.key) {
    case GameKey::Left:
        return cursorAt(cursor.column - 1, cursor.row);
    case GameKey::Right:
        return cursorAt(cursor.column + 1, cursor.row);
    case GameKey::Up:
        return cursorAt(cursor.column, cursor.row - 1);
    case GameKey::Down:
        return cursorAt(cursor.column, cursor.row + 1);
    case GameKey::Home:
        return cursorAt(1, cursor.row);
    case GameKey::End:
        return cursorAt(kColumns, cursor.row);
    case GameKey::Space:
        return {Kind::BoardClick, cursor, 0};
    case GameKey::Backspace:
        return turn.wordlength() > 0 ? KeyMove{Kind::WordClick, {}, turn.wordlength()} : KeyMove{};
    case GameKey::Enter:
        return wordButton(turn, Kind::Done);
    case GameKey::Escape:
        return wordButton(turn, Kind::Clear);
    case GameKey::Pass:
        return wordButton(turn, Kind::Pass);
    case GameKey::Buy:
        return wordButton(turn, Kind::Buy);
    case GameKey::Shuffle:
        return {Kind::Shuffle, {}, 0};
    case GameKey::Letter:
        return typedLetter(turn, cursor, press.letter);
    case GameKey::BarPlace:
        return barAtPlace(turn, press.place);
    }
    return {};
}

void playKeyMove(Turn& turn, const KeyMove& move)
{
    switch (move.kind) {
    case Kind::None:
    case Kind::Cursor:
        return;
    case Kind::BoardClick:
        turn.paintbox_boardMouseUp(move.cell.column, move.cell.row, MouseButton::Left);
        return;
    case Kind::BarClick:
        turn.letters_1MouseUp(move.position, MouseButton::Left);
        return;
    case Kind::BarSwapClick:
        turn.letters_1MouseUp(move.position, MouseButton::Right);
        return;
    case Kind::WordClick:
        turn.word_1MouseUp(move.position);
        return;
    case Kind::Done:
        turn.clickdone();
        return;
    case Kind::Clear:
        turn.button_clearClick();
        return;
    case Kind::Pass:
        turn.button_passClick();
        return;
    case Kind::Buy:
        turn.button_buyClick();
        return;
    case Kind::Shuffle:
        turn.button_shuffleClick();
        return;
    }
}

} // namespace lexiflip::client
