#include "windows/small/small_window.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

#include "client/media/palette.h"
#include "client/media/pictures.h"

namespace lexiflip::windows {

namespace palette = client::palette;

namespace {

constexpr int kLogoMargin = 10;

QString rgbText(QRgb colour)
{
    return palette::styleColour(colour);
}

} // namespace

SmallWindow::SmallWindow(const QString& title, const QString& heading, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_heading(new QLabel(heading, this)), m_body(new QVBoxLayout)
{
    setWindowTitle(title);
    setStyleSheet(smallWindowStyleSheet());

    m_heading->setObjectName(QStringLiteral("label_heading"));
    m_heading->setFont(palette::sideHeadingFont());
    m_heading->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(rgbText(palette::kHeaderText)));
    m_heading->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(14, 0, 154 + 2 * kLogoMargin, 0);
    header->addWidget(m_heading);
    auto* headerHolder = new QWidget(this);
    headerHolder->setFixedHeight(kHeaderHeight);
    headerHolder->setLayout(header);
    outer->addWidget(headerHolder);
    m_body->setContentsMargins(14, 12, 14, 12);
    m_body->setSpacing(8);
    outer->addLayout(m_body, 1);
}

void SmallWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(palette::kSeatPanel));

    const QRect band(0, 0, width(), kHeaderHeight);
    QLinearGradient table(band.topLeft(), band.bottomLeft());
    table.setColorAt(0, QColor(palette::kTableTop));
    table.setColorAt(1, QColor(palette::kTableBottom));
    painter.fillRect(band, table);
    painter.setPen(QColor(palette::kTableLine));
    painter.drawLine(band.bottomLeft(), band.bottomRight());
    painter.setPen(QColor(palette::kSeatPanelEdge));
    painter.drawLine(band.bottomLeft() + QPoint(0, 1), band.bottomRight() + QPoint(0, 1));

    const QPixmap logo = client::picture(client::Picture::Logo, devicePixelRatioF());
    const QSize logoSize = client::pictureSize(client::Picture::Logo);
    painter.drawPixmap(
        QPoint(width() - logoSize.width() - kLogoMargin, (kHeaderHeight - logoSize.height()) / 2), logo);
}

void SmallWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget()); button && button->isEnabled()) {
            button->animateClick();
            return;
        }
        // Elsewhere (an entry, a list) Enter presses the window's default
        // button, as in a dialog.
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                button->animateClick();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

QString smallWindowStyleSheet()
{
    return QStringLiteral("QPushButton { color: %1; font-weight: bold; padding: 5px 14px;"
                          " border: 1px solid %2; border-radius: 5px;"
                          " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %3, stop:1 %4); }"
                          "QPushButton:hover { border-color: %5; }"
                          "QPushButton:focus { border: 2px solid %7; padding: 4px 13px; }"
                          "QPushButton:pressed { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                          " stop:0 %4, stop:1 %3); }"
                          "QPushButton:disabled { color: %10; border-color: %11;"
                          " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %12, stop:1 %13); }"
                          "QPushButton:checked { color: %14; border-color: %7;"
                          " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %8, stop:1 %9); }"
                          "QLabel { color: %6; }"
                          "QListWidget::item { padding: 3px 2px; }"
                          "QLineEdit, QListWidget, QTextBrowser { background: %15; color: %16;"
                          " border: 1px solid %5; border-radius: 3px; selection-background-color: %8; }"
                          "QLineEdit:focus, QListWidget:focus, QTextBrowser:focus { border: 2px solid %7; }")
        .arg(rgbText(palette::kButtonInk), rgbText(palette::kButtonEdge), rgbText(palette::kButtonTop),
             rgbText(palette::kButtonBottom), rgbText(palette::kSeatPanelEdge), rgbText(palette::kSeatText),
             rgbText(palette::kTableBottom), rgbText(palette::kTableTop), rgbText(palette::kTableBottom))
        .arg(rgbText(palette::kSideButtonDisabledInk), rgbText(palette::kSideButtonDisabledEdge),
             rgbText(palette::kSideButtonDisabledTop), rgbText(palette::kSideButtonDisabledBottom),
             rgbText(palette::kHeaderText), rgbText(palette::kPaper), rgbText(palette::kInk));
}

} // namespace lexiflip::windows
