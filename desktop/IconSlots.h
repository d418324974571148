#pragma once
#include <cstddef>
#include <vector>

// The grid of icon places on the desktop: cells of the icon spacing, filled
// column by column from the top left, as the shell places new icons. Cells
// that an existing icon overlaps are taken; new icons go to the first free
// cell, and when the screen is full, into further columns to its right.
class CIconSlots {
public:
    struct Point {
        int x, y;
    };

    CIconSlots(int cellWidth, int cellHeight, int viewWidth, int viewHeight);

    // Marks as taken every cell that an icon at (x, y), one cell in size,
    // overlaps. Icons outside the grid (hidden ones far below) take nothing.
    void Occupy(int x, int y);

    // The top-left corner of the first free cell in column order; it is taken.
    Point TakeFree();

    int Rows() const { return m_rows; }
    bool IsTaken(int column, int row) const;

    // Columns beyond this are not tracked (an icon moved far off the screen).
    static constexpr int kMaxColumns = 1024;

private:
    void Take(int column, int row);

    int m_cellWidth;
    int m_cellHeight;
    int m_rows;
    std::vector<bool> m_taken;  // column-major: index = column * rows + row
    size_t m_cursor = 0;  // every cell before it is taken
};
