#pragma once

#include <QWidget>

namespace lexiflip::client {

// One tile picture of the game area: a bar tile (letters_N), a word position
// (word_N) or a tile of the their-tiles strip (image_theirtileN). It shows one
// picture of its set, 0 showing nothing, and reports clicks with their button.
class TilePicture : public QWidget {
    Q_OBJECT

public:
    enum class Set { Letters, Little };

    TilePicture(const QString& objectName, Set set, QWidget* parent = nullptr);

    int picture() const { return m_picture; }
    void setPicture(int index);

signals:
    void clicked(Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Set m_set;
    int m_picture = 0;
};

} // namespace lexiflip::client
