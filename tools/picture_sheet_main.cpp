// Writes every picture of the game window onto one contact sheet, followed by
// a mock-up of the game area assembled from them, so that the artwork can be
// judged at a given device pixel ratio:
//   QT_QPA_PLATFORM=offscreen lexiflip-picture-sheet /tmp/sheet@2.png 2
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

#include "client/pictures/palette.h"
#include "client/pictures/pictures.h"

using namespace lexiflip::client;

namespace {

constexpr int kSheetWidth = 760;

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

// The game area as the window lays it out: positions from the panel's top left.
void mockUp(QPainter& painter, int ox, int oy, qreal ratio)
{
    auto at = [&](int x, int y, const QPixmap& p) { drawAt(painter, ox + x, oy + y, p); };
    at(0, 0, picture(Picture::Background, ratio));

    painter.setFont(palette::headerFont());
    painter.setPen(QColor(palette::kHeaderText));
    painter.drawText(QRect(ox + 8, oy, 153, 15), Qt::AlignLeft, QStringLiteral("Time Per Turn: 60 secs"));
    painter.drawText(QRect(ox + 160, oy, 153, 15), Qt::AlignHCenter, QStringLiteral("Game Mode: Sneak Peak"));
    painter.drawText(QRect(ox + 312, oy, 119, 15), Qt::AlignRight, QStringLiteral("Play to Score: 200"));

    const int word[] = {12, 5, 24, 9, 6, 12, 9, 16};
    for (int i = 0; i < 8; ++i)
        at(11 + 42 * i, 15, letterPicture(word[i], ratio));
    at(34 + 42 * 1, 15, picture(Picture::BoardMarker, ratio));
    at(34 + 42 * 4, 15, picture(Picture::BoardMarker, ratio));

    painter.setFont(palette::statusFont());
    painter.setPen(QColor(palette::kHeaderText));
    painter.drawText(QRect(ox + 10, oy + 57, 416, 16), Qt::AlignHCenter, QStringLiteral("Create a Word"));

    at(113, 73, picture(Picture::TimerFrame, ratio));
    const QPixmap bar = picture(Picture::TimerBar, ratio);
    painter.drawPixmap(QRectF(ox + 113, oy + 73, 3 * 42, 19), bar,
                       QRectF(0, 0, 3 * 42 * bar.devicePixelRatio(), 19 * bar.devicePixelRatio()));
    painter.setFont(palette::timerFont());
    painter.setPen(QColor(palette::kTimerText));
    painter.drawText(QRect(ox + 117, oy + 73, 87, 19), Qt::AlignCenter, QStringLiteral("Time: 0:42"));

    at(11, 99, picture(Picture::ButtonClear, ratio));
    at(118, 99, picture(Picture::ButtonBuy, ratio, Look::Pressed));
    at(231, 99, picture(Picture::ButtonPass, ratio));
    at(338, 99, picture(Picture::ButtonDone, ratio));

    // Board: mostly face down, a few face up and used.
    for (int c = 1; c <= 10; ++c) {
        for (int r = 1; r <= 8; ++r) {
            const int letter = 1 + (c * 7 + r * 3) % 26;
            int index = kTileBack;
            if ((c + r) % 7 == 0)
                index = letter;
            else if ((c * r) % 9 == 0)
                index = letter + kUsedOffset;
            else if (c == 10 && r == 8)
                index = 0;
            at(10 + 4 + (c - 1) * 41, 128 + 4 + (r - 1) * 41, letterPicture(index, ratio));
        }
    }

    const int bar7[] = {1, 18, 20, 5, 19, 17, 26};
    const int lefts[] = {63, 108, 154, 199, 244, 290, 335};
    for (int i = 0; i < 7; ++i)
        at(lefts[i], i == 2 ? 461 : 464, i == 4 ? QPixmap() : letterPicture(bar7[i], ratio));
    at(400, 472, picture(Picture::ButtonShuffle, ratio));

    at(500, 18, picture(Picture::Logo, ratio));

    const char* names[] = {"You", "Klot", "Ann", "<Waiting>", "<Waiting>", "<Waiting>"};
    const char* scores[] = {"57", "112", "34", "0", "0", "0"};
    const char* bonus[] = {"+12 flex", "", " - 20", "", "", ""};
    for (int s = 0; s < 6; ++s) {
        const int top = 54 + 21 * s;
        painter.setPen(QColor(s == 1 ? palette::kSeatTextOnTurn : palette::kSeatText));
        painter.setFont(palette::seatFont());
        painter.drawText(QRect(ox + 475, oy + top, 92, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(names[s]));
        painter.drawText(QRect(ox + 571, oy + top, 30, 16), Qt::AlignRight | Qt::AlignVCenter,
                         QString::fromLatin1(scores[s]));
        painter.setFont(palette::bonusFont());
        painter.drawText(QRect(ox + 605, oy + top, 90, 16), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromLatin1(bonus[s]));
    }
    at(455, 54 + 21 - 3, picture(Picture::TurnFrame, ratio));
    at(457, 54 + 2 * 21 + 1, picture(Picture::Eyes, ratio));
    at(456, 54, picture(Picture::Sneaker, ratio, Look::Normal, 1));
    at(570, 136, picture(Picture::NotPlaying, ratio));
    at(570, 158, picture(Picture::NotPlaying, ratio));

    painter.fillRect(QRect(ox + 449, oy + 196, 252, 300), Qt::white);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(QRect(ox + 449, oy + 196, 251, 299));
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

    int y = 16;
    caption(painter, 8, y, QStringLiteral("imagelist_letters 0..53"));
    y += 6;
    for (int i = 0; i < kLetterPictureCount; ++i)
        drawAt(painter, 8 + (i % 18) * 42, y + (i / 18) * 42, letterPicture(i, ratio));
    // The rows sit on the dark table as in the game, too.
    y += 3 * 42 + 6;
    painter.fillRect(QRect(0, y, kSheetWidth, 3 * 42 + 8), QColor(palette::kTableTop));
    for (int i = 0; i < kLetterPictureCount; ++i)
        drawAt(painter, 8 + (i % 18) * 42, y + 4 + (i / 18) * 42, letterPicture(i, ratio));
    y += 3 * 42 + 26;

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
    y += 40;

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
    y += 3 * 32 + 20;

    caption(painter, 8, y, QStringLiteral("markers, banners, timer, frames, logo"));
    y += 6;
    painter.fillRect(QRect(0, y, kSheetWidth, 48), QColor(palette::kTableTop));
    x = 8;
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
    paintShadowText(painter, QRect(8 + 1, y + 8, 413, 19), QStringLiteral("Klot has Won the Game!"));
    y += 50;

    caption(painter, 8, y, QStringLiteral("game area mock-up (panel 708 x 506)"));
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
