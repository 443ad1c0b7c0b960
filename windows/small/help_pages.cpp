// The help window's pages: the game's own documentation, written for players.
// The scoring page takes its numbers from the engine, so that it can never
// disagree with the host that scores the words.

#include <QFile>

#include "client/session/eight_bit_text.h"
#include "client/media/palette.h"
#include "core/letters.h"
#include "wire/messages.h"
#include "windows/small/thelp.h"

namespace lexiflip::windows {

namespace {

QString colour(QRgb value)
{
    return client::palette::styleColour(value);
}

// Shared look of every page: headings in the seat rows' blue, table heads on
// the seat panel's paper.
const QString kStyle =
    QStringLiteral("<style>h2 { color: %1; margin-top: 4px; } h3 { color: %1; margin-top: 14px; "
                   "margin-bottom: 4px; }"
                   " p { margin-top: 2px; margin-bottom: 8px; } td, th { padding: 2px 7px; }"
                   " th { background: %2; color: %1; } .key { font-weight: bold; }</style>")
        .arg(colour(client::palette::kSeatText), colour(client::palette::kSeatPanel));

// A table ruled in the seat panel's edge colour.
const QString kTable = QStringLiteral("<table cellspacing='0' border='1' style='border-color: %1;'>")
                           .arg(colour(client::palette::kSeatPanelEdge));

QString page(const QString& body)
{
    return QStringLiteral("<html><head>") + kStyle + QStringLiteral("</head><body>") + body +
           QStringLiteral("</body></html>");
}

QString versionText()
{
    return client::fromEightBit(wire::msg::kVersion);
}

QString overview()
{
    return page(QStringLiteral(
        "<h2>Welcome to Lexiflip</h2>"
        "<p>Lexiflip is a word game for sharp eyes and a good memory. Between the players lies a board "
        "of 80 face-down tiles, ten columns by eight rows, and every player holds a bar of seven letter "
        "tiles of their own.</p>"
        "<p>On your turn you flip five tiles of the board face up, and then make a word from the tiles "
        "you flipped and the letters on your bar. Board letters count double, and long words earn "
        "bonus points.</p>"
        "<h3>The secret of the game</h3>"
        "<p>A board tile keeps its letter until somebody uses it in a word. Every tile that anybody "
        "flips shows its letter to the whole table, and at the end of the turn it turns face down "
        "again &mdash; but it is still the same letter. So watch the other players' turns: remember "
        "where that Z went down in the corner and which row holds two Es, and on your own turn flip the "
        "tiles you know you want instead of trusting to luck.</p>"
        "<h3>Who you play with</h3>"
        "<p>Start Lexiflip on its own and you play a solo game against <b>Klot</b>, the computer player. "
        "With the Halvo Lobby, or from the command line, up to six people play together over the "
        "network, and up to three more can join to watch.</p>"
        "<p>In the copy that hosts the game, Options, <b>Klot's Strength</b> chooses how well Klot plays "
        "(and the computer that plays for anybody who just watches): <b>Classic</b>, the Klot of old, flips "
        "five tiles at random and plays the first common word that fits; <b>Strong</b> flips as Classic "
        "does but plays the best word the whole dictionary allows, and buys a new bar when that pays; "
        "<b>Expert</b> plays as Strong and also remembers every tile he has seen turned face up, and "
        "flips the ones he wants. He never peeks at a tile nobody has turned.</p>"
        "<p>The other pages tell you how to connect, the rules of play, how words are scored, what is "
        "new in this version, and the licence terms.</p>"));
}

QString connecting()
{
    return page(QStringLiteral(
        "<h2>Connecting</h2>"
        "<h3>Playing solo</h3>"
        "<p>Start Lexiflip with nothing on its command line. Your own copy then hosts the game and plays "
        "Klot in the second seat. A window about the Halvo Lobby opens first: <b>Play Solo Game</b> "
        "closes it, and the game is already waiting behind it.</p>"
        "<p>A solo game never goes out to the network: your game talks to itself inside your own "
        "computer (the address 127.0.0.1, TCP port 7772), where nobody else can reach it, so there is "
        "nothing to open in a firewall.</p>"
        "<h3>Playing with others</h3>"
        "<p>Everything happens in the <b>File</b> menu, without restarting: <b>New Solo Game</b>, "
        "<b>Host a Network Game...</b>, <b>Join a Network Game...</b> and <b>Leave Game</b>. Leaving asks "
        "first while a game runs, or while anybody else is at your table (Klot does not count), so an "
        "invite link never takes you from your friends unasked. Leaving is like closing the game: your "
        "settings and tally are "
        "saved, and when you host, the other players' game ends with yours.</p>"
        "<h3>Hosting</h3>"
        "<p>In <b>Host a Network Game...</b> type your name and press <b>Host</b>; the port is "
        "<b>7772</b> unless you pick another. The dialog then lists each address of your computer with "
        "the port: give one to your friends, or press <b>Copy Invite</b> to put an invite link such as "
        "<tt>lexiflip://192.168.1.20:7772</tt> on the clipboard and paste it to them. The same menu entry "
        "shows the list again later.</p>"
        "<p>The host's copy runs the game for everybody: it deals the letters, checks the words, keeps "
        "the clock and plays the computer players. It listens on its <b>TCP port</b> of every network "
        "address of the computer, IPv4 and IPv6, so that port must accept incoming connections: allow "
        "it in the host's <b>firewall</b> (for example <tt>sudo ufw allow 7772/tcp</tt>). Players over "
        "the internet reach you only when your router <b>forwards the port</b> to your computer; give "
        "them your router's public address. Players who join only make an outgoing connection.</p>"
        "<p>A machine can also host without a game window: <tt>lexiflip-host</tt> runs only the host, "
        "on port 7772 unless <tt>--port</tt> says otherwise, with <tt>--bot-speed slow</tt>, "
        "<tt>normal</tt> or <tt>fast</tt> for the computer's pace and <tt>--klot-strength classic</tt>, "
        "<tt>strong</tt> or <tt>expert</tt> for how well it plays. The first player to connect to it "
        "becomes the one who starts the games.</p>"
        "<p>When a player's connection drops during a game, the host keeps his seat, score and tiles "
        "for him for two minutes (<tt>lexiflip-host --seat-hold</tt> sets the seconds): the turns pass "
        "over his seat, and when he joins again from the same address he gets it back.</p>"
        "<h3>Your router</h3>"
        "<p>When you host for others, your copy asks your home router to open its port to your computer, "
        "through the standard ways routers offer for it (UPnP IGD, else NAT-PMP or PCP): nobody has to "
        "touch the router. The host dialog and the chat then say what the router did, for example "
        "\"Your router opened port 7772: friends can join at 203.0.113.5:7772\". The invite (<b>Copy "
        "Invite</b>, or <b>File</b>, <b>Copy Invite Link</b>) then carries that address; without one it "
        "carries a global IPv6 address when your computer has one, else the address on your own "
        "network. The list shows each address with what it is good for: this network, the internet over "
        "IPv4, or over IPv6. Where your computer has a global IPv6 address and the router offers IPv6 "
        "pinholes (UPnP IGD version 2), your copy also asks its IPv6 firewall to let friends in to that "
        "address, and a second line says what the router did; without a pinhole, friends reach you over "
        "IPv6 only if the router's firewall lets them. "
        "The router keeps the opening for an hour at a time; your copy renews it "
        "while you host and removes it when you leave the game or close Lexiflip. A solo game never "
        "asks.</p>"
        "<p>To switch it off, uncheck <b>Options</b>, <b>Open the Port on My Router</b>. When the router "
        "says no or does not answer, forward the port by hand in the router's settings, or play over a "
        "VPN that both of you share.</p>"
        "<p>With the port open, anybody on the internet can reach your game, not only your friends. The "
        "host is built for that and turns away anything that does not follow the game's rules, but the "
        "game has no password and a name is not an account: anybody who knows the address may take a "
        "free seat under any name. Leave the game when you are done.</p>"
        "<h3>Joining</h3>"
        "<p>In <b>Join a Network Game...</b> type your name, the host (a name, an IPv4 address such as "
        "192.168.1.20 or an IPv6 address such as 2001:db8::7) and its port, then press <b>Join</b>. The "
        "last ten hosts you joined are listed below to pick from. <b>Search the Local Network</b> asks "
        "the games on your own network to answer (on UDP port 7772) and lists each one with its host "
        "player, its free seats and whether a game is running; pick one and join it. Nothing is sent to "
        "the network before you press the button. A host's firewall must let UDP port 7772 in for the "
        "search to find it; otherwise type its address.</p>"
        "<p>The dialog says how the join goes and, when it fails, why: there is no computer of that name; "
        "the connection was refused (no game is hosted there yet, or a firewall turns players away); no "
        "answer came within 10 seconds; the game is full; or the host plays another version. The game "
        "stays open, so you can correct the address and try again.</p>"
        "<h3>Invite links</h3>"
        "<p>An invite link, <tt>lexiflip://HOST</tt> or <tt>lexiflip://HOST:PORT</tt> (an IPv6 host in "
        "brackets, as in <tt>lexiflip://[2001:db8::7]:7772</tt>), joins that game with the name you "
        "used last. Click one in a web page or a message, paste it in the chat and click it there (the "
        "game asks before it joins), or start <tt>lexiflip lexiflip://192.168.1.20</tt>. When Lexiflip "
        "is already running, the link goes to the running game, which asks before it leaves a game in "
        "progress. A malformed link is refused and nothing is joined.</p>"
        "<p>Games can also be set up in the Halvo Lobby, which starts Lexiflip with three things on the "
        "command line: your name, the host's address, and <i>true</i> to host or <i>false</i> to join, "
        "as in <tt>lexiflip Anna 127.0.0.1 true</tt>.</p>"
        "<h3>Seats and watchers</h3>"
        "<p>The first six to connect take the seats; the seventh, eighth and ninth watch (the View menu's "
        "<b>Spy List</b> shows them). The host's player starts each game and can remove a player or a "
        "watcher: right-click a seat's name, or use the pop-up menu of the Spy List.</p>"
        "<p>Everybody must run the same version of the game. A copy with a different version is told "
        "so in the chat when it joins.</p>"
        "<h3>When the connection is lost</h3>"
        "<p>The game lives in the host's copy. When your connection to it closes without your asking "
        "(the network drops, the host stops answering, or its program ends), your window stays open "
        "with the game as it was, and the chat says <i>Connection to the host lost. Reconnecting...</i>. "
        "The game then tries again by itself, after half a second, one, two and four seconds and then "
        "every ten seconds, for two minutes. Nothing needs a click: when the host answers, you are "
        "logged in again under the same name, the board, your tiles and the scores are brought up to "
        "date, and if you had chosen <b>Just Watch</b> it is asked for again. A host that keeps seats "
        "gives you your own seat back, with your score and tiles; a host that does not gives you "
        "whichever seat is free. A host that stops sending anything in the middle of a game for longer "
        "than a turn takes is taken for lost too.</p>"
        "<p>If the host has not come back after two minutes, the chat says so and a small window "
        "offers <b>Leave Game</b> and <b>Try Again</b>; it does not stop you from reading the chat "
        "meanwhile. The game never tries again after the host said the game is full, after the host's "
        "player removed you (the chat says <i>You were removed from the game.</i>), or after you chose "
        "<b>Leave Game</b>.</p>"
        "<p>While another player's connection is lost during a game, his seat shows him as away, for "
        "example <i>Bob (away)</i>, with his score, until he is back or his seat is given up. When the "
        "host's own player closes Lexiflip, the game is over for everybody.</p>"));
}

QString gamePlay()
{
    return page(QStringLiteral(
        "<h2>Game Play</h2>"
        "<h3>Starting a game</h3>"
        "<p>The host's player presses <b>START GAME</b> (or File, Start Game) and chooses the options: "
        "the score to play to (100 to 500), the time to build a word (45 to 120 seconds), whether "
        "everybody may see the bar of the player on turn (<i>Tiles Viewable</i>), whether seats 5 and "
        "6 sit out (<i>4 Player Max</i>), and the game mode. Everybody then gets a fresh board and a "
        "bar of seven tiles.</p>"
        "<h3>Your turn</h3>"
        "<p>When the turn comes to you, the status line asks you to <i>Choose 5 tiles to flip</i> and "
        "the clock starts. First <b>flip five</b> face-down tiles by clicking them. After the fifth "
        "flip the status line says <i>Create a Word</i>, the buttons CLEAR, BUY, PASS and DONE appear, "
        "and you build your word, up to ten letters long:</p>"
        "<ul>"
        "<li>Click a tile you flipped this turn, or a tile of your bar, to add its letter to the end of "
        "the word.</li>"
        "<li>Click the <b>last letter</b> of the word to take it back.</li>"
        "<li><b>CLEAR</b> takes the whole word back.</li>"
        "<li><b>DONE</b>, or a right-click on the board, sends the word to be checked. If the game does "
        "not know the word, the status line says <i>Invalid Word</i> and, with at least five seconds "
        "left on the clock, you may change the word and try again (with Options, Clear Word the "
        "letters go back at once).</li>"
        "<li><b>PASS</b> ends your turn without a word.</li>"
        "<li><b>BUY</b> swaps your whole bar for seven new tiles for 20 points. Your turn goes on with "
        "the new bar. You need at least 20 points to buy.</li>"
        "</ul>"
        "<p>To arrange your bar, right-click one of its tiles and then another: the two change places. "
        "The shuffle button mixes the bar at any time.</p>"
        "<p>When the clock runs out, your turn ends without a score. After an accepted word, the board "
        "tiles you used get new letters and your used bar tiles are replaced; every other tile keeps "
        "its letter.</p>"
        "<h3>The end of the game</h3>"
        "<p>Each time the turn comes back to the first seat, a full round has been played. If somebody "
        "has then reached the score the game is played to, the highest score wins. Reaching the score "
        "in the middle of a round is not enough: the round is always played to its end, so everybody "
        "has the same number of turns. If two players share the top score, another round is played.</p>"
        "<h3>Game modes</h3>"
        "<p><b>Blind</b>: no help at all &mdash; your memory is everything.</p>"
        "<p><b>Helper</b>: at the start of each round, the player with the lowest score (of those who "
        "have scored at all) gets a <b>Sneak Peek</b> before their turn: for five seconds the whole "
        "board shows its letters, greyed, and then the turn begins as usual. A pair of eyes beside the "
        "seat shows who it is.</p>"
        "<p><b>Sneak Peek</b>: every player gets the five-second peek before every turn.</p>"
        "<h3>A larger game</h3>"
        "<p>View, <b>Zoom In</b> (Ctrl and +, or Ctrl and =) draws the board, the buttons, the seats and "
        "the chat larger, in steps of 125, 150, 175, 200, 250 and 300 percent, and makes the window "
        "fit; <b>Zoom Out</b> (Ctrl and -) goes back a step and <b>Actual Size</b> (Ctrl and 0) to the "
        "classic size. Resizing or maximising the window also zooms: the game takes the largest step "
        "that fits. Everything is drawn afresh at each size, so the tiles stay sharp, and the game "
        "remembers your zoom.</p>"
        "<h3>Watching and chatting</h3>"
        "<p>Options, <b>Just Watch</b> hands your seat to the computer, which plays it under your name "
        "until you switch it off. The chat box takes typed lines (start a line with /me for an action); "
        "the phrase buttons send a ready-made phrase (View, Phrase List changes them), and the last "
        "button plays a chatter sound for everybody.</p>"
        "<p>When your turn comes while you are working in another program, Lexiflip calls you: its "
        "title reads \"Your turn - Lexiflip\" and your taskbar marks it, until you come back or the "
        "turn is over. With Options, <b>Notify When It Is My Turn</b> on, your desktop shows a "
        "notification too.</p>"));
}

QString scoring()
{
    // The letter values straight from the engine that scores the words.
    QString letters = kTable + QStringLiteral("<tr>");
    QString values;
    for (int code = core::kFirstLetter; code <= core::kLastLetter; ++code) {
        if (code == 14) {
            letters += QStringLiteral("</tr><tr>") + values + QStringLiteral("</tr><tr>");
            values.clear();
        }
        letters += QStringLiteral("<th>%1</th>").arg(QChar(u'A' + code - 1));
        values += QStringLiteral("<td align='center'>%1</td>").arg(core::letterworth(code));
    }
    letters += QStringLiteral("</tr><tr>") + values + QStringLiteral("</tr></table>");

    return page(
        QStringLiteral("<h2>Scoring</h2>"
                       "<h3>Letters</h3>"
                       "<p>Each letter is worth its value from the table below. A letter from your bar "
                       "counts once; a letter from the <b>board counts double</b>.</p>%1"
                       "<h3>Bonuses</h3>"
                       "%2"
                       "<tr><th>Word length</th><th>Bonus</th></tr>"
                       "<tr><td>5 letters</td><td align='right'>5</td></tr>"
                       "<tr><td>6 letters</td><td align='right'>10</td></tr>"
                       "<tr><td>7 letters</td><td align='right'>15</td></tr>"
                       "<tr><td>8 letters</td><td align='right'>20</td></tr>"
                       "<tr><td>9 letters</td><td align='right'>25</td></tr>"
                       "<tr><td>10 letters</td><td align='right'>30</td></tr></table>"
                       "<p>On top of that, using <b>all five tiles you flipped</b> earns 5 points, and using "
                       "<b>all seven tiles of your bar</b> earns 10.</p>"
                       "<h3>Examples</h3>"
                       "<p>QUIT from a Q, a U and an I on your bar and a T from the board: 10 + 1 + 1 + "
                       "2 &times; 1 = <b>14</b> points.</p>"
                       "<p>A seven-letter word with five letters from the bar and two from the board: the "
                       "letters, the board ones doubled, plus 15 for the length.</p>"
                       "<p>Buying a new bar costs 20 points.</p>"
                       "<h3>The word list</h3>"
                       "<p>The host checks every word against a list of 172,846 English words drawn from "
                       "SCOWL: ordinary lower-case words, with no names, abbreviations, hyphens or "
                       "apostrophes.</p>")
            .arg(letters, kTable));
}

QString history()
{
    return page(QStringLiteral(
                    "<h2>History</h2>"
                    "<h3>Version %1</h3>"
                    "<p>Lexiflip for the Linux desktop.</p>"
                    "<ul>"
                    "<li>Solo games against Klot; games of up to six players and three watchers over "
                    "TCP port 7772, hosted by a player's copy or by <tt>lexiflip-host</tt>.</li>"
                    "<li>The game modes Blind, Helper and Sneak Peek; Tiles Viewable and 4 Player Max.</li>"
                    "<li>A word list of 172,846 entries built into the game.</li>"
                    "<li>Chat with actions, nine phrase buttons you can change, and fourteen chatter "
                    "sounds.</li>"
                    "<li>A tally of games played and won against the players you follow.</li>"
                    "<li>Settings kept in <tt>halvolobby.ini</tt> (section Lexiflip), shared with the "
                    "Halvo Lobby.</li>"
                    "<li>Every picture drawn by the game itself, sharp on high-resolution screens and "
                    "at every zoom (View, Zoom In).</li>"
                    "</ul>"
                    "<p>Only copies of the same version play together.</p>")
                    .arg(versionText()));
}

QString keyboardAndReader()
{
    return page(QStringLiteral(
        "<h2>Keyboard and Screen Reader</h2>"
        "<p>Every move of a turn can be made from the keyboard, and a screen reader can read the whole "
        "game and play it.</p>"
        "<h3>The game area and the chat</h3>"
        "<p><span class='key'>F6</span> moves the keyboard from the chat entry to the game area, on "
        "to the seat rows and back to the chat entry. While the chat entry has it, every key types "
        "into the chat as always. While the game area has it, a bright ring shows the board's "
        "cursor.</p>"
        "<p>On the seat rows the same ring marks a row: <span class='key'>Up</span> and "
        "<span class='key'>Down</span> move it, and <span class='key'>Menu</span>, "
        "<span class='key'>Shift+F10</span> or <span class='key'>Enter</span> open that seat's menu "
        "(Remove From Game, Just Watch), as a right-click on the name does.</p>"
        "%1"
        "<tr><td class='key'>Arrow keys</td><td>Move the cursor over the board</td></tr>"
        "<tr><td class='key'>Home, End</td><td>The first or last cell of the cursor's row</td></tr>"
        "<tr><td class='key'>Space</td><td>Flip the tile under the cursor, or take it into the word "
        "when it is face up (as a click on it)</td></tr>"
        "<tr><td class='key'>A to Z</td><td>Take a tile with that letter into the word: a face-up "
        "board tile first (the one under the cursor, else the first in reading order), as it counts "
        "double, else the leftmost bar tile</td></tr>"
        "<tr><td class='key'>Backspace</td><td>Give back the last letter of the word</td></tr>"
        "<tr><td class='key'>Enter</td><td>DONE</td></tr>"
        "<tr><td class='key'>Escape</td><td>CLEAR</td></tr>"
        "<tr><td class='key'>Alt+P, Alt+B</td><td>PASS, BUY</td></tr>"
        "<tr><td class='key'>Alt+S</td><td>Shuffle your bar</td></tr>"
        "<tr><td class='key'>1 to 7</td><td>Choose the bar tile at that place for a swap; the next "
        "one you choose changes places with it (as two right-clicks)</td></tr>"
        "</table>"
        "<p>Enter, Escape, Alt+P and Alt+B work while their buttons show, after your fifth flip. The "
        "menus keep their own keys: Alt+F, Alt+O, Alt+V and Alt+H open them, F1 opens this help, "
        "Ctrl+G the game's summary and Ctrl+S stops the chat from scrolling.</p>"
        "<h3>Dialogs and side windows</h3>"
        "<p>In the game options, the tally, the spy list, the phrase list, the game's summary and this "
        "help, Tab and "
        "Shift+Tab move between the controls, Space and Enter press the focused button, Enter accepts "
        "and Escape closes or cancels.</p>"
        "<h3>Replaying a recorded game</h3>"
        "<p>In File &gt; Open Game Record..., Up and Down choose a game and Enter opens it. In the "
        "replay, <span class='key'>Left</span> and <span class='key'>Right</span> step back and on, "
        "<span class='key'>Home</span> and <span class='key'>End</span> go to the first and last "
        "step, whichever control has the keyboard; the board's cells read as the game's do, and each "
        "step's changes are told.</p>"
        "<h3>With a screen reader</h3>"
        "<p>Lexiflip speaks to screen readers such as Orca through the desktop's accessibility bus. "
        "The board is a grid of 80 buttons, read row by row: a face-down tile is read by its place "
        "(<i>Column 3, row 4, face down</i>), a face-up one by its letter and points (<i>E, 1 point, "
        "face up</i>), and one taken into your word as <i>E, in the word</i>. Pressing a cell does "
        "what a click does. Your bar tiles (<i>Bar tile 3, E, 1 point</i>, with a second action to "
        "choose the tile for a swap), the word positions and the other player's tiles are buttons "
        "too, and each seat row reads its player's name, score and whether the player is on turn, "
        "with an action that opens the seat's menu.</p>"
        "<p>The status line, the turn passing to another seat, a scored word, the time left at 20, 10 "
        "and 5 seconds, each chat line and the winner are told to the screen reader as they "
        "happen.</p>").arg(kTable));
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString licence()
{
    QString words;
    QFile file(QStringLiteral(":/lexiflip/licences/LICENSE"));
    if (file.open(QIODevice::ReadOnly))
        words = QString::fromUtf8(file.readAll());
    return page(QStringLiteral(
                    "<h2>License</h2>"
                    "<p>The terms below are given for your information.</p>"
                    "<h3>Lexiflip</h3>"
                    "<p>Lexiflip %1 is provided &ldquo;as is&rdquo;, without warranty of any kind, express "
                    "or implied, including but not limited to the warranties of merchantability, fitness "
                    "for a particular purpose and noninfringement. In no event shall its makers be liable "
                    "for any claim, damages or other liability arising from the game or its use.</p>"
                    "<h3>The word lists</h3>"
                    "<p>The game's dictionary and the computer player's words are drawn from SCOWL "
                    "(Spell Checker Oriented Word Lists) by Kevin Atkinson, as packaged by Debian. "
                    "Its copyright and permission notice follows in full.</p>"
                    "<pre style='font-size: small;'>%2</pre>")
                    .arg(versionText(), escaped(words)));
}

} // namespace

const std::array<HelpPage, kHelpPageCount>& helpPages()
{
    static const std::array<HelpPage, kHelpPageCount> pages = {{
        {QStringLiteral("Overview"), overview()},
        {QStringLiteral("Connecting"), connecting()},
        {QStringLiteral("Game Play"), gamePlay()},
        {QStringLiteral("Scoring"), scoring()},
        {QStringLiteral("Documentation"), history()},
        {QStringLiteral("License"), licence()},
        {QStringLiteral("Keyboard and Screen Reader"), keyboardAndReader()},
    }};
    return pages;
}

} // namespace lexiflip::windows
