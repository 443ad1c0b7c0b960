#pragma once

#include <QString>

#include <array>
#include <functional>
#include <string_view>

#include "windows/small/small_window.h"
#include "windows/tally/tally_model.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QMessageBox;
class QPushButton;
class QVBoxLayout;

namespace lexiflip::windows {

// "Lexiflip - Tally List": games and wins against the opponents the player
// follows, the own totals and best word. It shows the application's tally
// model, which the game feeds, and redraws whenever the model changes; its
// controls edit the model. Created once at start-up, shown by "View Tally".
// It wears the side windows' look: the table-coloured header band over the
// light seat panel.
//
//     Ttallylist tallylist(tally);              // at start-up, hidden
//     tallylist.loadtallyfile(client::appFilePath(kTallyFileName));
//     "View Tally": tallylist.viewTally();
class Ttallylist : public SmallWindow {
    Q_OBJECT

public:
    explicit Ttallylist(TallyModel& model, QWidget* parent = nullptr);
    ~Ttallylist() override;

    // Asks the player a Yes/No question; true for Yes. A modal box by default.
    void setConfirmation(std::function<bool(const QString& question)> ask) { m_ask = std::move(ask); }

    // Start-up: the model reads the tally file and remembers it for its save
    // at exit. A damaged file is moved aside and its problem shown in a
    // message box that does not block (open()); the text is also returned,
    // empty when all was read.
    QString loadtallyfile(const QString& path);

    // "View Tally": refreshes "Players In Current Game" and shows the window.
    void viewTally();

    void loadchecklist();
    void moverow(int row);
    const Tally& tally() const { return m_model.tally(); }
    // The box loadtallyfile opened, while it is open.
    QMessageBox* problemBox() const { return m_problemBox; }

    void button_resetClick();
    void button_doneClick() { close(); }

private:
    void buildControls();
    void buildOwnTotals(QVBoxLayout& layout);
    void buildLists(QVBoxLayout& layout);
    void buildOpponentDetail(QVBoxLayout& layout);
    void buildButtons(QVBoxLayout& layout);
    // Copies the tally's lists and texts into the controls.
    void refresh();
    void refreshTexts();
    void refreshLists();
    void onTalliedChanged(QListWidgetItem* item);
    void onChecklistChanged(QListWidgetItem* item);
    bool ask(const QString& question);

    TallyModel& m_model;
    std::function<bool(const QString&)> m_ask;

    std::array<QLabel*, 4> m_mylabels{};
    std::array<QLabel*, 8> m_labels{};
    QLabel* m_hisname = nullptr;
    QLabel* m_hisnametop = nullptr;
    QListWidget* m_listboxTally = nullptr;
    QListWidget* m_checklist = nullptr;
    QPushButton* m_reset = nullptr;
    QPushButton* m_done = nullptr;
    QMessageBox* m_problemBox = nullptr;
};

} // namespace lexiflip::windows
