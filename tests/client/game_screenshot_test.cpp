// The game window's picture in the middle of a solo game, at device pixel
// ratios 1 and 2, against the references in tests/client/reference/.
//
// game_picture_render draws the window in a process of its own for each
// ratio (QT_SCALE_FACTOR=1 and 2 on the offscreen platform, so the window is
// painted as on a real high-density screen) with a fontconfig setup of its
// own that sees only the six fonts of fonts-dejavu-core, so that neither
// other fonts nor a machine's font settings (hinting) change the text.
//
// Tolerance: a pixel differs when one of its channels is more than
// kTolerance.channel levels (of 255) away from the reference; a picture
// matches when at most kTolerance.maxShare of its pixels differ. That lets
// through anti-aliasing that is a few levels off, but not a control
// one pixel out of place, a wrong colour, a missing tile or a blurry tile
// (PictureTolerance below checks each against the references).
//
// After an intended change to the window, re-record the references with
//
//     LEXIFLIP_RERECORD_SCREENSHOTS=1 ctest --test-dir build -R GameScreenshot
//
// and look at them before committing. On a mismatch the test leaves the
// actual picture and a difference picture (differing pixels red over the
// greyed reference) in <build>/test-output/screenshots/ and names them.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

struct Tolerance {
    int channel;
    double maxShare;
};
// 24 levels is about a tenth of the range; one pixel in 10,000 is 37 pixels of
// the window at ratio 1 and 151 at ratio 2. A one-pixel shift of a word tile
// changes over 300 pixels at ratio 1, a tile drawn from its ratio 1 picture
// over 600 at ratio 2.
constexpr Tolerance kTolerance{24, 0.0001};

struct Comparison {
    bool sameSize = false;
    qsizetype differing = 0;
    qsizetype total = 0;
    QImage difference;

    bool matches() const
    {
        return sameSize && static_cast<double>(differing) <= kTolerance.maxShare * static_cast<double>(total);
    }
};

Comparison compare(const QImage& reference, const QImage& actual)
{
    Comparison result;
    result.sameSize = reference.size() == actual.size();
    if (!result.sameSize)
        return result;
    const QImage want = reference.convertToFormat(QImage::Format_ARGB32);
    const QImage got = actual.convertToFormat(QImage::Format_ARGB32);
    result.difference =
        want.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
    result.total = qsizetype(want.width()) * want.height();
    for (int y = 0; y < want.height(); ++y) {
        const QRgb* a = reinterpret_cast<const QRgb*>(want.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(got.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(result.difference.scanLine(y));
        for (int x = 0; x < want.width(); ++x) {
            const int worst =
                std::max({std::abs(qRed(a[x]) - qRed(b[x])), std::abs(qGreen(a[x]) - qGreen(b[x])),
                          std::abs(qBlue(a[x]) - qBlue(b[x])), std::abs(qAlpha(a[x]) - qAlpha(b[x]))});
            if (worst > kTolerance.channel) {
                ++result.differing;
                out[x] = qRgb(255, 0, 0);
            } else {
                const int grey = 128 + qGray(out[x]) / 2;
                out[x] = qRgb(grey, grey, grey);
            }
        }
    }
    return result;
}

QString sourceDir()
{
    return QString::fromLocal8Bit(qgetenv("LEXIFLIP_SOURCE_DIR"));
}
QString referencePath(int ratio)
{
    return sourceDir() + QStringLiteral("/tests/client/reference/game_dpr%1.png").arg(ratio);
}
QString outputDir()
{
    const QString build = qEnvironmentVariable("LEXIFLIP_BINARY_DIR", QDir::tempPath());
    const QString dir = build + QStringLiteral("/test-output/screenshots");
    QDir().mkpath(dir);
    return dir;
}

// A fontconfig setup that sees exactly the fonts of fonts-dejavu-core; empty
// when one of them is missing. One per ratio, since ctest may run both
// ratios at once.
QString fontsOnlyFromDejavuCore(int ratio)
{
    static const char* const kFonts[] = {"DejaVuSans.ttf",     "DejaVuSans-Bold.ttf",
                                         "DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf",
                                         "DejaVuSerif.ttf",    "DejaVuSerif-Bold.ttf"};
    const QString system = QStringLiteral("/usr/share/fonts/truetype/dejavu/");
    const QString dir = outputDir() + QStringLiteral("/fonts-dpr%1").arg(ratio);
    QDir().mkpath(dir + QStringLiteral("/cache"));
    for (const char* font : kFonts) {
        const QString from = system + QLatin1String(font);
        const QString to = dir + QLatin1Char('/') + QLatin1String(font);
        if (!QFile::exists(from))
            return {};
        if (!QFile::exists(to) && !QFile::link(from, to))
            return {};
    }
    const QString conf = dir + QStringLiteral("/fonts.conf");
    QFile file(conf);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write(QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                              "<fontconfig><dir>%1</dir><cachedir>%1/cache</cachedir></fontconfig>\n")
                   .arg(dir)
                   .toUtf8());
    return conf;
}

// Runs the renderer at the ratio; the picture, or a null image and the reason.
QImage render(int ratio, const QString& file, std::string& why)
{
    const QString fonts = fontsOnlyFromDejavuCore(ratio);
    if (fonts.isEmpty()) {
        why = "the fonts of fonts-dejavu-core are missing (scripts/setup.sh installs them)";
        return {};
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name :
         {"QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
          "QT_FONT_DPI", "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_STYLE_OVERRIDE"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(ratio));
    env.insert(QStringLiteral("FONTCONFIG_FILE"), fonts);
    QFile::remove(file);
    QProcess renderer;
    renderer.setProcessEnvironment(env);
    renderer.start(QStringLiteral(LEXIFLIP_PICTURE_RENDERER), {file});
    if (!renderer.waitForFinished(240000) || renderer.exitStatus() != QProcess::NormalExit ||
        renderer.exitCode() != 0) {
        renderer.kill();
        renderer.waitForFinished();
        why = "game_picture_render failed: " + renderer.readAllStandardError().toStdString();
        return {};
    }
    QImage picture(file);
    if (picture.isNull())
        why = "game_picture_render left no picture at " + file.toStdString();
    return picture;
}

// The parts of the window the fault checks below disturb, in window pixels
// at ratio 1: a word-row tile, a flipped board tile, the turn timer's bar.
// When a re-recorded reference moves them, move these along.
constexpr QRect kWordTile{13, 36, 41, 41};
constexpr QRect kBoardTile{59, 195, 41, 41};
constexpr QRect kTimerBar{117, 94, 160, 17};

QImage reference(int ratio)
{
    return QImage(referencePath(ratio)).convertToFormat(QImage::Format_ARGB32);
}

class GameScreenshot : public ::testing::TestWithParam<int> {};

TEST_P(GameScreenshot, MatchesTheReference)
{
    const int ratio = GetParam();
    const QString name = QStringLiteral("game_dpr%1").arg(ratio);
    const QString actualFile = outputDir() + QLatin1Char('/') + name + QStringLiteral("_actual.png");
    const QString differenceFile = outputDir() + QLatin1Char('/') + name + QStringLiteral("_difference.png");
    QFile::remove(differenceFile);
    std::string why;
    const QImage actual = render(ratio, actualFile, why);
    ASSERT_FALSE(actual.isNull()) << why;
    EXPECT_DOUBLE_EQ(actual.devicePixelRatio(), 1.0) << "the file holds device pixels";

    if (qEnvironmentVariableIntValue("LEXIFLIP_RERECORD_SCREENSHOTS") == 1) {
        QDir().mkpath(QFileInfo(referencePath(ratio)).path());
        QFile::remove(referencePath(ratio));
        ASSERT_TRUE(QFile::copy(actualFile, referencePath(ratio))) << referencePath(ratio).toStdString();
        GTEST_SKIP() << "re-recorded " << referencePath(ratio).toStdString();
    }

    const QImage want(referencePath(ratio));
    ASSERT_FALSE(want.isNull()) << "no reference " << referencePath(ratio).toStdString()
                                << "; record it with LEXIFLIP_RERECORD_SCREENSHOTS=1";
    if (ratio == 2) {
        const QImage single(referencePath(1));
        EXPECT_EQ(want.size(), single.size() * 2) << "the ratio 2 reference is not twice the ratio 1 one";
    }
    const Comparison result = compare(want, actual);
    if (result.matches())
        return;
    if (result.sameSize)
        result.difference.save(differenceFile);
    ADD_FAILURE() << "the window at device pixel ratio " << ratio << " does not look like "
                  << referencePath(ratio).toStdString() << ": "
                  << (result.sameSize
                          ? std::to_string(result.differing) + " of " + std::to_string(result.total) +
                                " pixels differ"
                          : "its size is " + std::to_string(actual.width()) + "x" +
                                std::to_string(actual.height()) + ", the reference's " +
                                std::to_string(want.width()) + "x" + std::to_string(want.height()))
                  << "\n  actual:     " << actualFile.toStdString()
                  << (result.sameSize ? "\n  difference: " + differenceFile.toStdString() : std::string())
                  << "\n  (re-record with LEXIFLIP_RERECORD_SCREENSHOTS=1 if the change is intended)";
}

INSTANTIATE_TEST_SUITE_P(DevicePixelRatio, GameScreenshot, ::testing::Values(1, 2),
                         [](const auto& info) { return "Ratio" + std::to_string(info.param); });

// The tolerance against the faults it must catch, each made on the
// references: none of them may pass, while noise a font renderer could add
// must.
TEST(PictureTolerance, PassesRenderingNoiseButNotAMovedControlAWrongColourOrAMissingOrBlurryTile)
{
    struct Case {
        const char* fault;
        int ratio;
        std::function<void(QImage&, int)> apply;
        bool passes;
    };
    auto scaled = [](QRect area, int ratio) { return QRect(area.topLeft() * ratio, area.size() * ratio); };
    const Case cases[] = {
        {"unchanged", 2, [](QImage&, int) {}, true},
        {"anti-aliasing noise", 2,
         [](QImage& image, int) {
             // Every fifth pixel a few levels off, as another rasteriser's edges would be.
             for (int y = 0; y < image.height(); ++y)
                 for (int x = (y % 5); x < image.width(); x += 5) {
                     const QRgb p = image.pixel(x, y);
                     image.setPixel(x, y,
                                    qRgb(std::min(255, qRed(p) + 12), std::max(0, qGreen(p) - 12), qBlue(p)));
                 }
         },
         true},
        {"word tile one pixel to the right", 1,
         [&](QImage& image, int ratio) {
             const QRect area = scaled(kWordTile, ratio);
             const QImage tile = image.copy(area);
             QPainter(&image).drawImage(area.topLeft() + QPoint(ratio, 0), tile);
         },
         false},
        {"timer bar in another colour", 2,
         [&](QImage& image, int ratio) {
             QPainter painter(&image);
             painter.setCompositionMode(QPainter::CompositionMode_Difference);
             painter.fillRect(scaled(kTimerBar, ratio), QColor(0, 90, 0));
         },
         false},
        {"board tile missing", 1,
         [&](QImage& image, int ratio) {
             const QRect area = scaled(kBoardTile, ratio);
             QPainter(&image).fillRect(area, image.pixel(area.topLeft()));
         },
         false},
        {"board tile painted at ratio 1 and stretched", 2,
         [&](QImage& image, int ratio) {
             const QRect area = scaled(kBoardTile, ratio);
             const QImage blurred =
                 image.copy(area)
                     .scaled(area.size() / ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
             QPainter(&image).drawImage(area.topLeft(), blurred);
         },
         false},
    };
    for (const Case& c : cases) {
        const QImage original = reference(c.ratio);
        ASSERT_FALSE(original.isNull()) << referencePath(c.ratio).toStdString();
        QImage changed = original;
        c.apply(changed, c.ratio);
        const Comparison result = compare(original, changed);
        EXPECT_EQ(result.matches(), c.passes)
            << c.fault << ": " << result.differing << " of " << result.total;
    }
}

} // namespace
