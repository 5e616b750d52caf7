#pragma once

#include <QColor>
#include <QRectF>

#include <algorithm>
#include <functional>
#include <iterator>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QPainter;
class QPalette;

namespace tidemark {

// Whether a row of a list gets the separator line under it: a line lies between two
// neighbouring rows only where neither is selected, and never under the last row, so that a
// selected row's highlight is never crossed. `data` holds the rows' identifiers in display
// order (any bidirectional range of hashable values).
template <class Data> struct SwiftyListDividerModifier {
    using Element = typename Data::value_type;

    Data data;
    Element element;
    std::unordered_set<Element> selection;

    // The rule for one row: no line under the last row or a selected row; a row not in the
    // list gets none; otherwise a line unless the row after its first occurrence is selected.
    // One search of the list per call.
    bool showsDivider() const
    {
        if (std::begin(data) != std::end(data) && *std::prev(std::end(data)) == element)
            return false;
        if (selection.contains(element))
            return false;
        const auto found = std::find(std::begin(data), std::end(data), element);
        if (found == std::end(data))
            return false;
        return !selection.contains(*std::next(found));
    }
};

// The same rule for every row at once, in one pass: result[i] tells whether row i gets a line.
// A repeated identifier takes the decision of its first occurrence, as the one-row rule does.
template <class Data, class Set>
std::vector<bool> listRowDividers(const Data& data, const Set& selection)
{
    using Element = typename Data::value_type;
    const std::size_t count = std::size(data);
    std::vector<bool> result(count, false);
    if (count == 0)
        return result;
    std::vector<const Element*> rows;
    rows.reserve(count);
    for (const Element& e : data)
        rows.push_back(&e);
    const Element& last = *rows.back();
    const bool anySelected = !std::empty(selection);
    auto selected = [&](const Element& e) { return anySelected && selection.contains(e); };

    // The first occurrence of each identifier, to settle repeats.
    struct Hash {
        std::size_t operator()(const Element* e) const { return std::hash<Element>()(*e); }
    };
    struct Equal {
        bool operator()(const Element* a, const Element* b) const { return *a == *b; }
    };
    std::unordered_map<const Element*, std::size_t, Hash, Equal> first;
    first.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        first.try_emplace(rows[i], i);

    for (std::size_t i = 0; i < count; ++i) {
        const Element& row = *rows[i];
        if (row == last || selected(row))
            continue;
        const std::size_t f = first.find(rows[i])->second;
        result[i] = !selected(*rows[f + 1]);
    }
    return result;
}

// The separator's colour: the text colour at 0.1, so it reads on light and dark surfaces.
QColor dividerColor(const QPalette& palette);
// How far below a row's bottom edge its line lies: in the middle of the usual gap between rows.
inline constexpr double dividerOffset = 4;

// Draws the line under each row that gets one: a one-pixel line across the row, `dividerOffset`
// below its bottom edge.
void paintListRowDividers(QPainter& painter, const std::vector<QRectF>& rowFrames,
    const std::vector<bool>& showsDivider, const QPalette& palette);

} // namespace tidemark
