#pragma once

#include <QWidget>

namespace lexiflip::windows {

// A tick box of the game options dialog: a picture from imagelist_box (image
// 0 the empty box, image 1 the ticked box, 32 x 19 pixels) whose state is its
// tag. The picture always shows the tag. A click reports itself; the dialog
// decides what the click means (a toggle, or a choice among the modes).
class TickBox : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 32;
    static constexpr int kHeight = 19;

    explicit TickBox(const QString& objectName, const QString& caption, QWidget* parent = nullptr);

    int tag() const { return m_tag; }
    // 0 unticks, anything else ticks (the tag is then 1).
    void setTag(int tag);
    bool ticked() const { return m_tag != 0; }

    QSize sizeHint() const override { return {kWidth, kHeight}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void describe();

    QString m_caption;
    int m_tag = 0;
};

} // namespace lexiflip::windows
