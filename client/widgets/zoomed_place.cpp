#include "client/widgets/zoomed_place.h"

#include <QVariant>
#include <QWidget>

#include "client/media/picture_button.h"

namespace lexiflip::client {

namespace {

// What each placed control remembers, as properties of its own, so that the
// window can find them all without a list that could outlive a control.
constexpr const char* kZoomStep = "lexiflipZoomStep";
constexpr const char* kPlace = "lexiflipPlace";
constexpr const char* kFont = "lexiflipFont";

void applyPlace(QWidget& widget, QRect where, Zoom zoom)
{
    const QRect shown = zoom.scaled(where);
    // The painted buttons know no window: they are told the zoom.
    if (auto* button = qobject_cast<PictureButton*>(&widget))
        button->setZoom(zoom);
    if (widget.minimumSize() == widget.maximumSize())
        widget.setFixedSize(shown.size());
    widget.setGeometry(shown);
}

} // namespace

Zoom zoomOf(const QWidget& widget)
{
    const QVariant step = widget.window()->property(kZoomStep);
    return step.isValid() ? Zoom::atStep(step.toInt()) : Zoom();
}

void applyZoom(QWidget& window, Zoom zoom)
{
    window.setProperty(kZoomStep, zoom.step());
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->window() != &window)
            continue; // a dialog or menu of its own
        if (const QVariant where = widget->property(kPlace); where.isValid())
            applyPlace(*widget, where.toRect(), zoom);
        if (const QVariant font = widget->property(kFont); font.isValid())
            widget->setFont(zoomedFont(font.value<QFont>(), zoom));
        widget->update();
    }
}

void place(QWidget& widget, QRect where)
{
    widget.setProperty(kPlace, where);
    applyPlace(widget, where, zoomOf(widget));
}

void placeAt(QWidget& widget, QPoint topLeft)
{
    place(widget, {topLeft, placeOf(widget).size()});
}

void resizePlaced(QWidget& widget, QSize size)
{
    place(widget, {placeOf(widget).topLeft(), size});
}

QRect placeOf(const QWidget& widget)
{
    const QVariant where = widget.property(kPlace);
    return where.isValid() ? where.toRect() : widget.geometry();
}

void setZoomedFont(QWidget& widget, const QFont& font)
{
    widget.setProperty(kFont, font);
    widget.setFont(zoomedFont(font, zoomOf(widget)));
}

QFont zoomedFont(const QFont& font, Zoom zoom)
{
    if (zoom.isActualSize())
        return font;
    QFont shown = font;
    if (font.pixelSize() > 0)
        shown.setPixelSize(zoom.scaled(font.pixelSize()));
    else if (font.pointSizeF() > 0)
        shown.setPointSizeF(font.pointSizeF() * zoom.factor());
    return shown;
}

} // namespace lexiflip::client
