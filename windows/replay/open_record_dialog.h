#pragma once

#include <QString>

#include <filesystem>
#include <functional>

#include "windows/small/small_window.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace lexiflip::windows {

// "Open Game Record": the recorded games of the records folder, newest first,
// one line each (date, players, scores, winner; a file that cannot be
// replayed says why instead), and a button to open a record kept anywhere
// else. Open, a double click or Enter on a line asks for that record's replay;
// the dialog's owner opens it.
//
// Keyboard: the list has the focus first, Up and Down choose, Enter opens,
// Escape closes.
class OpenRecordDialog : public SmallWindow {
    Q_OBJECT

public:
    explicit OpenRecordDialog(QWidget* parent = nullptr);

    // Lists the records in folder (read afresh each time) and shows the dialog.
    void showRecords(const std::filesystem::path& folder);

    // What "Open Another File..." asks for a file with; a file dialog by
    // default. An empty answer opens nothing.
    void setFileChooser(std::function<QString(const QString& folder)> choose)
    {
        m_choose = std::move(choose);
    }

signals:
    void recordChosen(const QString& path);

private:
    void openSelected();
    void openAnother();

    std::filesystem::path m_folder;
    std::function<QString(const QString&)> m_choose;
    QLabel* m_note = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_open = nullptr;
};

} // namespace lexiflip::windows
