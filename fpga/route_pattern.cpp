#include "fpga/route_pattern.h"

RouteCell route_cell(int pattern, int rows, int columns, int k)
{
    if (pattern < 1 || pattern > 16)
        pattern = 1;
    const int i = pattern - 1;
    const int corner = i / 4;
    const bool by_columns = (i / 2) % 2;
    const bool serpentine = i % 2;

    const int inner = by_columns ? rows : columns;  // cabinets along one run
    if (inner <= 0)
        return RouteCell{0, 0};
    const int run = k / inner;
    int along = k % inner;
    if (serpentine && (run % 2))
        along = inner - 1 - along;

    RouteCell c{by_columns ? along : run, by_columns ? run : along};
    if (corner == 1 || corner == 3)
        c.column = columns - 1 - c.column;
    if (corner == 2 || corner == 3)
        c.row = rows - 1 - c.row;
    return c;
}
