#include "desktop/IconSlots.h"

#include <algorithm>

namespace {
// Floor division, so that cells left of or above the origin get negative numbers.
int FloorDiv(long long value, int divisor)
{
    long long q = value / divisor;
    if (value % divisor != 0 && value < 0)
        --q;
    return static_cast<int>(std::max<long long>(std::min<long long>(q, 1 << 30), -(1 << 30)));
}
}  // namespace

CIconSlots::CIconSlots(int cellWidth, int cellHeight, int viewWidth, int viewHeight)
    : m_cellWidth(std::max(1, cellWidth)), m_cellHeight(std::max(1, cellHeight))
{
    m_rows = std::max(1, viewHeight / m_cellHeight);
    (void)viewWidth;  // the grid grows to the right as needed
}

bool CIconSlots::IsTaken(int column, int row) const
{
    if (column < 0 || row < 0 || row >= m_rows)
        return false;
    size_t index = static_cast<size_t>(column) * m_rows + row;
    return index < m_taken.size() && m_taken[index];
}

void CIconSlots::Take(int column, int row)
{
    size_t index = static_cast<size_t>(column) * m_rows + row;
    if (index >= m_taken.size())
        m_taken.resize((static_cast<size_t>(column) + 1) * m_rows, false);
    m_taken[index] = true;
}

void CIconSlots::Occupy(int x, int y)
{
    // The icon covers [x, x + w) x [y, y + h); a cell is taken when the two overlap.
    int firstColumn = FloorDiv(x, m_cellWidth);
    int lastColumn = FloorDiv(static_cast<long long>(x) + m_cellWidth - 1, m_cellWidth);
    int firstRow = FloorDiv(y, m_cellHeight);
    int lastRow = FloorDiv(static_cast<long long>(y) + m_cellHeight - 1, m_cellHeight);
    for (int column = std::max(0, firstColumn); column <= std::min(lastColumn, kMaxColumns - 1); ++column) {
        for (int row = std::max(0, firstRow); row <= std::min(lastRow, m_rows - 1); ++row)
            Take(column, row);
    }
}

CIconSlots::Point CIconSlots::TakeFree()
{
    while (m_cursor < m_taken.size() && m_taken[m_cursor])
        ++m_cursor;
    int column = static_cast<int>(m_cursor / m_rows);
    int row = static_cast<int>(m_cursor % m_rows);
    Take(column, row);
    return Point{column * m_cellWidth, row * m_cellHeight};
}
