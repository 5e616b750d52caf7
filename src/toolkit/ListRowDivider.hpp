#pragma once

#include <QColor>
#include <QRectF>

#include <algorithm>
#include <functional>
#include <iterator>
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
// Each identifier and each selected one is hashed once; nothing is allocated per row.
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

    // The first occurrence of each row's identifier, through an open-addressing table of
    // row indices (0 is empty) keyed by the identifiers' hashes.
    std::size_t capacity = 16;
    while (capacity < 2 * count)
        capacity *= 2;
    const std::size_t mask = capacity - 1;
    std::vector<std::size_t> slots(capacity, 0);
    std::vector<std::size_t> hashes(count);
    const std::hash<Element> hash;
    auto find = [&](const Element& e, std::size_t h) -> std::size_t& {
        for (std::size_t slot = h & mask;; slot = (slot + 1) & mask) {
            std::size_t& entry = slots[slot];
            if (entry == 0 || (hashes[entry - 1] == h && *rows[entry - 1] == e))
                return entry;
        }
    };
    std::vector<std::size_t> first(count);
    for (std::size_t i = 0; i < count; ++i) {
        hashes[i] = hash(*rows[i]);
        std::size_t& entry = find(*rows[i], hashes[i]);
        if (entry == 0)
            entry = i + 1;
        first[i] = entry - 1;
    }
    // Which first occurrences are selected: a selected identifier not in the list marks none.
    std::vector<bool> selected(count, false);
    for (const Element& s : selection) {
        if (const std::size_t entry = find(s, hash(s)); entry != 0)
            selected[entry - 1] = true;
    }

    const std::size_t last = first[count - 1];
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t f = first[i];
        if (f == last || selected[f])
            continue;
        result[i] = !selected[first[f + 1]];
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
