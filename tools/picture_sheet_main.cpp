// Writes every picture of the game window onto one contact sheet, followed by
// a mock-up of the game area assembled from them, so that the artwork can be
// judged at a given device pixel ratio:
//   QT_QPA_PLATFORM=offscreen lexiflip-picture-sheet /tmp/sheet@2.png 2
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/screen_layout.h"

using namespace lexiflip::client;

namespace {

constexpr int kSheetWidth = 760;
// Tiles on the sheet sit one pixel apart, as in the word row.
constexpr int kPitch = layout::kWordPitch;

void caption(QPainter& painter, int x, int y, const QString& text)
{
    painter.setFont(palette::gameFont(11, false));
    painter.setPen(QColor(40, 40, 40));
    painter.drawText(x, y, text);
}

void drawAt(QPainter& painter, int x, int y, const QPixmap& pixmap)
{
    painter.drawPixmap(QPoint(x, y), pixmap);
}

// The mock-up's board: mostly face down, a few face up and used.
void mockUpBoard(QPainter& painter, int ox, int oy, qreal ratio)
{
    using namespace layout;
    const QPoint surface = QPoint(ox, oy) + kBoardPanel.topLeft() + kBoardSurface.topLeft();
    for (int c = 1; c <= kBoardColumns; ++c) {
        for (int r = 1; r <= kBoardRows; ++r) {
            const int letter = 1 + (c * 7 + r * 3) % 26;
            int index = kTileBack;
            if ((c + r) % 7 == 0)
                index = letter;
            else if ((c * r) % 9 == 0)
                index = letter + kUsedOffset;
            else if (c == kBoardColumns && r == kBoardRows)
                index = 0;
            const QPoint where = cellRect({c, r}).topLeft() + surface;
            drawAt(painter, where.x(), where.y(), letterPicture(index, ratio));
        }
    }
}

// The game area as the window lays it out: every place from screen_layout.h,
// relative to the panel's top left at (ox, oy).
void mockUp(QPainter& painter, int ox, int oy, qreal ratio)
{
    using namespace layout;
    auto at = [&](QPoint where, const QPixmap& p) { drawAt(painter, ox + where.x(), oy + where.y(), p); };
    auto text = [&](QRect where, Qt::Alignment alignment, const QString& words) {
        painter.drawText(where.translated(ox, oy), alignment | Qt::AlignVCenter, words);
    };
    at({0, 0}, picture(Picture::Background, ratio));

    painter.setFont(palette::headerFont());
    painter.setPen(QColor(palette::kHeaderText));
    text(kTimePerTurn, Qt::AlignLeft, QStringLiteral("Time Per Turn: 60 secs"));
    text(kGameMode, Qt::AlignHCenter, QStringLiteral("Game Mode: Sneak Peak"));
    text(kPlayToScore, Qt::AlignRight, QStringLiteral("Play to Score: 200"));

    const int word[] = {12, 5, 24, 9, 6, 12, 9, 16};
    for (int i = 1; i <= 8; ++i)
        at(wordRect(i).topLeft(), letterPicture(word[i - 1], ratio));
    at(bonusRect(2).topLeft(), picture(Picture::BoardMarker, ratio));
    at(bonusRect(5).topLeft(), picture(Picture::BoardMarker, ratio));

    painter.setFont(palette::statusFont());
    text(kStatus, Qt::AlignHCenter, QStringLiteral("Create a Word"));

    at(kTimerFrame.topLeft(), picture(Picture::TimerFrame, ratio));
    const QPixmap bar = picture(Picture::TimerBar, ratio);
    const int shown = 3 * kWordPitch; // a little over half the time left
    painter.drawPixmap(
        QRectF(kTimerFrame.translated(ox, oy).topLeft(), QSizeF(shown, kTimerFrame.height())), bar,
        QRectF(0, 0, shown * bar.devicePixelRatio(), kTimerFrame.height() * bar.devicePixelRatio()));
    painter.setFont(palette::timerFont());
    painter.setPen(QColor(palette::kTimerText));
    text(kTimerText, Qt::AlignHCenter, QStringLiteral("Time: 0:42"));

    at(kButtonClear.topLeft(), picture(Picture::ButtonClear, ratio));
    at(kButtonBuy.topLeft(), picture(Picture::ButtonBuy, ratio, Look::Pressed));
    at(kButtonPass.topLeft(), picture(Picture::ButtonPass, ratio));
    at(kButtonDone.topLeft(), picture(Picture::ButtonDone, ratio));

    mockUpBoard(painter, ox, oy, ratio);

    // The bar: the third tile lifted for a swap, the fifth placed on the word.
    const int bar7[] = {1, 18, 20, 5, 19, 17, 26};
    for (int i = 0; i < kBarPositions; ++i)
        at({kBarLefts[i], i == 2 ? kBarLiftedTop : kBarTop},
           i == 4 ? QPixmap() : letterPicture(bar7[i], ratio));
    at(kShuffle.topLeft(), picture(Picture::ButtonShuffle, ratio));

    at(kLogo.topLeft(), picture(Picture::Logo, ratio));

    const char* names[] = {"You", "Klot", "Ann", "<Waiting>", "<Waiting>", "<Waiting>"};
    const char* scores[] = {"57", "112", "34", "0", "0", "0"};
    const char* bonus[] = {"+12 flex", "", " - 20", "", "", ""};
    for (int s = 1; s <= 6; ++s) {
        painter.setPen(QColor(s == 2 ? palette::kSeatTextOnTurn : palette::kSeatText));
        painter.setFont(palette::seatFont());
        text(seatNameRect(s), Qt::AlignLeft, QString::fromLatin1(names[s - 1]));
        text(seatScoreRect(s), Qt::AlignLeft, QString::fromLatin1(scores[s - 1]));
        painter.setFont(palette::seatFont());
        text(seatBonusRect(s), Qt::AlignLeft, QString::fromLatin1(bonus[s - 1]));
    }
    at(turnFrameRect(2).topLeft(), picture(Picture::TurnFrame, ratio));
    at(seatEyesRect(3).topLeft(), picture(Picture::Eyes, ratio));
    at(sneakerRect(1).topLeft(), picture(Picture::Sneaker, ratio, Look::Normal, 1));
    at(kNotPlaying5.topLeft(), picture(Picture::NotPlaying, ratio));
    at(kNotPlaying6.topLeft(), picture(Picture::NotPlaying, ratio));

    painter.fillRect(kChatView.translated(ox, oy), QColor(palette::kChatPaper));
}

// Each section of the sheet below starts at y and returns where the next one
// starts.
int letterRows(QPainter& painter, int y, qreal ratio)
{
    caption(painter, 8, y, QStringLiteral("imagelist_letters 0..53"));
    y += 6;
    for (int i = 0; i < kLetterPictureCount; ++i)
        drawAt(painter, 8 + (i % 18) * kPitch, y + (i / 18) * kPitch, letterPicture(i, ratio));
    // The rows sit on the dark table as in the game, too.
    y += 3 * kPitch + 6;
    painter.fillRect(QRect(0, y, kSheetWidth, 3 * kPitch + 8), QColor(palette::kTableTop));
    for (int i = 0; i < kLetterPictureCount; ++i)
        drawAt(painter, 8 + (i % 18) * kPitch, y + 4 + (i / 18) * kPitch, letterPicture(i, ratio));
    return y + 3 * kPitch + 26;
}

int littleAndBoxRows(QPainter& painter, int y, qreal ratio)
{
    caption(painter, 8, y, QStringLiteral("imagelist_little 0..26, imagelist_box 0..1"));
    y += 6;
    painter.fillRect(QRect(0, y, kSheetWidth, 34), QColor(palette::kTableTop));
    for (int i = 0; i < kLittlePictureCount; ++i)
        drawAt(painter, 8 + i * 27, y + 4, littlePicture(i, ratio));
    y += 38;
    for (int i = 0; i < kBoxPictureCount; ++i)
        drawAt(painter, 8 + i * 40, y, boxPicture(i, ratio));
    painter.fillRect(QRect(100, y, 90, 21), QColor(palette::kTableTop));
    for (int i = 0; i < kBoxPictureCount; ++i)
        drawAt(painter, 108 + i * 40, y + 1, boxPicture(i, ratio));
    return y + 40;
}

int buttonRows(QPainter& painter, int y, qreal ratio)
{
    caption(painter, 8, y, QStringLiteral("buttons: normal, pressed, disabled"));
    y += 6;
    const Picture buttons[] = {Picture::ButtonClear,  Picture::ButtonBuy,       Picture::ButtonPass,
                               Picture::ButtonDone,   Picture::ButtonStartGame, Picture::ButtonStart,
                               Picture::ButtonShuffle};
    int x = 8;
    for (Picture b : buttons) {
        for (int look = 0; look < 3; ++look)
            drawAt(painter, x, y + look * 32, picture(b, ratio, Look(look)));
        x += pictureSize(b).width() + 10;
    }
    return y + 3 * 32 + 20;
}

int markerRows(QPainter& painter, int y, qreal ratio)
{
    caption(painter, 8, y, QStringLiteral("markers, banners, timer, frames, logo"));
    y += 6;
    painter.fillRect(QRect(0, y, kSheetWidth, 48), QColor(palette::kTableTop));
    int x = 8;
    drawAt(painter, x, y + 4, picture(Picture::BoardMarker, ratio));
    x += 26;
    for (int f = 0; f < kSneakerFrames; ++f, x += 24)
        drawAt(painter, x, y + 4, picture(Picture::Sneaker, ratio, Look::Normal, f));
    drawAt(painter, x, y + 4, picture(Picture::Eyes, ratio));
    x += 26;
    drawAt(painter, x, y + 4, picture(Picture::NotPlaying, ratio));
    x += 110;
    drawAt(painter, x, y + 4, picture(Picture::TimerFrame, ratio));
    drawAt(painter, x, y + 26, picture(Picture::TimerBar, ratio));
    x += 235;
    drawAt(painter, x, y + 4, picture(Picture::Logo, ratio));
    y += 54;
    painter.fillRect(QRect(0, y, kSheetWidth, 44), QColor(palette::kSeatPanel));
    drawAt(painter, 8, y + 4, picture(Picture::TurnFrame, ratio));
    drawAt(painter, 250, y + 4, picture(Picture::Eyes, ratio));
    drawAt(painter, 280, y + 4, picture(Picture::NotPlaying, ratio));
    for (int f = 0; f < kSneakerFrames; ++f)
        drawAt(painter, 390 + f * 24, y + 4, picture(Picture::Sneaker, ratio, Look::Normal, f));
    y += 50;
    drawAt(painter, 8, y, picture(Picture::WinnerBanner, ratio));
    paintShadowText(painter, layout::kWinnerText.translated(8, y), QStringLiteral("Klot has Won the Game!"));
    return y + 50;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/lexiflip-pictures.png");
    const qreal ratio = argc > 2 ? QString::fromLocal8Bit(argv[2]).toDouble() : 1.0;
    if (!(ratio >= 1 && ratio <= 4)) {
        std::fprintf(stderr, "ratio must be 1..4\n");
        return 2;
    }

    const QSize logical(kSheetWidth, 1230);
    QImage sheet(QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.setDevicePixelRatio(ratio);
    sheet.fill(QColor(214, 214, 214));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);

    int y = letterRows(painter, 16, ratio);
    y = littleAndBoxRows(painter, y, ratio);
    y = buttonRows(painter, y, ratio);
    y = markerRows(painter, y, ratio);

    caption(painter, 8, y,
            QStringLiteral("game area mock-up (panel %1 x %2)")
                .arg(layout::kBackground.width())
                .arg(layout::kBackground.height()));
    y += 6;
    mockUp(painter, 8, y, ratio);
    painter.end();

    if (!sheet.save(out)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
