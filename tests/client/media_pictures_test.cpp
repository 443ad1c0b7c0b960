#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include "client/media/picture_button.h"
#include "client/media/palette.h"
#include "client/media/pictures.h"
#include "client/widgets/zoomed_place.h"

namespace lexiflip::client {
namespace {

int opaquePixels(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(line[x]) > 0 ? 1 : 0;
    }
    return count;
}

QByteArray pixelsOf(const QPixmap& pixmap)
{
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}

// Checks one copy: the device-independent size the layout expects, whole
// device pixels, the ratio carried, and whether anything is drawn.
void expectCopy(const QPixmap& pixmap, QSize size, qreal ratio, bool drawn, const std::string& what)
{
    SCOPED_TRACE(what + " at ratio " + std::to_string(ratio));
    ASSERT_FALSE(pixmap.isNull());
    EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
    EXPECT_EQ(pixmap.size(), QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)));
    EXPECT_NEAR(pixmap.deviceIndependentSize().width(), size.width(), 0.5);
    EXPECT_NEAR(pixmap.deviceIndependentSize().height(), size.height(), 0.5);
    if (drawn)
        EXPECT_GT(opaquePixels(pixmap), pixmap.width() * pixmap.height() / 20);
    else
        EXPECT_EQ(opaquePixels(pixmap), 0);
}

TEST(Pictures, EveryIndexOfTheThreeSetsAtEachRatio)
{
    for (qreal ratio : {1.0, 1.5, 2.0}) {
        for (int i = 0; i < kLetterPictureCount; ++i)
            expectCopy(letterPicture(i, ratio), QSize(41, 41), ratio, i != 0, "letters " + std::to_string(i));
        for (int i = 0; i < kLittlePictureCount; ++i)
            expectCopy(littlePicture(i, ratio), QSize(26, 26), ratio, i != 0, "little " + std::to_string(i));
        for (int i = 0; i < kBoxPictureCount; ++i)
            expectCopy(boxPicture(i, ratio), QSize(32, 19), ratio, true, "box " + std::to_string(i));
    }
    EXPECT_TRUE(letterPicture(54, 1).isNull());
    EXPECT_TRUE(letterPicture(-1, 1).isNull());
    EXPECT_TRUE(littlePicture(27, 1).isNull());
    EXPECT_TRUE(boxPicture(2, 1).isNull());
}

TEST(Pictures, EverySinglePictureAtItsSize)
{
    const std::pair<Picture, QSize> expected[] = {
        {Picture::ButtonClear, {91, 25}},      {Picture::ButtonBuy, {91, 25}},
        {Picture::ButtonPass, {91, 25}},       {Picture::ButtonDone, {91, 25}},
        {Picture::ButtonStartGame, {150, 28}}, {Picture::ButtonShuffle, {27, 28}},
        {Picture::BoardMarker, {16, 13}},      {Picture::Sneaker, {18, 15}},
        {Picture::WinnerBanner, {419, 35}},    {Picture::NotPlaying, {99, 19}},
        {Picture::TurnFrame, {234, 22}},       {Picture::BoardWell, {418, 336}},
    };
    for (const auto& [which, size] : expected)
        EXPECT_EQ(pictureSize(which), size) << int(which);
    for (int p = 0; p < kPictureCount; ++p) {
        for (qreal ratio : {1.0, 2.0})
            expectCopy(picture(Picture(p), ratio), pictureSize(Picture(p)), ratio, true,
                       "picture " + std::to_string(p));
    }
}

// At a zoom each picture is painted afresh at its scaled size: at 200 % and
// ratio 1 it is the very copy painted for ratio 2 at 100 %, not an enlarged one.
TEST(Pictures, AtAZoomEachPictureIsPaintedAtItsScaledSize)
{
    for (int percent : {125, 175, 300}) {
        const Zoom zoom = *Zoom::fromPercent(percent);
        for (qreal ratio : {1.0, 2.0}) {
            const std::string at = " at " + std::to_string(percent) + " %";
            expectCopy(letterPicture(5, ratio, zoom), zoom.scaled(QSize(41, 41)), ratio, true, "letter" + at);
            expectCopy(littlePicture(5, ratio, zoom), zoom.scaled(QSize(26, 26)), ratio, true, "little" + at);
            for (int p = 0; p < kPictureCount; ++p)
                expectCopy(picture(Picture(p), ratio, Look::Normal, 0, zoom),
                           zoom.scaled(pictureSize(Picture(p))), ratio, true,
                           "picture " + std::to_string(p) + at);
        }
    }
    const Zoom twice = *Zoom::fromPercent(200);
    EXPECT_EQ(pixelsOf(letterPicture(5, 1, twice)), pixelsOf(letterPicture(5, 2)));
    EXPECT_EQ(pixelsOf(picture(Picture::ButtonDone, 1, Look::Pressed, 0, twice)),
              pixelsOf(picture(Picture::ButtonDone, 2, Look::Pressed)));
    EXPECT_NE(letterPicture(5, 2, twice).cacheKey(), letterPicture(5, 2).cacheKey());
}

TEST(Pictures, TilesThatMeanDifferentThingsLookDifferent)
{
    // A player tells every letter, its used look and the back apart at a glance.
    QSet<QByteArray> seen;
    for (int i = 1; i < kLetterPictureCount; ++i)
        seen.insert(pixelsOf(letterPicture(i, 1)));
    for (int i = 1; i < kLittlePictureCount; ++i)
        seen.insert(pixelsOf(littlePicture(i, 1)));
    EXPECT_EQ(seen.size(), (kLetterPictureCount - 1) + (kLittlePictureCount - 1));
    EXPECT_NE(pixelsOf(boxPicture(0, 2)), pixelsOf(boxPicture(1, 2)));

    QSet<QByteArray> frames;
    for (int f = 0; f < kSneakerFrames; ++f)
        frames.insert(pixelsOf(picture(Picture::Sneaker, 1, Look::Normal, f)));
    EXPECT_EQ(frames.size(), kSneakerFrames);

    for (Picture button : {Picture::ButtonDone, Picture::ButtonStartGame}) {
        QSet<QByteArray> looks;
        for (Look look : {Look::Normal, Look::Pressed, Look::Disabled})
            looks.insert(pixelsOf(picture(button, 1, look)));
        EXPECT_EQ(looks.size(), 3);
    }
}

TEST(Pictures, PaintedOncePerRatioAndShared)
{
    // Fractional ratios share the copy of the nearest quarter step.
    EXPECT_EQ(letterPicture(5, 2).cacheKey(), letterPicture(5, 2).cacheKey());
    EXPECT_EQ(letterPicture(5, 1.49).cacheKey(), letterPicture(5, 1.5).cacheKey());
    EXPECT_NE(letterPicture(5, 1).cacheKey(), letterPicture(5, 2).cacheKey());
    EXPECT_EQ(snappedRatio(0), 1);
    EXPECT_EQ(snappedRatio(1.3), 1.25);
    EXPECT_EQ(snappedRatio(9), 4);
}

TEST(PictureButton, ShowsTheLookOfItsState)
{
    PictureButton button(Picture::ButtonDone, QStringLiteral("button_done"), QStringLiteral("DONE"));
    EXPECT_EQ(button.size(), QSize(91, 25));
    auto shown = [&] {
        QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    auto expected = [](Look look) {
        return picture(Picture::ButtonDone, 1, look)
            .toImage()
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    EXPECT_EQ(shown(), expected(Look::Normal));
    button.setDown(true);
    EXPECT_EQ(shown(), expected(Look::Pressed));
    button.setDown(false);
    button.setEnabled(false);
    EXPECT_EQ(shown(), expected(Look::Disabled));
}

TEST(Palette, TheLongestTextsFitTheirLabels)
{
    struct Case {
        QFont font;
        const char* text;
        int width;
    };
    const Case cases[] = {
        {palette::headerFont(), "Time Per Turn: 120secs", 153},
        {palette::headerFont(), "Game Mode: Sneak Peek", 153},
        {palette::headerFont(), "Play to Score: 500", 119},
        {palette::statusFont(), "You do not have enough points to buy new tiles.", 416},
        {palette::timerFont(), "Time: 2:00", 87},
        {palette::seatFont(), "<Waiting>", 92},
        {palette::winnerFont(), "You have Won the Game!", 413},
    };
    for (int step = 0; step < Zoom::kSteps; ++step) {
        const Zoom zoom = Zoom::atStep(step);
        for (const Case& c : cases) {
            const QFontMetrics metrics(zoomedFont(c.font, zoom));
            EXPECT_LE(metrics.horizontalAdvance(QString::fromLatin1(c.text)), zoom.scaled(c.width))
                << c.text << " at " << zoom.percent();
            EXPECT_LE(metrics.height(), zoom.scaled(19)) << c.text << " at " << zoom.percent();
        }
    }
    EXPECT_EQ(QFontInfo(palette::headerFont()).family(), QStringLiteral("DejaVu Sans"));
}

} // namespace
} // namespace lexiflip::client
