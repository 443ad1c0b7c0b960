#include "windows/tally/tally_model.h"

#include <exception>

namespace lexiflip::windows {

template <class Edit> void TallyModel::edit(Edit&& change, bool listsChanged)
{
    change(m_tally);
    if (m_changed)
        m_changed(listsChanged);
}

TallyFileRead TallyModel::load(const std::filesystem::path& file)
{
    m_file = file;
    TallyFileRead read = readTallyFile(file);
    edit([&read](Tally& tally) {
        tally.setRows(read.rows);
        tally.loadtally();
    });
    return read;
}

std::string TallyModel::save() const
{
    if (m_file.empty())
        return "No tally file was loaded";
    try {
        writeTallyFile(m_file, m_tally.rows());
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

void TallyModel::addgame(std::string_view winner)
{
    const PlayerList list = players();
    edit([&](Tally& tally) { tally.addgame(winner, list); });
}

void TallyModel::addtomineincrease(int column)
{
    edit([column](Tally& tally) { tally.addtomineincrease(column); });
}

void TallyModel::addtomineset(int column, int points, std::string_view word)
{
    edit([&](Tally& tally) { tally.addtomineset(column, points, word); });
}

void TallyModel::loadchecklist()
{
    const PlayerList list = players();
    edit([&list](Tally& tally) { tally.loadchecklist(list); });
}

void TallyModel::select(int index)
{
    edit([index](Tally& tally) { tally.select(index); }, false);
}

void TallyModel::setChecklistTick(int index, bool ticked)
{
    edit([index, ticked](Tally& tally) { tally.setChecklistTick(index, ticked); });
}

void TallyModel::unfollow(int index)
{
    edit([index](Tally& tally) { tally.unfollow(index); });
}

void TallyModel::moverow(int row)
{
    edit([row](Tally& tally) { tally.moverow(row); });
}

void TallyModel::reset()
{
    edit([](Tally& tally) { tally.reset(); });
}

} // namespace lexiflip::windows
