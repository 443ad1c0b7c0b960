// The one picture widget: what it blits for its index, and who hears a click.

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "client/widgets/picture_view.h"
#include "client/media/pictures.h"

namespace lexiflip::client {
namespace {

// A panel that counts the mouse releases that reach it.
class Panel : public QWidget {
public:
    int releases = 0;

protected:
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }
};

TEST(PictureView, AClickableViewReportsItsClicksAndAStillPictureLeavesThemToThePanel)
{
    struct Case {
        bool clickable;
        Qt::MouseButton button;
        int reported;
        int reachingThePanel;
    };
    const Case cases[] = {
        {true, Qt::LeftButton, 1, 0},
        {true, Qt::RightButton, 1, 0},
        {false, Qt::LeftButton, 0, 1},
    };
    for (const Case& c : cases) {
        Panel panel;
        panel.resize(100, 100);
        PictureView view(QStringLiteral("letters_1"), PictureView::letters(), {10, 10, 41, 41}, &panel);
        view.setClickable(c.clickable);
        panel.show();
        QSignalSpy clicked(&view, &PictureView::clicked);
        QTest::mouseClick(&view, c.button, {}, QPoint(20, 20));
        EXPECT_EQ(clicked.count(), c.reported) << c.clickable;
        if (c.reported == 1) {
            EXPECT_EQ(clicked.at(0).at(0).value<Qt::MouseButton>(), c.button);
        }
        EXPECT_EQ(panel.releases, c.reachingThePanel) << c.clickable;
    }
}

TEST(PictureView, BlitsThePicturesOfItsIndexAndNothingForIndexZero)
{
    const struct {
        PictureView::Source source;
        int size;
        QPixmap (*expected)(int, qreal, Zoom);
    } sets[] = {{PictureView::letters(), 41, letterPicture}, {PictureView::little(), 26, littlePicture}};
    for (const auto& set : sets) {
        QWidget panel;
        panel.resize(60, 60);
        PictureView view(QStringLiteral("tile"), set.source, {0, 0, set.size, set.size}, &panel);
        panel.show();
        QImage empty(set.size, set.size, QImage::Format_ARGB32_Premultiplied);
        empty.fill(Qt::transparent);
        QImage shown(set.size, set.size, QImage::Format_ARGB32_Premultiplied);
        const auto draw = [&] {
            shown.fill(Qt::transparent);
            view.render(&shown, {}, {}, QWidget::RenderFlags());
            return shown;
        };
        EXPECT_EQ(draw(), empty) << "index 0 shows nothing";
        view.setIndex(5);
        EXPECT_EQ(view.index(), 5);
        EXPECT_EQ(draw(),
                  set.expected(5, 1, Zoom()).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
}

} // namespace
} // namespace lexiflip::client
